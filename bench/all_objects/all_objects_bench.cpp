// all_objects_bench.cpp — how long "All objects\TABLE" of a schema with
// 100,000 objects takes to list, and where the time goes.
//
// 1. Bare fetch: the listing's own statement, run through the same client
//    library (the OCI stand-in) by the plugin's query class, rows fetched and
//    nothing else.
// 2. Listing: the host stand-in enters the directory in the plugin, which
//    runs the statement and builds its items; the host copies and sorts them.
// 3. Item array: appending 25,000 to 200,000 empty items alone, to show what
//    the 20480-byte growth steps cost as the array gets bigger.
// Prints the wall and processor times (best of five rounds each), their
// ratios (goal: the plugin's listing alone at most 1.2 x bare fetch), the memory the listing adds at its peak against the item
// array it hands over (goal: at most 2 x), and the process's peak memory
// after each part.  Usage: all_objects_bench [N].
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "connection/data_module.h"
#include "connection/statement_catalogue.h"
#include "host.h"
#include "panel/controller.h"
#include "panel/item_buffer.h"
#include "platform/platform.h"
#include "script.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

long PeakKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// The process's processor time (user and system) so far, in seconds: on a
// shared machine it varies far less than the wall time.
double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Resident memory now and at its peak since the last reset, in KiB (Linux:
// writing 5 to clear_refs resets the peak).
long StatusKiB(const char* field) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long value = 0;
  const std::size_t n = std::strlen(field);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, field, n) == 0) value = std::atol(line + n);
  std::fclose(f);
  return value;
}

void ResetPeak() {
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// What the host receives: the item records, each item's column pointers and
// the column texts.
std::size_t ItemArrayBytes(const far::PluginPanelItem* items, int count) {
  std::size_t bytes = static_cast<std::size_t>(count) * sizeof(far::PluginPanelItem);
  for (int i = 0; i < count; ++i) {
    bytes += static_cast<std::size_t>(items[i].CustomColumnNumber) * sizeof(char*);
    for (int c = 0; c < items[i].CustomColumnNumber; ++c)
      if (items[i].CustomColumnData[c]) bytes += std::strlen(items[i].CustomColumnData[c]) + 1;
  }
  return bytes;
}

// The plugin's own statement for the listing, fetched to the end.
double BareFetch(connection::TPluginDataModule& module, long& rows) {
  auto start = Clock::now();
  auto q = module.CreateOracleQueryByKind(connection::kStmtAllObjectsOfType);
  q->SetVariable("OWNER", std::string("TABLE"));
  q->Execute();
  rows = 0;
  while (!q->Eof()) {
    ++rows;
    q->Next();
  }
  q->Close();
  return Since(start);
}

}  // namespace

