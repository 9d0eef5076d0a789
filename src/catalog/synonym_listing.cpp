// synonym_listing.cpp — "Synonyms": by owner and by the type of the object
// they stand for; a synonym's record with the way to its target.
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

constexpr const char* kByType = ".SYNONYMS BY TYPE";

// Items are named "SYNONYM.TYPE" (by owner) or "SYNONYM.OWNER" (by type);
// the synonym is the part before the last dot.
std::string BeforeLastDot(const std::string& name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

void ListSynonyms(Listing& l) {
  if (!l.Connected()) return;
  const std::string level3 = l.Level(3);
  if (level3.empty()) {
    l.UseModes("UserNameCountPanelModes");
    AddItem(l.request, kByType, {}, true);
    l.ListStatement(kStmtSynonymsOwners, {{"OWNER", "COUNTS"}, true, "", "", ""});
  } else if (level3 == kByType) {
    if (l.Level(4).empty()) {
      l.UseModes("UserNameCountPanelModes");
      l.ListStatement(kStmtSynonymTypes, {{"OBJECT_TYPE", "COUNTS"}, true, "", "", ""});
    } else if (l.Level(5).empty()) {
      l.UseModes("DefaultPanelModes");
      l.ListStatement(kStmtSynonymsOfType, {{"FILENAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "", ""},
                      {{"OWNER", ExactLevel(l, 4)}});
    }
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtSynonymsOfOwner, {{"FILENAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "", ""},
                    {{"OWNER", ExactLevel(l, 3)}});
  } else if (l.Level(5).empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddItem(l.request, ".REFERENCED OBJECT", {}, true);
    MakeRecordItemsWithComments(l.request, l.Module(), l.Module().Prefix() + "SYNONYMS",
                                "OWNER = :OWNER AND SYNONYM_NAME = :NAME",
                                {{"OWNER", ExactLevel(l, 3)}, {"NAME", BeforeLastDot(ExactLevel(l, 4))}});
  }
}

}  // namespace catalog
