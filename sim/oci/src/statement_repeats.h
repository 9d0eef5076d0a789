// statement_repeats.h — noting each statement text prepared (see
// include/ocisim/statement_repeats.h).
#pragma once

#include <string>

namespace ocisim {

// Notes that `text` was prepared (OCIStmtPrepare, oparse).
void NotePrepared(const std::string& text);

}  // namespace ocisim
