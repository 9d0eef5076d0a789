// code_details.cpp — counted detail directories of code objects and their
// routing to the shared per-object lists.
#include "catalog/code_details.h"

#include "catalog/code_queries.h"
#include "catalog/dataset_builders.h"
#include "catalog/item_builders.h"
#include "catalog/object_lists.h"

namespace catalog {

void AddReferencedFromDetail(Listing& l, const CodeObject& o) {
  long long n = CountText(l,
                          "SELECT COUNT(*) FROM " + l.Module().Prefix() +
                              "DEPENDENCIES WHERE REFERENCED_NAME = :NAME AND REFERENCED_OWNER = :OWNER",
                          {{"NAME", o.name}, {"OWNER", o.owner}});
  AddDetailDirectory(l.request, ".REFERENCED FROM", n);
}

void AddSynonymsDetail(Listing& l, const CodeObject& o) {
  AddDetailDirectory(l.request, ".SYNONYMS", GuardedCount(l, [&] { return l.Module().CountSynonymsFor(o.owner, o.name); }));
}

void AddGrantsDetail(Listing& l, const CodeObject& o) {
  AddDetailDirectory(l.request, ".GRANTEE", GuardedCount(l, [&] { return l.Module().CountGrantsOn(o.owner, o.name); }));
}

void AddErrorsDetail(Listing& l, const CodeObject& o, bool showCount) {
  long long n = GuardedCount(l, [&] { return l.Module().CountErrorsOf(o.owner, o.name, o.type); });
  if (n <= 0) return;
  if (showCount)
    AddDetailDirectory(l.request, ".ERRORS", n);
  else
    AddItem(l.request, ".ERRORS", {}, true);
}

void AddDependenciesDetail(Listing& l, const CodeObject& o, bool withTree) {
  long long n = GuardedCount(l, [&] { return l.Module().CountDependenciesOf(o.owner, o.name, o.type); });
  if (n <= 0) return;
  AddDetailDirectory(l.request, ".DEPENDENCIES", n);
  if (withTree) AddItem(l.request, ".DEPENDENCIES TREE", {}, true);
}

bool ListSharedDetail(Listing& l, const std::string& detail, const CodeObject& o) {
  if (detail == ".SYNONYMS")
    ListSynonymsOf(l, o.owner, o.name);
  else if (detail == ".GRANTEE")
    ListGrants(l, o.owner, o.name);
  else if (detail == ".REFERENCED FROM")
    ListReferencedFrom(l, o.owner, o.name);
  else if (detail == ".ERRORS")
    ListObjectErrors(l, o.owner, o.name, o.type);
  else if (detail == ".DEPENDENCIES")
    ListDependencies(l, o.owner, o.name, o.type);
  else if (detail == ".DEPENDENCIES TREE")
    ListDependencyTree(l, o.owner, o.name, o.type);
  else if (detail == ".OBJECT SIZE")
    ListObjectSize(l, o.owner, o.name, o.type);
  else
    return false;
  return true;
}

}  // namespace catalog
