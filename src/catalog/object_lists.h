// object_lists.h — the per-object lists that code objects, types, tables and
// views share: compilation errors, dependencies and their tree, object size,
// referencing objects, grants and synonyms. Each lists into the listing's
// item array with the shared builders, chooses its own panel layout and
// handles its own errors; nothing is listed while the panel is not connected.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// `type` is the object type word ("FUNCTION", "PACKAGE", "VIEW", ...).
void ListObjectErrors(Listing& l, const std::string& owner, const std::string& name, const std::string& type);
void ListDependencies(Listing& l, const std::string& owner, const std::string& name, const std::string& type);
void ListDependencyTree(Listing& l, const std::string& owner, const std::string& name, const std::string& type);
void ListObjectSize(Listing& l, const std::string& owner, const std::string& name, const std::string& type);
void ListReferencedFrom(Listing& l, const std::string& owner, const std::string& name);
void ListGrants(Listing& l, const std::string& owner, const std::string& name);
void ListSynonymsOf(Listing& l, const std::string& owner, const std::string& name);

}  // namespace catalog
