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
                      {{"OWNER", ExactOwner(l, 4)}});
    }
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtSynonymsOfOwner, {{"FILENAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else if (l.Level(5).empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddItem(l.request, ".REFERENCED OBJECT", {}, true);
    MakeRecordItemsWithComments(l.request, l.Module(), l.Module().Prefix() + "SYNONYMS",
                                "OWNER = :OWNER AND SYNONYM_NAME = :NAME",
                                {{"OWNER", ExactOwner(l, 3)}, {"NAME", ExactObjectKey(l, 4, {"SYNONYM"})}});
  }
}

}  // namespace catalog
