// statement_repeats.cpp — see statement_repeats.h.  One process-wide window
// guarded by a mutex: sessions of every thread prepare into it.
#include "statement_repeats.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include "exports.h"
#include "ocisim/statement_repeats.h"

namespace ocisim {
namespace {

struct Window {
  std::mutex lock;
  std::unordered_set<std::string> seen;
  unsigned long long repeats = 0;
  std::string first;
};

Window& Current() {
  static Window w;
  return w;
}

}  // namespace

void NotePrepared(const std::string& text) {
  Window& w = Current();
  std::lock_guard<std::mutex> guard(w.lock);
  if (w.seen.insert(text).second) return;
  if (w.repeats++ == 0) w.first = text;
}

}  // namespace ocisim

extern "C" OCISIM_VISIBLE void ocisim_mark_statements() {
  ocisim::Window& w = ocisim::Current();
  std::lock_guard<std::mutex> guard(w.lock);
  w.seen.clear();
  w.repeats = 0;
  w.first.clear();
}

extern "C" OCISIM_VISIBLE unsigned long long ocisim_statement_repeats(char* first, unsigned long size) {
  ocisim::Window& w = ocisim::Current();
  std::lock_guard<std::mutex> guard(w.lock);
  if (first && size > 0) {
    const std::size_t n = std::min<std::size_t>(w.first.size(), size - 1);
    std::memcpy(first, w.first.data(), n);
    first[n] = 0;
  }
  return w.repeats;
}
