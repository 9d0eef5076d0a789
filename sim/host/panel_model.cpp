// panel_model.cpp — item copies, host sort order, cursor and selection,
// and the passive file panel.
#include "panel_model.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "transcript.h"

namespace hostsim {
namespace {

std::string Extension(const std::string& name) {
  auto dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

std::uint64_t Ticks(const far::FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

std::string HostItem::Record(int index, bool current) const {
  std::string r = "item " + std::to_string(index) + " " + Quote(name) + (IsDirectory() ? " dir" : " file");
  if (current) r += " current";
  if (selected) r += " selected";
  r += " size=" + std::to_string(size);
  r += " attr=" + Hex(attributes);
  r += " written=" + IsoTime(written);
  r += " created=" + IsoTime(created);
  r += " accessed=" + IsoTime(accessed);
  r += " links=" + std::to_string(links);
  r += " descr=" + (hasDescription ? Quote(description) : std::string("-"));
  r += " owner=" + (hasOwner ? Quote(owner) : std::string("-"));
  for (std::size_t i = 0; i < columns.size(); ++i)
    r += " c" + std::to_string(i) + "=" + (columnPresent[i] ? Quote(columns[i]) : std::string("-"));
  return r;
}

HostItem CopyPluginItem(const far::PluginPanelItem& in) {
  HostItem out;
  const auto& fd = in.FindData;
  out.name.assign(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
  out.attributes = fd.dwFileAttributes;
  out.size = far::ItemFileSize(in);
  out.created = fd.ftCreationTime;
  out.accessed = fd.ftLastAccessTime;
  out.written = fd.ftLastWriteTime;
  out.flags = in.Flags & ~far::PPIF_SELECTED;
  out.selected = (in.Flags & far::PPIF_SELECTED) != 0;
  out.links = in.NumberOfLinks;
  if (in.Description) out.hasDescription = true, out.description = in.Description;
  if (in.Owner) out.hasOwner = true, out.owner = in.Owner;
  if (in.CustomColumnData && in.CustomColumnNumber > 0) {
    for (int i = 0; i < in.CustomColumnNumber; ++i) {
      const char* c = in.CustomColumnData[i];
      out.columns.push_back(c ? c : "");
      out.columnPresent.push_back(c != nullptr);
    }
  }
  out.userData = in.UserData;
  constexpr far::DWORD kUserDataFlag = 0x20000000;  // PPIF_USERDATA
  if ((in.Flags & kUserDataFlag) && in.UserData) {
    // The block starts with its own total size; the host keeps a copy.
    const char* block = reinterpret_cast<const char*>(in.UserData);
    far::DWORD size = 0;
    std::memcpy(&size, block, sizeof size);
    if (size >= sizeof size) out.userBlock.assign(block, block + size);
  }
  out.crc32 = in.CRC32;
  return out;
}

namespace {

// Name order of the host: letter case ignored (ASCII folding, bytes above
// 0x7F compare as they are), case-sensitive order only as a tie-break.
std::string Lowered(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// What an item sorts by, worked out once per item rather than per comparison
// (listings of a hundred thousand items are sorted on every read).
struct SortKey {
  bool dots = false;
  bool directory = false;
  std::string primary;  // lower-cased extension or description
  long long number = 0;  // time or size, larger first
  std::string lowered;   // lower-cased name
  const std::string* name = nullptr;
  std::size_t index = 0;
};

}  // namespace

void SortItems(std::vector<HostItem>& items, int mode, bool reverse) {
  std::vector<SortKey> keys(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const HostItem& it = items[i];
    SortKey& k = keys[i];
    k.dots = it.IsDots();
    k.directory = it.IsDirectory();
    k.index = i;
    k.name = &it.name;
    if (mode == kSortUnsorted) continue;
    k.lowered = Lowered(it.name);
    if (mode == kSortExt) k.primary = Lowered(Extension(it.name));
    if (mode == kSortDescr) k.primary = Lowered(it.description);
    if (mode == kSortMTime) k.number = static_cast<long long>(Ticks(it.written));
    if (mode == kSortSize) k.number = static_cast<long long>(it.size);
  }
  auto order = [mode, reverse](const SortKey& a, const SortKey& b) {
    if (a.dots != b.dots) return a.dots;
    if (a.directory != b.directory) return a.directory;
    if (mode == kSortUnsorted) return false;
    int c = 0;
    if (mode == kSortExt || mode == kSortDescr) c = a.primary.compare(b.primary);
    if (mode == kSortMTime || mode == kSortSize) c = a.number < b.number ? 1 : a.number > b.number ? -1 : 0;
    if (c == 0) c = a.lowered.compare(b.lowered);
    if (c == 0) c = a.name->compare(*b.name);
    return reverse ? c > 0 : c < 0;
  };
  std::stable_sort(keys.begin(), keys.end(), order);
  std::vector<HostItem> sorted;
  sorted.reserve(items.size());
  for (const SortKey& k : keys) sorted.push_back(std::move(items[k.index]));
  items = std::move(sorted);
}

char* ItemExport::Keep(const std::string& text) {
  strings_.push_back(text);
  return strings_.back().data();
}

far::PluginPanelItem ItemExport::Convert(const HostItem& item) {
  far::PluginPanelItem out;
  std::memset(&out, 0, sizeof out);
  auto& fd = out.FindData;
  std::strncpy(fd.cFileName, item.name.c_str(), sizeof fd.cFileName - 1);
  fd.dwFileAttributes = item.attributes;
  fd.ftCreationTime = item.created;
  fd.ftLastAccessTime = item.accessed;
  fd.ftLastWriteTime = item.written;
  far::SetItemFileSize(out, item.size);
  out.Flags = item.flags | (item.selected ? far::PPIF_SELECTED : 0);
  out.NumberOfLinks = item.links;
  out.Description = item.hasDescription ? Keep(item.description) : nullptr;
  out.Owner = item.hasOwner ? Keep(item.owner) : nullptr;
  if (!item.columns.empty()) {
    std::vector<char*> cols;
    for (std::size_t i = 0; i < item.columns.size(); ++i)
      cols.push_back(item.columnPresent[i] ? Keep(item.columns[i]) : nullptr);
    columnArrays_.push_back(std::move(cols));
    out.CustomColumnData = columnArrays_.back().data();
    out.CustomColumnNumber = static_cast<int>(item.columns.size());
  }
  if (!item.userBlock.empty()) {
    userBlocks_.push_back(item.userBlock);
    out.UserData = reinterpret_cast<far::DWORD_PTR>(userBlocks_.back().data());
  } else {
    out.UserData = item.userData;
  }
  out.CRC32 = item.crc32;
  return out;
}

void ItemExport::Build(const std::vector<HostItem>& items, int current) {
  all_.clear();
  selected_.clear();
  strings_.clear();
  columnArrays_.clear();
  userBlocks_.clear();
  for (const auto& item : items) all_.push_back(Convert(item));
  for (const auto& item : items)
    if (item.selected) selected_.push_back(Convert(item));
  // With nothing selected the host reports the item under the cursor,
  // unless that is "..", which is never part of a selection.
  if (selected_.empty() && current >= 0 && current < static_cast<int>(items.size()) && !items[current].IsDots())
    selected_.push_back(Convert(items[current]));
}

void PanelList::Replace(std::vector<HostItem> items, bool keepSelection) {
  std::vector<std::string> selectedNames;
  if (keepSelection)
    for (const auto& item : items_)
      if (item.selected) selectedNames.push_back(item.name);
  items_ = std::move(items);
  for (auto& item : items_) {
    if (keepSelection)
      item.selected = std::find(selectedNames.begin(), selectedNames.end(), item.name) != selectedNames.end();
    if (item.IsDots()) item.selected = false;
  }
  SetCurrent(current_);
}

const HostItem* PanelList::CurrentItem() const {
  return items_.empty() ? nullptr : &items_[static_cast<std::size_t>(current_)];
}

void PanelList::SetCurrent(int index) {
  int last = static_cast<int>(items_.size()) - 1;
  current_ = std::max(0, std::min(index, last));
}

int PanelList::Find(const std::string& name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].name == name) return static_cast<int>(i);
  return -1;
}

bool PanelList::SetCurrentByName(const std::string& name) {
  int i = Find(name);
  if (i < 0) return false;
  current_ = i;
  return true;
}

int PanelList::SelectedCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const HostItem& i) { return i.selected; }));
}

