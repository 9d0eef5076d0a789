// test_registry.h — points the plugin's registry at a private temporary
// store for the duration of a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "platform/platform.h"

#ifdef _WIN32
#include <windows.h>
// <windows.h> still defines the 16-bit pointer words, which would eat the
// host structures' namespace `far`.
#undef far
#undef near
#endif

class PrivateRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string unique = std::to_string(std::random_device{}()) + "-" + std::to_string(counter_++);
    dir_ = std::filesystem::temp_directory_path() / ("quarry-reg-" + unique);
    std::filesystem::create_directories(dir_);
    platform::SetEnv("QUARRY_REGISTRY_DIR", dir_.string());
    platform::UnsetEnv("ORACLE_HOME");
#ifdef _WIN32
    // Windows has one registry: HKEY_CURRENT_USER is redirected, for this
    // process, to an empty key of its own, so tests neither see each other's
    // values nor touch the user's.
    key_ = "Software\\QuarryTests\\" + unique;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
#endif
  }
  void TearDown() override {
#ifdef _WIN32
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (root_ != nullptr) RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    root_ = nullptr;
#endif
    platform::UnsetEnv("QUARRY_REGISTRY_DIR");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_;
  static inline int counter_ = 0;
#ifdef _WIN32
  std::string key_;
  HKEY root_ = nullptr;
#endif
};
