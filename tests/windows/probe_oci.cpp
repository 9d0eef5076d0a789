// probe_oci.cpp — a stand-in oci.dll for the loader tests: the OCI7 entry
// points (no-ops that succeed) and the path of the dependency it was linked
// against, as the loader resolved it.
extern "C" const char* ProbeDependencyPath();

#define ENTRY(name) \
  extern "C" __declspec(dllexport) int name() { return 0; }
ENTRY(orlon) ENTRY(ologof) ENTRY(oerhms) ENTRY(oopen) ENTRY(oparse) ENTRY(odefin) ENTRY(oexfet)
ENTRY(ofen) ENTRY(oflng) ENTRY(oclose) ENTRY(odescr) ENTRY(oexec) ENTRY(oexn) ENTRY(ocom) ENTRY(orol)
ENTRY(ocon) ENTRY(ocof) ENTRY(obreak) ENTRY(obndra) ENTRY(odessp) ENTRY(olog) ENTRY(opinit)
#undef ENTRY

extern "C" __declspec(dllexport) const char* ProbeOciDependency() { return ProbeDependencyPath(); }
