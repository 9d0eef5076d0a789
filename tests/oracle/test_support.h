// test_support.h — fixtures shared by the Oracle client layer tests.
//
// A private temporary directory, a private registry (QUARRY_REGISTRY_DIR)
// and a clean set of the environment variables the loader reads, restored
// after each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>

#include "platform/platform.h"

namespace oracle_test {

class ScopedEnvironment {
 public:
  ~ScopedEnvironment() {
    for (auto& [name, value] : saved_) {
      if (value) {
        platform::SetEnv(name, *value);
      } else {
        platform::UnsetEnv(name);
      }
    }
  }
  void Set(const std::string& name, const std::string& value) {
    Save(name);
    platform::SetEnv(name, value);
  }
  void Unset(const std::string& name) {
    Save(name);
    platform::UnsetEnv(name);
  }

 private:
  void Save(const std::string& name) {
    if (!saved_.count(name)) saved_[name] = platform::GetEnv(name);
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

class TempDirFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() /
            ("quarry-oracle-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(root_);
    env_.Set("QUARRY_REGISTRY_DIR", (root_ / "registry").string());
    for (const char* name : {"ORACLE_HOME", "TNS_ADMIN", "OCIDLL", "ORACLEHOME"}) env_.Unset(name);
    env_.Set("PATH", "/usr/bin:/bin");
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
  // Creates a file (and its directories) with `content`.
  std::string MakeFile(const std::string& relative, const std::string& content = "x") const {
    const auto path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  static void SetMachineValue(const std::string& key, const std::string& name, const std::string& value) {
    auto handle = platform::RegistryKey::Open(platform::Hive::LocalMachine, key, true);
    ASSERT_TRUE(handle) << key;
    ASSERT_TRUE(handle->SetString(name, value));
  }

  std::filesystem::path root_;
  ScopedEnvironment env_;
};

}  // namespace oracle_test
