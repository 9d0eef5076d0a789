// listing_context.cpp — running catalogue statements into the listing.
#include "catalog/listing_context.h"

#include "catalog/listing_errors.h"

namespace catalog {

void Listing::ListStatement(int number, const ItemColumns& shape, const VariablePairs& variables) {
  std::unique_ptr<oracle::TOracleQuery> query;
  try {
    query = Module().CreateOracleQueryByKind(number);
  } catch (...) {
    HandleListingError(request, std::current_exception());
    return;
  }
  if (query) MakeItemsFromDataSetByColumns(request, *query, shape, variables);
}

}  // namespace catalog
