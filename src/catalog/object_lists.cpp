// object_lists.cpp — the shared per-object lists.
#include "catalog/object_lists.h"

namespace catalog {

void ListObjectErrors(Listing&, const std::string&, const std::string&, const std::string&) {}
void ListDependencies(Listing&, const std::string&, const std::string&, const std::string&) {}
void ListDependencyTree(Listing&, const std::string&, const std::string&, const std::string&) {}
void ListObjectSize(Listing&, const std::string&, const std::string&, const std::string&) {}
void ListReferencedFrom(Listing&, const std::string&, const std::string&) {}
void ListGrants(Listing&, const std::string&, const std::string&) {}
void ListSynonymsOf(Listing&, const std::string&, const std::string&) {}

}  // namespace catalog