void PanelList::ClearSelection() {
  for (auto& item : items_) item.selected = false;
}

bool FilePanel::SetDirectory(const std::string& dir, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path path = fs::absolute(dir, ec);
  if (ec || !fs::is_directory(path, ec)) {
    error = "not a directory: " + dir;
    return false;
  }
  std::vector<HostItem> items;
  fs::directory_iterator it(path, ec);
  if (ec) {
    error = "cannot read " + dir + ": " + ec.message();
    return false;
  }
  for (const auto& entry : it) {
    HostItem item;
    item.name = entry.path().filename().string();
    struct stat st {};
    if (stat(entry.path().string().c_str(), &st) == 0) {
      item.attributes = S_ISDIR(st.st_mode) ? far::FILE_ATTRIBUTE_DIRECTORY : 0x80;  // NORMAL
      item.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
      item.written = FileTimeFromUnix(st.st_mtime);
      item.accessed = FileTimeFromUnix(st.st_atime);
      item.created = FileTimeFromUnix(st.st_ctime);
      item.links = static_cast<far::DWORD>(st.st_nlink);
    }
    items.push_back(std::move(item));
  }
  if (path.has_parent_path() && path != path.root_path()) {
    HostItem dots;
    dots.name = "..";
    dots.attributes = far::FILE_ATTRIBUTE_DIRECTORY;
    items.push_back(dots);
  }
  SortItems(items, kSortName, false);
  dir_ = path.lexically_normal().string();
  if (dir_.size() > 1 && dir_.back() == '/') dir_.pop_back();
  list_.Replace(std::move(items), false);
  list_.SetCurrent(0);
  return true;
}

}  // namespace hostsim
