// statement_repeats.h — the stand-in's record of statement texts prepared
// more than once, for benchmarks that look for a statement an action could
// have kept instead of preparing it again (the real client has nothing like
// it).  Reach the functions with dlsym on the loaded library.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Starts a new window: texts prepared before it no longer count as seen.
void ocisim_mark_statements(void);
// Prepares since the last mark of a text already prepared since that mark;
// the first such text (cut to `size` - 1 bytes, NUL-terminated) goes to
// `first` when it is not null.
unsigned long long ocisim_statement_repeats(char* first, unsigned long size);

typedef void (*OcisimMarkStatementsFn)(void);
typedef unsigned long long (*OcisimStatementRepeatsFn)(char* first, unsigned long size);

#ifdef __cplusplus
}
#endif
