// test_registry.h — points the plugin's registry at a private temporary
// store for the duration of a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "platform/platform.h"

class PrivateRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("quarry-reg-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter_++));
    std::filesystem::create_directories(dir_);
    platform::SetEnv("QUARRY_REGISTRY_DIR", dir_.string());
    platform::UnsetEnv("ORACLE_HOME");
  }
  void TearDown() override {
    platform::UnsetEnv("QUARRY_REGISTRY_DIR");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_;
  static inline int counter_ = 0;
};