namespace {

// Appends `n` empty items the way every listing does; returns the seconds
// taken and counts the times the block moved.
double GrowItems(int n, int& moves) {
  far::PluginPanelItem* items = nullptr;
  int count = 0;
  panel::FindDataRequest r{&items, &count, 0};
  moves = 0;
  auto start = Clock::now();
  for (int i = 0; i < n; ++i) {
    far::PluginPanelItem* before = items;
    panel::AppendItem(r);
    if (items != before) ++moves;
  }
  double t = Since(start);
  panel::FreeItems(items, count);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const int objects = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = 5;
  if (objects <= 0 || objects > 1000000) {
    std::fprintf(stderr, "usage: all_objects_bench [OBJECTS (1..1000000)]\n");
    return 2;
  }
  fs::path work = fs::temp_directory_path() / ("quarry-bench-" + std::to_string(::getpid()));
  fs::create_directories(work / "db");
  fs::create_directories(work / "reg");
  platform::SetEnv("OCISIM_DATA_DIR", (work / "db").string());
  platform::SetEnv("QUARRY_REGISTRY_DIR", (work / "reg").string());
  platform::SetEnv("ORACLE_HOME", QUARRY_BENCH_ORACLE_HOME);
  const std::string alias = "SYNTHOBJ_" + std::to_string(objects);
  int status = 0;
  {
    std::printf("All objects\\TABLE with %d synthetic objects (database %s)\n", objects, alias.c_str());
    auto build = Clock::now();

    // 1. Bare fetch through the plugin's query class and the same library.
    connection::TPluginDataModule module;
    auto& session = module.OracleSession();
    session.LogonUsername = "system";
    session.LogonPassword = "manager";
    session.LogonDatabase = alias;
    session.SetConnected(true);  // builds the database on first use
    std::printf("  database ready and logged on: %.2f s\n", Since(build));
    std::vector<double> bare, bareCpu;
    long rows = 0;
    for (int i = 0; i < rounds; ++i) {
      const double cpu = CpuSeconds();
      bare.push_back(BareFetch(module, rows));
      bareCpu.push_back(CpuSeconds() - cpu);
    }
    std::printf("  bare fetch of %ld rows:        best %.3f s, processor %.3f s   (peak memory %ld KiB)\n", rows,
                Best(bare), Best(bareCpu), PeakKiB());

    // 2a. The plugin's listing alone, in process: no host copying or sorting.
    {
      panel::TOracleController controller;
      auto& cs = controller.DataModule().OracleSession();
      cs.LogonUsername = "system";
      cs.LogonPassword = "manager";
      cs.LogonDatabase = alias;
      cs.SetConnected(true);
      controller.SetCurrentDirectory("\\All objects\\TABLE");
      std::vector<double> own, ownCpu;
      int count = 0;
      long extraKiB = 0;
      std::size_t arrayBytes = 0;
      for (int i = 0; i < rounds; ++i) {
        far::PluginPanelItem* items = nullptr;
        count = 0;
        panel::FindDataRequest r{&items, &count, far::OPM_FIND};  // no progress note
        ResetPeak();
        const long before = StatusKiB("VmRSS:");
        const double cpu = CpuSeconds();
        auto start = Clock::now();
        controller.GetFindData(r);
        own.push_back(Since(start));
        ownCpu.push_back(CpuSeconds() - cpu);
        // The first round's: later rounds reuse memory the first freed.
        if (i == 0) extraKiB = StatusKiB("VmHWM:") - before;
        arrayBytes = ItemArrayBytes(items, count);
        controller.FreeFindData(items, count);
      }
      std::printf("  plugin listing alone, %d items: best %.3f s, processor %.3f s   (ratio %.2f to bare fetch, goal <= 1.2;"
                  " processor %.2f)\n",
                  count, Best(own), Best(ownCpu), Best(own) / Best(bare), Best(ownCpu) / Best(bareCpu));
      std::printf("  item array handed over: %.1f MiB; peak memory added by the listing: %.1f MiB (%.2f x the array,"
                  " goal <= 2)\n",
                  arrayBytes / 1048576.0, extraKiB / 1024.0, extraKiB * 1024.0 / static_cast<double>(arrayBytes));
    }

    // 2. The listing through the host stand-in and the plugin.
    std::ostream discard(nullptr);
    hostsim::Host host(&discard);
    hostsim::Script script(host);
    bool ok = script.Execute(std::string("load \"") + QUARRY_BENCH_PLUGIN + "\"") && script.Execute("open") &&
              script.Execute("answer dialog 5=\"system\" 6=\"manager\" 7=\"" + alias + "\"") &&
              script.Execute("cd \"All objects\"");
    std::vector<double> listing, listingCpu;
    std::size_t items = 0;
    for (int i = 0; ok && i < rounds; ++i) {
      const double cpu = CpuSeconds();
      auto start = Clock::now();
      ok = script.Execute("cd TABLE");
      listing.push_back(Since(start));
      listingCpu.push_back(CpuSeconds() - cpu);
      items = host.panel().items().size();
      ok = ok && script.Execute("cd ..");
    }
    if (!ok || listing.empty()) {
      std::fprintf(stderr, "the host stand-in could not list the directory\n");
      status = 1;
    } else {
      std::printf("  listing of %zu items:          best %.3f s, processor %.3f s   (peak memory %ld KiB)\n", items,
                  Best(listing), Best(listingCpu), PeakKiB());
      std::printf("  ratio listing / bare fetch:    %.2f, processor %.2f   (host stand-in's copy and sort included)\n",
                  Best(listing) / Best(bare), Best(listingCpu) / Best(bareCpu));
    }
    script.Execute("close");
  }

  // 3. The item array alone: each 20480-byte step copies the whole block.
  std::printf("  item array growth (%zu-byte items, %zu-byte steps):\n", sizeof(far::PluginPanelItem),
              panel::kItemBlockStep);
  double previous = 0;
  for (int n : {25000, 50000, 100000, 200000}) {
    int moves = 0;
    std::vector<double> t;
    for (int i = 0; i < rounds; ++i) t.push_back(GrowItems(n, moves));
    std::printf("    %6d items: %.3f s, %d block moves, %.1f MiB final block%s\n", n, Best(t), moves,
                n * sizeof(far::PluginPanelItem) / 1048576.0,
                previous > 0 ? (" (x" + std::to_string(Best(t) / previous).substr(0, 4) + " for twice the items)").c_str()
                             : "");
    previous = Best(t);
  }
  std::printf("  peak memory: %ld KiB\n", PeakKiB());
  std::error_code ec;
  fs::remove_all(work, ec);
  return status;
}
