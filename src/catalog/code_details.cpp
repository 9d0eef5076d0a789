// code_details.cpp — counted detail directories of code objects and their
// routing to the shared per-object lists.
#include "catalog/code_details.h"

#include "catalog/code_queries.h"
#include "catalog/dataset_builders.h"
#include "catalog/item_builders.h"
#include "catalog/object_lists.h"

namespace catalog {

namespace {

std::string ReferencedFromCount(Listing& l) {
  return "SELECT COUNT(*) FROM " + l.Module().Prefix() +
         "DEPENDENCIES WHERE REFERENCED_NAME = :NAME AND REFERENCED_OWNER = :OWNER";
}

}  // namespace

CodeDetailCounts::CodeDetailCounts(Listing& l, const CodeObject& o) : batch(l) {
  auto& m = l.Module();
  referencedFrom = batch.Add(ReferencedFromCount(l), {{"NAME", o.name}, {"OWNER", o.owner}},
                             [&l, o] { return CountText(l, ReferencedFromCount(l), {{"NAME", o.name}, {"OWNER", o.owner}}); });
  const auto synonymsCount = m.SynonymsForCount(o.owner, o.name);
  synonyms = batch.Add(synonymsCount.sql, synonymsCount.binds,
                       [&l, o] { return static_cast<long long>(l.Module().CountSynonymsFor(o.owner, o.name)); });
  // CountGrantsOn's statement, with the same names.
  grants = batch.Add("SELECT COUNT(*) FROM ALL_TAB_PRIVS WHERE TABLE_SCHEMA = :OWNER AND TABLE_NAME = :NAME",
                     synonymsCount.binds,
                     [&l, o] { return static_cast<long long>(l.Module().CountGrantsOn(o.owner, o.name)); });
  const auto errorsCount = m.ErrorsOfCount(o.owner, o.name, o.type);
  errors = batch.Add(errorsCount.sql, errorsCount.binds, [&l, o] {
    return static_cast<long long>(l.Module().CountErrorsOf(o.owner, o.name, o.type));
  });
  const auto dependenciesCount = m.DependenciesOfCount(o.owner, o.name, o.type);
  dependencies = batch.Add(dependenciesCount.sql, dependenciesCount.binds, [&l, o] {
    return static_cast<long long>(l.Module().CountDependenciesOf(o.owner, o.name, o.type));
  });
}

void AddReferencedFromDetail(Listing& l, const CodeObject& o, CodeDetailCounts* counts) {
  long long n = counts ? counts->batch.Value(counts->referencedFrom)
                       : CountText(l, ReferencedFromCount(l), {{"NAME", o.name}, {"OWNER", o.owner}});
  AddDetailDirectory(l.request, ".REFERENCED FROM", n);
}

void AddSynonymsDetail(Listing& l, const CodeObject& o, CodeDetailCounts* counts) {
  AddDetailDirectory(l.request, ".SYNONYMS", GuardedCount(l, [&] {
                       return counts ? counts->batch.Value(counts->synonyms)
                                     : static_cast<long long>(l.Module().CountSynonymsFor(o.owner, o.name));
                     }));
}

void AddGrantsDetail(Listing& l, const CodeObject& o, CodeDetailCounts* counts) {
  AddDetailDirectory(l.request, ".GRANTEE", GuardedCount(l, [&] {
                       return counts ? counts->batch.Value(counts->grants)
                                     : static_cast<long long>(l.Module().CountGrantsOn(o.owner, o.name));
                     }));
}

void AddErrorsDetail(Listing& l, const CodeObject& o, bool showCount, CodeDetailCounts* counts) {
  long long n = GuardedCount(l, [&] {
    return counts ? counts->batch.Value(counts->errors)
                  : static_cast<long long>(l.Module().CountErrorsOf(o.owner, o.name, o.type));
  });
  if (n <= 0) return;
  if (showCount)
    AddDetailDirectory(l.request, ".ERRORS", n);
  else
    AddItem(l.request, ".ERRORS", {}, true);
}

void AddDependenciesDetail(Listing& l, const CodeObject& o, bool withTree, CodeDetailCounts* counts) {
  long long n = GuardedCount(l, [&] {
    return counts ? counts->batch.Value(counts->dependencies)
                  : static_cast<long long>(l.Module().CountDependenciesOf(o.owner, o.name, o.type));
  });
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
