// type_listing.cpp — "All types": object, table, array and index types, the
// type detail with its attributes and methods, and a method's parameters
// and result.  The same type detail sits below "All types\{owner}" and
// below ".OBJECT TYPES\{owner}" / ".TABLE TYPES\{owner}", one level deeper;
// it is written once against the level of the type item.
#include <cstdint>

#include "catalog/code_details.h"
#include "catalog/code_family.h"
#include "catalog/code_queries.h"
#include "catalog/item_builders.h"
#include "catalog/listing_errors.h"
#include "catalog/object_lists.h"
#include "connection/statement_catalogue.h"
#include "oracle/oracle_variables.h"

namespace catalog {
namespace {

using namespace connection;

ItemColumns Owners(const char* column = "OWNER") { return {{column, "COUNTS"}, true, "", "", ""}; }

const ItemColumns kTypesOfOwner{{"TYPE_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "LAST_DDL_TIME", ""};

// Which lists the detail of a type offers below it: collection types have
// neither errors nor methods.
enum class TypeKind { Object, Collection };

void ListTypeDetailDirectory(Listing& l, const CodeObject& o) {
  l.UseModes("ObjectValuePanelModes");
  LoadingMessage note(l.request);
  AddDependenciesDetail(l, o, false);
  AddReferencedFromDetail(l, o);
  try {
    auto q = l.Module().CreateNewOracleQuery({"NAME", "OWNER"});
    if (!q) return;
    q->SetVariable("NAME", o.name);
    q->SetVariable("OWNER", o.owner);
    q->SetSQL("SELECT * FROM " + l.Module().Prefix() + "TYPES WHERE TYPE_NAME = :NAME AND OWNER = :OWNER");
    q->Execute();
    // The record stays open: its attribute and method counts decide the
    // directories that follow it.
    MakeItemsFromRecord(l.request, *q, false);
    if (q->Eof()) return;
    const long long attributes = q->FieldIsNull("ATTRIBUTES") ? 0 : q->FieldAsInteger("ATTRIBUTES");
    const long long methods = q->FieldIsNull("METHODS") ? 0 : q->FieldAsInteger("METHODS");
    q->Close();
    AddErrorsDetail(l, o);
    if (attributes > 0) AddItem(l.request, ".ATTRIBUTES", {}, true);
    if (methods > 0) AddItem(l.request, ".METHODS", {}, true);
  } catch (...) {
    std::exception_ptr error = std::current_exception();
    note.Remove();
    HandleListingError(l.request, error);
  }
}

// A method's ".PARAMETERS" or ".RESULT"; the method item reads "NAME.NO".
void ListMethodPart(Listing& l, const CodeObject& type, const std::string& methodItem, bool parameters) {
  const std::size_t dot = methodItem.rfind('.');
  if (dot == std::string::npos) return;
  const std::string method = methodItem.substr(0, dot);
  std::int64_t number = 0;
  try {
    number = std::stoll(methodItem.substr(dot + 1));
  } catch (...) {
    return;  // not a method item: nothing below it
  }
  const std::string p = l.Module().Prefix();
  const std::string sql =
      parameters
          ? "SELECT P.*, P.PARAM_NAME || '.' || P.PARAM_NO AS FILENAME, DECODE(P.PARAM_TYPE_OWNER, NULL, NULL, "
            "P.OWNER, NULL, P.PARAM_TYPE_OWNER || '.') || P.PARAM_TYPE_NAME AS FULL_TYPE_NAME FROM " +
                p +
                "METHOD_PARAMS P WHERE P.TYPE_NAME = :TYPE_NAME AND P.OWNER = :OWNER AND P.METHOD_NAME = "
                ":METHOD_NAME AND P.METHOD_NO = :NO"
          : "SELECT R.*, DECODE(R.RESULT_TYPE_OWNER, NULL, NULL, R.OWNER, NULL, R.RESULT_TYPE_OWNER || '.') || "
            "R.RESULT_TYPE_NAME AS FULL_TYPE_NAME FROM " +
                p +
                "METHOD_RESULTS R WHERE R.TYPE_NAME = :TYPE_NAME AND R.OWNER = :OWNER AND R.METHOD_NAME = "
                ":METHOD_NAME AND R.METHOD_NO = :NO";
  l.UseModes(parameters ? "NameModeTypePanelModes" : "TypeModCharsetPanelModes");
  std::unique_ptr<oracle::TOracleQuery> q;
  try {
    q = l.Module().CreateNewOracleQuery({"TYPE_NAME", "OWNER", "METHOD_NAME"});
    if (!q) return;
    q->DeclareVariable("NO", oracle::otInteger);
    q->SetVariable("NO", number);
    q->SetSQL(sql);
  } catch (...) {
    HandleListingError(l.request, std::current_exception());
    return;
  }
  MakeItemsFromDataSetByColumns(
      l.request, *q,
      parameters ? ItemColumns{{"FILENAME", "PARAM_MODE", "FULL_TYPE_NAME", "CHARACTER_SET_NAME"}, true, "", "", ""}
                 : ItemColumns{{"FULL_TYPE_NAME", "RESULT_TYPE_MOD", "CHARACTER_SET_NAME"}, true, "", "", ""},
      {{"TYPE_NAME", type.name}, {"OWNER", type.owner}, {"METHOD_NAME", method}});
}

// The type at level `at` (its owner one level above) and everything below.
void ListTypeBelow(Listing& l, std::size_t at, TypeKind kind) {
  const CodeObject o{ExactOwner(l, at - 1), ExactObject(l, at, {"TYPE"}), "TYPE"};
  const std::string detail = l.Level(at + 1);
  const std::string p = l.Module().Prefix();
  if (detail.empty()) {
    ListTypeDetailDirectory(l, o);
  } else if (detail == ".ATTRIBUTES") {
    if (!l.Level(at + 2).empty()) return;
    l.UseModes("NameTypeModPanelModes");
    ListQueryText(l,
                  "SELECT A.*, A.ATTR_TYPE_NAME || DECODE (A.ATTR_TYPE_OWNER, A.OWNER, NULL, NULL, NULL, '.' || "
                  "A.ATTR_TYPE_OWNER) AS ATTR_TYPENAME FROM " +
                      p + "TYPE_ATTRS A WHERE TYPE_NAME = :NAME AND OWNER = :OWNER",
                  {{"ATTR_NAME", "ATTR_TYPENAME", "ATTR_TYPE_MOD", "LENGTH", "PRECISION"}, true, "", "", ""},
                  {{"NAME", o.name}, {"OWNER", o.owner}});
  } else if (detail == ".METHODS" && kind == TypeKind::Object) {
    const std::string method = l.Level(at + 2);
    if (method.empty()) {
      l.UseModes("NameTypeParamsResultsPanelModes");
      ListQueryText(l,
                    "SELECT M.*, M.METHOD_NAME || '.' || M.METHOD_NO AS FILENAME FROM " + p +
                        "TYPE_METHODS M WHERE M.TYPE_NAME = :NAME AND M.OWNER = :OWNER",
                    {{"FILENAME", "METHOD_TYPE", "PARAMETERS", "RESULTS"}, true, "", "", ""},
                    {{"NAME", o.name}, {"OWNER", o.owner}});
    } else if (l.Level(at + 3).empty()) {
      l.UseModes("ObjectValuePanelModes");
      AddItem(l.request, ".PARAMETERS", {}, true);
      AddItem(l.request, ".RESULT", {}, true);
    } else if (l.Level(at + 4).empty() && (l.Level(at + 3) == ".PARAMETERS" || l.Level(at + 3) == ".RESULT")) {
      const connection::NameLookup method{"SELECT COUNT(*) FROM ALL_TYPE_METHODS WHERE OWNER = :OWNER AND TYPE_NAME = "
                                          ":TYPE_NAME AND METHOD_NAME = :N",
                                          {{"OWNER", o.owner}, {"TYPE_NAME", o.name}}};
      ListMethodPart(l, o, ExactLevel(l, at + 2, method), l.Level(at + 3) == ".PARAMETERS");
    }
  } else if (l.Level(at + 2).empty()) {
    if (detail == ".ERRORS" && kind == TypeKind::Collection) return;
    if (detail == ".DEPENDENCIES" || detail == ".REFERENCED FROM" || detail == ".ERRORS")
      ListSharedDetail(l, detail, o);
  }
}

// ".OBJECT TYPES" and ".TABLE TYPES": owners, types of an owner, a type.
void ListTypeBranch(Listing& l, int ownersStatement, int typesStatement, TypeKind kind) {
  if (l.Level(4).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(ownersStatement, Owners());
  } else if (l.Level(5).empty()) {
    l.UseModes("DefaultPanelModes");
    l.ListStatement(typesStatement, kTypesOfOwner, {{"OWNER", ExactOwner(l, 4)}});
  } else {
    ListTypeBelow(l, 5, kind);
  }
}

void ListArrayTypes(Listing& l) {
  if (l.Level(4).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtArrayTypesOwners, Owners());
  } else if (l.Level(5).empty()) {
    l.UseModes("NameTypeBoundStoragePanelModes");
    l.ListStatement(kStmtArrayTypesOfOwner,
                    {{"TYPE_NAME", "TYPENAME", "UPPER_BOUND", "ELEM_STORAGE", "NULLS_STORED", "DESCRIPTION"}, true,
                     "CREATED", "LAST_DDL_TIME", "UPPER_BOUND"},
                    {{"OWNER", ExactOwner(l, 4)}});
  } else if (l.Level(6).empty()) {
    l.UseModes("ObjectValuePanelModes");
    MakeRecordItemsWithComments(l.request, l.Module(), l.Module().Prefix() + "COLL_TYPES",
                                "OWNER = :OWNER AND TYPE_NAME = :NAME AND COLL_TYPE = 'VARYING ARRAY'",
                                {{"OWNER", ExactOwner(l, 4)}, {"NAME", ExactObject(l, 5, {"TYPE"})}});
  }
}

void ListIndexTypes(Listing& l) {
  if (l.Level(4).empty()) {
    l.UseModes("UserNameCountPanelModes");
    l.ListStatement(kStmtIndexTypesOwners, Owners());
  } else if (l.Level(5).empty()) {
    l.UseModes("NameImplementationPanelModes");
    l.ListStatement(kStmtIndexTypesOfOwner,
                    {{"INDEXTYPE_NAME", "IMPNAME", "IMPLEMENTATION_VERSION", "NUMBER_OF_OPERATORS"}, true, "", "", ""},
                    {{"OWNER", ExactOwner(l, 4)}});
  } else if (l.Level(6).empty()) {
    l.UseModes("OperatorBindingPanelModes");
    l.ListStatement(kStmtIndexTypeOperators, {{"OPERATOR_NAME", "BINDING#"}, true, "", "", ""},
                    {{"NAME", ExactObject(l, 5, {"TYPE"})}, {"OWNER", ExactOwner(l, 4)}});
  }
}

// Built-in types have no owner and no object of their own, so the owner's
// list (a join with the objects) would show none of the types the owner
// list counted under this name.  They are listed from the types view alone,
// as plain items: there is nothing below them.
constexpr const char* kBuiltIn = "BUILD INTO";

void ListBuiltInTypes(Listing& l) {
  ListQueryText(l,
                "SELECT T.TYPE_NAME, T.TYPECODE AS CUSTOM_DESCRIPTION FROM " + l.Module().Prefix() +
                    "TYPES T WHERE T.OWNER IS NULL",
                {{"TYPE_NAME", "CUSTOM_DESCRIPTION"}, false, "", "", ""}, {});
}

void AddCountDirectory(Listing& l, const char* name, int (connection::TPluginDataModule::*count)()) {
  AddDetailDirectory(l.request, name, GuardedCount(l, [&] { return (l.Module().*count)(); }));
}

}  // namespace

void ListAllTypes(Listing& l) {
  if (!l.Connected()) return;
  const std::string level3 = l.Level(3);
  if (level3.empty()) {
    l.UseModes("UserNameCountPanelModes");
    AddCountDirectory(l, ".OBJECT TYPES", &TPluginDataModule::CountObjectTypes);
    AddCountDirectory(l, ".TABLE TYPES", &TPluginDataModule::CountCollectionTypes);
    AddCountDirectory(l, ".ARRAY TYPES", &TPluginDataModule::CountVarrayTypes);
    AddCountDirectory(l, ".INDEX TYPES", &TPluginDataModule::CountIndexTypes);
    // Built-in types have no owner; they are grouped under "BUILD INTO".
    l.ListStatement(kStmtTypesOwners, Owners("OWNER_NAME"));
  } else if (level3 == ".OBJECT TYPES") {
    ListTypeBranch(l, kStmtObjectTypesOwners, kStmtObjectTypesOfOwner, TypeKind::Object);
  } else if (level3 == ".TABLE TYPES") {
    ListTypeBranch(l, kStmtTableTypesOwners, kStmtTableTypesOfOwner, TypeKind::Collection);
  } else if (level3 == ".ARRAY TYPES") {
    ListArrayTypes(l);
  } else if (level3 == ".INDEX TYPES") {
    ListIndexTypes(l);
  } else if (l.Level(4).empty()) {
    l.UseModes("DefaultPanelModes");
    if (level3 == kBuiltIn) {
      ListBuiltInTypes(l);
      return;
    }
    l.ListStatement(kStmtTypesOfOwner, {{"TYPE_NAME", "CUSTOM_DESCRIPTION"}, true, "CREATED", "", ""},
                    {{"OWNER", ExactOwner(l, 3)}});
  } else if (level3 != kBuiltIn) {
    ListTypeBelow(l, 4, TypeKind::Object);
  }
}

}  // namespace catalog
