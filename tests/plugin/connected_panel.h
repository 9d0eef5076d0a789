// connected_panel.h — a real panel controller logged on to a fresh copy of
// the demo database behind the client stand-in, with the fake host's
// service table installed.  Shared by the tests that list against the stand-in.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "config/settings.h"
#include "fake_host.h"
#include "panel/controller.h"
#include "platform/platform.h"

namespace paneltest {

namespace fs = std::filesystem;

// The items of one listing, copied out before the array is released.
struct Item {
  std::string name;
  bool directory = false;
  std::vector<std::string> columns;
  far::FILETIME created{}, written{};
  std::uint32_t size = 0;
};

inline std::vector<Item> CopyItems(const far::PluginPanelItem* items, int count) {
  std::vector<Item> out;
  for (int i = 0; i < count; ++i) {
    Item it;
    it.name = items[i].FindData.cFileName;
    it.directory = items[i].FindData.dwFileAttributes == far::FILE_ATTRIBUTE_DIRECTORY;
    for (int c = 0; c < items[i].CustomColumnNumber; ++c) it.columns.emplace_back(items[i].CustomColumnData[c]);
    it.created = items[i].FindData.ftCreationTime;
    it.written = items[i].FindData.ftLastWriteTime;
    it.size = static_cast<std::uint32_t>(far::ItemFileSize(items[i]));
    out.push_back(it);
  }
  return out;
}

inline std::vector<std::string> Names(const std::vector<Item>& items) {
  std::vector<std::string> names;
  for (const Item& i : items) names.push_back(i.name);
  return names;
}

class ConnectedPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quarry-builders-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "db");
    fs::create_directories(dir_ / "reg");
    platform::SetEnv("OCISIM_DATA_DIR", (dir_ / "db").string());
    platform::SetEnv("QUARRY_REGISTRY_DIR", (dir_ / "reg").string());
    fakehost::Install();
    config::RefreshSwitches();
  }
  void TearDown() override {
    panels_.clear();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // A new panel logged on as the user; the last one made is `panel()`.
  panel::TOracleController& LogOn(const std::string& user, const std::string& password) {
    panels_.push_back(std::make_unique<panel::TOracleController>());
    auto& s = panels_.back()->DataModule().OracleSession();
    s.LogonUsername = user;
    s.LogonPassword = password;
    s.LogonDatabase = "";
    s.SetConnected(true);
    return *panels_.back();
  }
  panel::TOracleController& panel() { return *panels_.back(); }
  connection::TPluginDataModule& module() { return panel().DataModule(); }

  void SetIgnoreOraErrors(bool on) {
    auto key = config::OpenSettingsKey();
    ASSERT_TRUE(key);
    key->SetDword("IgnoreORAErrors", on ? 1 : 0);
    config::RefreshSwitches();
  }

  // Lists the panel's current directory the way the host asks for it.
  std::vector<Item> List(int opMode = 0) {
    far::PluginPanelItem* items = nullptr;
    int count = 0;
    panel::FindDataRequest r{&items, &count, opMode};
    EXPECT_TRUE(panel().GetFindData(r));
    std::vector<Item> out = CopyItems(items, count);
    panel().FreeFindData(items, count);
    return out;
  }
  std::vector<Item> ListPath(const std::string& path, int opMode = 0) {
    panel().SetCurrentDirectory(path);
    return List(opMode);
  }

  // Error boxes shown so far (the fake host records every message).
  std::vector<std::string> Errors() const {
    std::vector<std::string> out;
    for (const auto& m : fakehost::Current().messages)
      if (!m.items.empty() && m.items[0] == "Error") {
        // The box wraps the text; its lines end at the blank line.
        std::string text;
        for (std::size_t i = 1; i < m.items.size() && !m.items[i].empty(); ++i) text += m.items[i];
        out.push_back(text);
      }
    return out;
  }

  fs::path dir_;
  std::vector<std::unique_ptr<panel::TOracleController>> panels_;
};

}  // namespace paneltest
