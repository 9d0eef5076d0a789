// routine_arguments.h — the argument list of a function or procedure
// (".DESCRIPTION", and a routine inside a package): a header line per
// overload, then the arguments, named so that the panel sorts them by
// overload and then by position.
#pragma once

#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// `packageName` is empty for stand-alone routines.
void ListRoutineArguments(Listing& l, const std::string& owner, const std::string& name,
                          const std::string& packageName);

// The statement behind the list (kept visible for tests).
const std::string& RoutineArgumentsStatement();

}  // namespace catalog
