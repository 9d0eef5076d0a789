// test_support.h — a Host on the fixture plugin, with access to the
// fixture's own record of what the host did to it.
#pragma once

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host.h"

namespace hostsim::test {

class HostTest : public ::testing::Test {
 protected:
  void Start(HostOptions options = {}) {
    if (void* lib = dlopen(HOSTSIM_FIXTURE, RTLD_NOW | RTLD_NOLOAD)) {
      if (auto reset = reinterpret_cast<void (*)()>(dlsym(lib, "FixtureReset"))) reset();
      dlclose(lib);
    }
    host_ = std::make_unique<Host>(&out_, options);
    ASSERT_TRUE(host_->Load(HOSTSIM_FIXTURE)) << out_.str();
  }
  void StartOpen(HostOptions options = {}) {
    Start(options);
    ASSERT_TRUE(host_->Open()) << out_.str();
    ASSERT_TRUE(host_->panelOpen());
  }
  void TearDown() override { host_.reset(); }

  Host& host() { return *host_; }

  // The fixture's event log: one line per thing the host did to it.
  std::vector<std::string> Events() {
    void* lib = dlopen(HOSTSIM_FIXTURE, RTLD_NOW | RTLD_NOLOAD);
    if (!lib) return {};
    auto events = reinterpret_cast<const char* (*)()>(dlsym(lib, "FixtureEvents"));
    std::vector<std::string> lines;
    std::istringstream in(events ? events() : "");
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    dlclose(lib);
    return lines;
  }
  int CountEvents(const std::string& prefix) {
    auto ev = Events();
    return static_cast<int>(std::count_if(ev.begin(), ev.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
  }

  // Transcript lines written since `from` (an index into Lines()).
  std::size_t Mark() { return host_->transcript().Lines().size(); }
  std::vector<std::string> Since(std::size_t from) {
    const auto& all = host_->transcript().Lines();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
  }
  bool HasLine(const std::string& line, std::size_t from = 0) {
    auto lines = Since(from);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::vector<std::string> WithPrefix(const std::string& prefix, std::size_t from = 0) {
    std::vector<std::string> out;
    for (const auto& l : Since(from))
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
  std::vector<std::string> ItemNames() {
    std::vector<std::string> names;
    for (const auto& item : host_->panel().items()) names.push_back(item.name);
    return names;
  }
  std::string CurrentName() {
    const HostItem* item = host_->panel().CurrentItem();
    return item ? item->name : "";
  }

  std::ostringstream out_;
  std::unique_ptr<Host> host_;
};

}  // namespace hostsim::test
