// fault_injection.h — the stand-in's injected faults, for tests (the real
// client has nothing like it).  A plan makes one server round trip fail, or
// each with a chance:
//
//   drop@N              the Nth round trip loses the connection: that call
//                       fails with ORA-03113, every later call that needs
//                       the server with ORA-03114, until a new logon
//   ORA-nnnnn@N         the Nth round trip fails with that error; the
//                       connection stays
//   stall=MS@N          the Nth round trip takes MS milliseconds longer
//   WHAT@p=P[,seed=S]   every round trip, with the chance P (0 < P <= 1),
//                       drawn from a sequence the seed S fixes (default 1)
//
// The environment variable OCISIM_FAULT sets the plan when the library is
// first used (it is then taken out of the environment, so programs the
// client starts run without it); OCISIM_FAULT_LOG names a file that gets a
// line for every fault played.  From code (dlsym on the loaded library):
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Replaces the plan (NULL or "": none) and counts round trips from 1 again;
// 0, or -1 with the plan unchanged when the text is no plan.
int ocisim_set_fault(const char* plan);
// Faults played since the library was loaded.
unsigned long long ocisim_faults_injected(void);

typedef int (*OcisimSetFaultFn)(const char* plan);
typedef unsigned long long (*OcisimFaultsInjectedFn)(void);

#ifdef __cplusplus
}
#endif
