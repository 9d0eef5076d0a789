// code_family.cpp — entry points of the code-object family.
#include "catalog/code_family.h"

namespace catalog {

void ListJava(Listing&) {}
void ListDimensions(Listing&) {}
void ListOutlines(Listing&) {}
void ListOperators(Listing&) {}
void ListLibraries(Listing&) {}
void ListAllTypes(Listing&) {}
void ListPackageBodies(Listing& l) {
  if (!l.Level(3).empty() && l.Level(4).empty()) l.UseModes("DefaultPanelModes");
}
void ListPackages(Listing&) {}
void ListRoutines(Listing&) {}
void ListSequences(Listing&) {}
void ListSynonyms(Listing&) {}
void ListTriggers(Listing&) {}
void ListErrorsOfObject(Listing& l) { l.UseModes("NLCTextPanelModes"); }

}  // namespace catalog
