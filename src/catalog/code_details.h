// code_details.h — the detail directories that routines, packages, types,
// triggers and sequences offer below an object, and the routing of a
// detail name to the shared per-object list that fills it.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

struct CodeObject {
  std::string owner, name, type;  // type: "FUNCTION", "PACKAGE", "TYPE" ...
};

// Each detail is counted on its own; a failing count leaves out only its
// directory.
void AddReferencedFromDetail(Listing& l, const CodeObject& o);
void AddSynonymsDetail(Listing& l, const CodeObject& o);
void AddGrantsDetail(Listing& l, const CodeObject& o);
void AddErrorsDetail(Listing& l, const CodeObject& o, bool showCount = true);
// ".DEPENDENCIES" with its count, and ".DEPENDENCIES TREE" beside it when
// `withTree`.
void AddDependenciesDetail(Listing& l, const CodeObject& o, bool withTree);

// Lists the shared per-object list named by `detail` (".SYNONYMS",
// ".GRANTEE", ".REFERENCED FROM", ".ERRORS", ".DEPENDENCIES",
// ".DEPENDENCIES TREE", ".OBJECT SIZE"); false for any other name.
bool ListSharedDetail(Listing& l, const std::string& detail, const CodeObject& o);

}  // namespace catalog
