// test_support.h — scaffolding for the platform tests: a private temporary
// directory, a scoped environment variable, and the OS the tests run on
// (asked of the platform layer, so the tests themselves need no #ifdef).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/internal.h"
#include "platform/platform.h"

namespace testing_support {

inline bool OnWindows() { return platform::PathSeparator() == '\\'; }

// A fresh directory below the system temporary directory, removed with
// everything in it at the end of the scope.
class TempDir {
 public:
  TempDir() {
    path_ = platform::TempDirectory() + "quarry-test-" + platform::internal::RandomTag();
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return platform::JoinPath(path_, name); }

 private:
  std::string path_;
};

// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value)
      : name_(std::move(name)), old_(platform::GetEnv(name_)) {
    Apply(value);
  }
  ~ScopedEnv() { Apply(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value) {
      platform::SetEnv(name_, *value);
    } else {
      platform::UnsetEnv(name_);
    }
  }
  std::string name_;
  std::optional<std::string> old_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(platform::WriteFileAtomic(path, text)) << path;
}

}  // namespace testing_support
