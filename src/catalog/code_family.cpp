// code_family.cpp — the code-object kinds with a plain owner, object and
// record chain: sequences, libraries, outlines and Java, and one object's
// error list under ".ERRORS".  The richer kinds have files of their own
// (routine_listing, package_listing, trigger_listing, synonym_listing,
// type_listing, operator_listing, dimension_listing).
#include "catalog/code_family.h"

#include "catalog/code_details.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/object_lists.h"
#include "connection/statement_catalogue.h"

namespace catalog {
namespace {

using namespace connection;

ItemColumns Owners(const char* column = "OWNER") { return {{column, "COUNTS"}, true, "", "", ""}; }

void Record(Listing& l, const std::string& view, const std::string& condition, const VariablePairs& keys) {
  l.UseModes("ObjectValuePanelModes");
  MakeRecordItemsWithComments(l.request, l.Module(), view, condition, keys);
}

}  // namespace

void ListSequences(Listing& l) {
  if (!l.Connected()) return;
  const CodeObject o{ExactOwner(l, 3), ExactObject(l, 4, {"SEQUENCE"}), "SEQUENCE"};
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtSequencesOwners, Owners("SEQUENCE_OWNER"));
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    // Both dates are the creation date; the size is the last number.
    l.ListStatement(kStmtSequencesOfOwner,
                    {{"SEQUENCE_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "CREATED", "LAST_NUMBER"},
                    {{"OWNER", o.owner}});
  } else if (l.Level(5).empty()) {
    l.UseModes("ObjectValuePanelModes");
    AddSynonymsDetail(l, o);
    AddGrantsDetail(l, o);
    Record(l, l.Module().Prefix() + "SEQUENCES", "SEQUENCE_NAME = :NAME AND SEQUENCE_OWNER = :OWNER",
           {{"NAME", o.name}, {"OWNER", o.owner}});
  } else if (l.Level(6).empty() && (l.Level(5) == ".SYNONYMS" || l.Level(5) == ".GRANTEE")) {
    ListSharedDetail(l, l.Level(5), o);
  }
}

void ListLibraries(Listing& l) {
  if (!l.Connected()) return;
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtLibrariesOwners, Owners());
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtLibrariesOfOwner,
                    {{"LIBRARY_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else if (l.Level(5).empty()) {
    Record(l, l.Module().Prefix() + "LIBRARIES", "OWNER = :OWNER AND LIBRARY_NAME = :NAME",
           {{"OWNER", ExactOwner(l, 3)}, {"NAME", ExactLevel(l, 4, connection::NameIn(connection::NameKind::Library, ExactOwner(l, 3)))}});
  }
}

void ListOutlines(Listing& l) {
  if (!l.Connected()) return;
  if (l.Level(3).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtOutlinesOwners, Owners());
  } else if (l.Level(4).empty()) {
    l.UseModes("NameCategoryUsedPanelModes");
    l.ListStatement(kStmtOutlinesOfOwner,
                    {{"NAME", "CATEGORY", "USED", "TIMESTAMP", "VERSION", "SQL_TEXT"}, true, "TIMESTAMP", "", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else if (l.Level(5).empty()) {
    l.UseModes("NodeJoinStageHintPanelModes");
    l.ListStatement(kStmtOutlineHints, {{"NODE", "JOIN_POS", "STAGE", "HINT"}, false, "", "", ""},
                    {{"NAME", ExactLevel(l, 4, connection::NameIn(connection::NameKind::Outline))}, {"OWNER", ExactOwner(l, 3)}});
  }
}

void ListJava(Listing& l) {
  if (!l.Connected()) return;
  const std::string level3 = l.Level(3);
  if (level3.empty()) {
    l.UseModes("UserNameCountPanelModes");
    AddCountedDirectory(l.request, l.Module(), "JAVASNM", ".JAVA SYNONYMS");
    l.ListStatement(kStmtJavaOwners, Owners());
  } else if (level3 == ".JAVA SYNONYMS") {
    if (!l.Level(4).empty()) return;
    l.UseModes("ShortNameLongNamePanelModes");
    l.ListStatement(kStmtJavaSynonyms, {{"SHORT", "LONGNAME"}, false, "", "", ""});
  } else if (l.Level(4).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtJavaKindsOfOwner, {{"OBJECT_TYPE", "COUNTS"}, true, "", "", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else if (l.Level(5).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(kStmtJavaObjectsOfKind,
                    {{"OBJECT_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""},
                    {{"NAME", l.Level(4)}, {"OWNER", ExactOwner(l, 3)}});
  }
}

void ListErrorsOfObject(Listing& l) {
  if (!l.Connected() || !l.Level(5).empty()) return;
  // The item reads "NAME.TYPE"; the type follows the last dot.
  const std::string item = ExactLevel(l, 4, connection::NameLookup{});
  const std::size_t dot = item.rfind('.');
  if (dot == std::string::npos) {
    l.UseModes("NLCTextPanelModes");
    return;
  }
  const std::string owner = ExactOwner(l, 3);
  const std::string name = connection::ExactName(l.Module(), item.substr(0, dot), connection::ObjectLookup(owner));
  ListObjectErrors(l, owner, name, l.Level(4).substr(dot + 1));
}

}  // namespace catalog
