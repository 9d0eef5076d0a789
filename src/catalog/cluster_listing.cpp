// cluster_listing.cpp — the cluster listings.
#include "catalog/cluster_listing.h"

#include "catalog/code_queries.h"
#include "catalog/index_listing.h"
#include "catalog/table_helpers.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

void ClusterDirectory(Listing& l, const std::string& owner, const std::string& cluster) {
  auto& m = l.Module();
  const std::string& prefix = m.Prefix();
  const VariablePairs keys{{"OWNER", owner}, {"NAME", cluster}};
  l.UseModes("ObjectValuePanelModes");
  AddGuardedDetail(l, ".TABLES", [&] {
    return CountRows(l, "SELECT COUNT(*) FROM " + m.Caps().tablesView + " WHERE CLUSTER_NAME = :NAME",
                     {{"NAME", cluster}});
  });
  AddGuardedDetail(l, ".INDEXES", [&] {
    return CountRows(l,
                     "SELECT COUNT (DISTINCT INDEX_NAME) FROM " + prefix +
                         "IND_COLUMNS WHERE TABLE_OWNER = :OWNER AND TABLE_NAME = :NAME",
                     keys);
  });
  AddGuardedDetail(l, ".COLUMNS", [&] {
    return CountRows(l, "SELECT COUNT (*) FROM DBA_CLU_COLUMNS WHERE OWNER = :OWNER AND CLUSTER_NAME = :NAME", keys);
  });
  ListRecord(l, prefix + "CLUSTERS", "OWNER = :OWNER AND CLUSTER_NAME = :NAME", keys);
}

// Items below a cluster are named "NAME.OWNER"; the owner follows the dot.
std::string OwnerAfterDot(Listing& l, const std::string& item, const std::string& fallback) {
  auto dot = item.rfind('.');
  return dot == std::string::npos || dot + 1 == item.size() ? fallback
                                                            : connection::ExactName(l.Module(), item.substr(dot + 1),
                                                                                     connection::UserLookup());
}

}  // namespace

void ListClusterTree(Listing& l) {
  if (!l.Connected()) return;
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtClustersOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
    return;
  }
  const std::string owner = ExactOwner(l, 3);
  if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtClustersOfOwner, {{"CLUSTER_NAME", "DESCRIPTION"}, true, "", "", ""}, {{"OWNER", owner}});
    return;
  }
  const std::string cluster = ExactObjectKey(l, 4, {"CLUSTER"});
  const std::string detail = l.Level(5);
  const VariablePairs keys{{"OWNER", owner}, {"NAME", cluster}};
  if (detail.empty()) {
    ClusterDirectory(l, owner, cluster);
  } else if (detail == ".INDEXES" && !l.Level(6).empty()) {
    if (l.Level(7).empty()) {
      // The level as written (an empty look-up keeps it), then its parts.
      const std::string written = ExactLevel(l, 6, connection::NameLookup{});
      const std::string indexOwner = OwnerAfterDot(l, written, owner);
      ListIndexColumns(l, indexOwner, ExactLevelKey(l, 6, connection::ObjectLookup(indexOwner, {"INDEX"})));
    }
  } else if (!l.Level(6).empty()) {
    // Tables and columns of a cluster have nothing below them here.
  } else if (detail == ".TABLES") {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtClusterTables, {{"FILENAME"}, true, "", "", ""}, {{"NAME", cluster}});
  } else if (detail == ".INDEXES") {
    l.UseModes("DefaultPanelModes");
    auto q = l.Module().CreateNewOracleQuery({"OWNER", "NAME"});
    if (!q) return;
    q->SetSQL("SELECT DISTINCT INDEX_NAME || '.' || INDEX_OWNER AS FILENAME FROM " + l.Module().Prefix() +
              "IND_COLUMNS WHERE TABLE_OWNER = :OWNER AND TABLE_NAME = :NAME");
    MakeItemsFromDataSetByColumns(l.request, *q, {{"FILENAME"}, true, "", "", ""}, keys);
  } else if (detail == ".COLUMNS") {
    l.UseModes("ClusterColumnTableColumnPanelModes");
    l.ListStatement(kStmtClusterColumns, {{"CLU_COLUMN_NAME", "TAB_COLUMN_NAME"}, false, "", "", ""}, keys);
  }
}

}  // namespace catalog
