// code_details.h — the detail directories that routines, packages, types,
// triggers and sequences offer below an object, and the routing of a
// detail name to the shared per-object list that fills it.
#pragma once

#include <cstddef>
#include <string>

#include "catalog/detail_counts.h"
#include "catalog/listing_context.h"

namespace catalog {

struct CodeObject {
  std::string owner, name, type;  // type: "FUNCTION", "PACKAGE", "TYPE" ...
};

// The counts of a code object's detail directories asked of the server in
// one statement (see CountBatch); handed to the Add functions below, which
// otherwise count each on its own.
struct CodeDetailCounts {
  CodeDetailCounts(Listing& l, const CodeObject& o);
  CountBatch batch;
  std::size_t referencedFrom, synonyms, grants, errors, dependencies;
};

// A failing count leaves out only its directory.
void AddReferencedFromDetail(Listing& l, const CodeObject& o, CodeDetailCounts* counts = nullptr);
void AddSynonymsDetail(Listing& l, const CodeObject& o, CodeDetailCounts* counts = nullptr);
void AddGrantsDetail(Listing& l, const CodeObject& o, CodeDetailCounts* counts = nullptr);
void AddErrorsDetail(Listing& l, const CodeObject& o, bool showCount = true, CodeDetailCounts* counts = nullptr);
// ".DEPENDENCIES" with its count, and ".DEPENDENCIES TREE" beside it when
// `withTree`.
void AddDependenciesDetail(Listing& l, const CodeObject& o, bool withTree, CodeDetailCounts* counts = nullptr);

// Lists the shared per-object list named by `detail` (".SYNONYMS",
// ".GRANTEE", ".REFERENCED FROM", ".ERRORS", ".DEPENDENCIES",
// ".DEPENDENCIES TREE", ".OBJECT SIZE"); false for any other name.
bool ListSharedDetail(Listing& l, const std::string& detail, const CodeObject& o);

}  // namespace catalog
