// code_family.h — code objects and types: routines, packages and bodies,
// triggers, sequences, synonyms, libraries, types, operators, outlines,
// dimensions and Java, and the object error list under ".ERRORS".
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

void ListJava(Listing& listing);
void ListDimensions(Listing& listing);
void ListOutlines(Listing& listing);
void ListOperators(Listing& listing);
void ListLibraries(Listing& listing);
void ListAllTypes(Listing& listing);
void ListPackageBodies(Listing& listing);
void ListPackages(Listing& listing);
// FUNCTIONS and PROCEDURES share one lister.
void ListRoutines(Listing& listing);
void ListSequences(Listing& listing);
void ListSynonyms(Listing& listing);
void ListTriggers(Listing& listing);
// Level 4 and deeper of ".ERRORS": one object's errors.
void ListErrorsOfObject(Listing& listing);

}  // namespace catalog
