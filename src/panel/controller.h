// controller.h — TOracleController, the object behind one plugin panel.
//
// The host gets it as the panel handle from OpenPlugin and passes it back on
// every call.  It owns the panel's data module (and so its session), the
// path and its levels, the jump-back stack, and the texts handed to the host
// (info lines, title), which stay valid until the next call replaces them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "connection/data_module.h"
#include "host/far_abi.h"
#include "panel/directory_stack.h"
#include "panel/item_buffer.h"
#include "panel/panel_modes.h"

namespace panel {

class TOracleController {
 public:
  // The data module may be supplied (tests); by default a fresh one.
  explicit TOracleController(std::unique_ptr<connection::TPluginDataModule> dataModule = nullptr);
  ~TOracleController();
  TOracleController(const TOracleController&) = delete;
  TOracleController& operator=(const TOracleController&) = delete;

  // Host calls.
  bool GetFindData(FindDataRequest& request);
  void FreeFindData(far::PluginPanelItem* items, int count);
  bool SetDirectory(const std::string& dir, int opMode);
  void GetOpenPluginInfo(far::OpenPluginInfo& info);

  // Path.
  void SetCurrentDirectory(const std::string& path);
  std::string GetPathLevel(std::size_t n) const;  // 1-based; "" beyond the last
  const std::string& CurrentDirectory() const { return currentDirectory_; }
  const std::vector<std::string>& PathLevels() const { return pathLevels_; }

  connection::TPluginDataModule& DataModule() { return *dataModule_; }
  TDirectoryStack& DirectoryStack() { return directoryStack_; }
  void SetPanelModes(const PanelModeSet* modes) { panelModes_ = modes; }
  const PanelModeSet* PanelModes() const { return panelModes_; }

  int PendingCurrentItem = -1;
  // The item a plain ".." came up from (its name as the host shows it): the
  // next redraw event puts the cursor on it.  The hosts try that themselves
  // by the last element of the current directory, but far2l splits paths at
  // '/' only and so never finds it in a backslash path.
  std::string PendingCurrentName;
  // Turns PendingCurrentName into PendingCurrentItem by the host's own item
  // order; nothing when the item is not in the panel.
  void ResolvePendingCurrentName();

  const std::string& OracleHome() const { return oracleHome_; }
  const std::string& OracleHomeName() const { return oracleHomeName_; }
  const std::string& SqlPlusPath() const { return sqlPlusPath_; }
  const std::string& SqlPlusWinPath() const { return sqlPlusWinPath_; }
  const std::string& PluginDirectory() const { return pluginDirectory_; }

 private:
  void ReadOracleHome();
  void BuildInfoLines();

  std::unique_ptr<connection::TPluginDataModule> dataModule_;
  std::string currentDirectory_;
  std::vector<std::string> pathLevels_;
  TDirectoryStack directoryStack_;
  std::vector<far::InfoPanelLine> infoLines_;
  std::string panelTitle_;
  std::string curDirOem_;
  const PanelModeSet* panelModes_ = nullptr;
  std::string oracleHome_;
  std::string oracleHomeName_;
  std::string sqlPlusPath_;
  std::string sqlPlusWinPath_;
  std::string pluginDirectory_;
};

}  // namespace panel
