// dimension_listing.cpp — "Dimensions": owners, dimensions, a dimension's
// levels and its hierarchies drawn as numbered tree lines.
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/dependency_tree.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

// The first key column of a level as DETAIL_TABLE.COLUMN; empty without one.
std::string FirstLevelKey(Listing& l, const std::string& owner, const std::string& dimension,
                          const std::string& level) {
  const std::string p = l.Module().Prefix();
  auto q = l.Module().CreateNewOracleQuery({"OWNER", "NAME", "LNAME"});
  if (!q) return {};
  q->SetVariable("OWNER", owner);
  q->SetVariable("NAME", dimension);
  q->SetVariable("LNAME", level);
  q->SetSQL("SELECT DL.DETAILOBJ_NAME || '.' || LK.COLUMN_NAME FROM " + p + "DIM_LEVEL_KEY LK, " + p +
            "DIM_LEVELS DL WHERE LK.OWNER = :OWNER AND LK.DIMENSION_NAME = :NAME AND LK.LEVEL_NAME = :LNAME AND "
            "LK.OWNER = DL.OWNER AND LK.DIMENSION_NAME = DL.DIMENSION_NAME AND LK.LEVEL_NAME = DL.LEVEL_NAME "
            "ORDER BY LK.KEY_POSITION");
  q->Execute();
  std::string key = q->Eof() ? std::string() : q->FieldAsString(0);
  q->Close();
  return key;
}

struct ChildOf {
  std::string parent, child;
};

void ListHierarchies(Listing& l, const std::string& owner, const std::string& dimension) {
  l.UseModes("TreePanelModes");
  LoadingMessage note(l.request);
  const std::string p = l.Module().Prefix();
  try {
    std::vector<std::string> hierarchies;
    {
      auto q = l.Module().CreateNewOracleQuery({"OWNER", "NAME"});
      if (!q) return;
      q->SetVariable("OWNER", owner);
      q->SetVariable("NAME", dimension);
      q->SetSQL("SELECT HIERARCHY_NAME FROM " + p + "DIM_HIERARCHIES WHERE OWNER = :OWNER AND DIMENSION_NAME = :NAME");
      q->Execute();
      for (; !q->Eof(); q->Next()) hierarchies.push_back(q->FieldAsString(0));
      q->Close();
    }
    int counter = 0;
    for (const std::string& hierarchy : hierarchies) {
      AddItem(l.request, TreeLineName(++counter), {" " + hierarchy}, true);
      // Top of the hierarchy first.
      std::vector<ChildOf> links;
      auto q = l.Module().CreateNewOracleQuery({"OWNER", "NAME", "HNAME"});
      if (!q) return;
      q->SetVariable("OWNER", owner);
      q->SetVariable("NAME", dimension);
      q->SetVariable("HNAME", hierarchy);
      q->SetSQL("SELECT * FROM " + p +
                "DIM_CHILD_OF WHERE OWNER = :OWNER AND DIMENSION_NAME = :NAME AND HIERARCHY_NAME = :HNAME "
                "ORDER BY POSITION DESC");
      q->Execute();
      for (; !q->Eof(); q->Next())
        links.push_back({q->FieldAsString("PARENT_LEVEL_NAME"), q->FieldAsString("CHILD_LEVEL_NAME")});
      q->Close();
      std::size_t depth = 1;
      if (!links.empty()) {
        AddItem(l.request, TreeLineName(++counter), {"   " + links.front().parent}, true);
        depth = 2;
      }
      for (const ChildOf& link : links) {
        std::string parentKey = FirstLevelKey(l, owner, dimension, link.parent);
        std::string childKey = FirstLevelKey(l, owner, dimension, link.child);
        AddItem(l.request, TreeLineName(++counter),
                {" " + std::string(depth * 2, ' ') + link.child, parentKey + " -> " + childKey}, true);
        ++depth;
      }
    }
  } catch (...) {
    std::exception_ptr error = std::current_exception();
    note.Remove();
    HandleListingError(l.request, error);
  }
}

}  // namespace

void ListDimensions(Listing& l) {
  if (!l.Connected()) return;
  const std::string owner = ExactOwner(l, 3), dimension = ExactObject(l, 4, {"DIMENSION"});
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtDimensionsOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
  } else if (l.Level(4).empty()) {
    l.UseModes("NameInvalidRevisionPanelModes");
    l.ListStatement(kStmtDimensionsOfOwner, {{"DIMENSION_NAME", "INVALID", "REVISION"}, true, "", "", ""},
                    {{"OWNER", owner}});
  } else if (l.Level(5).empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddItem(l.request, ".LEVELS", {"", "The dimension levels"}, true);
    AddItem(l.request, ".HIERARCHIES", {"", "The dimension hierarchy"}, true);
  } else if (l.Level(6).empty()) {
    if (l.Level(5) == ".LEVELS") {
      l.UseModes("LevelColumnsDetailObjectPanelModes");
      l.ListStatement(kStmtDimensionLevels, {{"LEVEL_NAME", "NUM_COLUMNS", "FILENAME"}, true, "", "", ""},
                      {{"NAME", dimension}, {"OWNER", owner}});
    } else if (l.Level(5) == ".HIERARCHIES") {
      ListHierarchies(l, owner, dimension);
    }
  }
}

}  // namespace catalog
