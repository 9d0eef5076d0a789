// panel_model.h — the panels as the host keeps them.
//
// The host copies every item the plugin lists (the plugin frees its array
// right after), sorts the copies as the host does (".." first, then
// directories, then files, each by name without regard to letter case),
// and keeps the cursor and the selection.  The passive panel is a plain
// file panel showing a real directory.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "host/far_abi.h"

namespace hostsim {

struct HostItem {
  std::string name;
  far::DWORD attributes = 0;
  std::uint64_t size = 0;
  far::FILETIME created{}, accessed{}, written{};
  far::DWORD flags = 0;  // PPIF_* as the plugin gave them (selection kept apart)
  far::DWORD links = 0;
  bool hasDescription = false, hasOwner = false;
  std::string description, owner;
  std::vector<std::string> columns;  // C0, C1, ...
  std::vector<bool> columnPresent;
  far::DWORD_PTR userData = 0;
  std::vector<char> userBlock;  // PPIF_USERDATA: the host's own copy
  far::DWORD crc32 = 0;
  bool selected = false;

  bool IsDirectory() const { return (attributes & far::FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool IsDots() const { return name == ".."; }
  // The "item" record of the transcript.
  std::string Record(int index, bool current) const;
};

HostItem CopyPluginItem(const far::PluginPanelItem& item);

// Sort modes the host applies (SM_*); others sort by name.
enum SortMode { kSortUnsorted = 1, kSortName = 2, kSortExt = 3, kSortMTime = 4, kSortSize = 7, kSortDescr = 8 };
void SortItems(std::vector<HostItem>& items, int mode, bool reverse);

// Host-owned PluginPanelItem copies handed to the plugin in PanelInfo; the
// strings they point to live here as well.
class ItemExport {
 public:
  void Build(const std::vector<HostItem>& items, int current);
  far::PluginPanelItem* Items() { return all_.empty() ? nullptr : all_.data(); }
  int Count() const { return static_cast<int>(all_.size()); }
  far::PluginPanelItem* Selected() { return selected_.empty() ? nullptr : selected_.data(); }
  int SelectedCount() const { return static_cast<int>(selected_.size()); }

 private:
  far::PluginPanelItem Convert(const HostItem& item);
  char* Keep(const std::string& text);
  std::vector<far::PluginPanelItem> all_, selected_;
  std::deque<std::string> strings_;
  std::deque<std::vector<char*>> columnArrays_;
  std::deque<std::vector<char>> userBlocks_;
};

// Cursor and selection over a sorted item list.
class PanelList {
 public:
  void Replace(std::vector<HostItem> items, bool keepSelection);
  const std::vector<HostItem>& items() const { return items_; }
  std::vector<HostItem>& items() { return items_; }
  int current() const { return current_; }
  const HostItem* CurrentItem() const;
  void SetCurrent(int index);            // clamped
  bool SetCurrentByName(const std::string& name);
  int Find(const std::string& name) const;
  int SelectedCount() const;
  void ClearSelection();

 private:
  std::vector<HostItem> items_;
  int current_ = 0;
};

// The passive panel: a file panel on a real directory.
class FilePanel {
 public:
  // False when `dir` is not a readable directory.
  bool SetDirectory(const std::string& dir, std::string& error);
  const std::string& directory() const { return dir_; }
  PanelList& list() { return list_; }

 private:
  std::string dir_;
  PanelList list_;
};

}  // namespace hostsim
