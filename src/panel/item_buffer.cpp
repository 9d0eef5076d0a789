// item_buffer.cpp — growth and release of the host's item array.
#include "panel/item_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "host/host_services.h"
#include "platform/large_memory.h"

namespace panel {
namespace {

// Each block carries its size in a header in front of what the host sees,
// and, for a large block, the address space reserved for it; 16 bytes keep
// the records aligned as malloc would.
constexpr std::size_t kHeader = 16;
// From this size on a block moves out of the heap into a large block
// (platform/large_memory.h): a listing of some 11,000 items or more.
constexpr std::size_t kLargeBlockBytes = std::size_t{4} << 20;

std::size_t& HeaderOf(void* block) {
  return *reinterpret_cast<std::size_t*>(static_cast<char*>(block) - kHeader);
}

// Address space reserved for a large block; 0 for a heap block.
std::size_t& ReservedOf(void* block) {
  return *reinterpret_cast<std::size_t*>(static_cast<char*>(block) - kHeader + sizeof(std::size_t));
}

platform::LargeBlock LargeOf(void* block) {
  return {static_cast<char*>(block) - kHeader, ReservedOf(block)};
}

// A large block of `bytes` holding the first `keep` bytes of `block`; an
// empty one, and `block` untouched, when the system offers none.
platform::LargeBlock MoveBlock(void* block, std::size_t keep, std::size_t bytes) {
  if (ReservedOf(block) != 0) return platform::GrowLargeBlock(LargeOf(block), keep + kHeader, bytes);
  platform::LargeBlock large = platform::ReserveLargeBlock(bytes);
  if (large.base != nullptr) {
    std::memcpy(large.base, static_cast<char*>(block) - kHeader, keep + kHeader);
    std::free(static_cast<char*>(block) - kHeader);
  }
  return large;
}

// A large block for `target` bytes holding the first `keep` bytes of
// `block`; nullptr when the system offers none.  Reserves twice what is
// needed, so a growing listing moves its pages a few times, not at each
// step; where the address space is limited (ulimit -v) and has no room for
// the spare half, just what is needed, as a heap block would take.
void* MoveToLargeBlock(void* block, std::size_t keep, std::size_t target) {
  platform::LargeBlock large = MoveBlock(block, keep, 2 * (target + kHeader));
  if (large.base == nullptr) large = MoveBlock(block, keep, target + kHeader);
  if (large.base == nullptr) return nullptr;
  void* moved = static_cast<char*>(large.base) + kHeader;
  ReservedOf(moved) = large.reserved;
  return moved;
}

}  // namespace

void* AllocItemBlock(std::size_t size) {
  char* raw = static_cast<char*>(std::calloc(1, size + kHeader));
  if (raw == nullptr) throw std::bad_alloc();
  void* block = raw + kHeader;
  HeaderOf(block) = size;
  ReservedOf(block) = 0;
  return block;
}

void FreeItemBlock(void* block) {
  if (block == nullptr) return;
  if (ReservedOf(block) != 0) {
    platform::ReleaseLargeBlock(LargeOf(block));
  } else {
    std::free(static_cast<char*>(block) - kHeader);
  }
}

std::size_t ItemBlockSize(const void* block) {
  return block == nullptr ? 0 : HeaderOf(const_cast<void*>(block));
}

void* ResizeItemBlock(void* block, std::size_t need) {
  if (need == 0) {
    FreeItemBlock(block);
    return nullptr;
  }
  if (block == nullptr) return AllocItemBlock(need);
  std::size_t target = (need + kItemBlockStep - 1) / kItemBlockStep * kItemBlockStep;
  std::size_t size = ItemBlockSize(block);
  if (size >= target && size - target <= kItemBlockStep) return block;
  void* resized = nullptr;
  if (ReservedOf(block) != 0 && target + kHeader <= ReservedOf(block)) {
    resized = block;  // within its reserve: no move at all
  } else if (target >= kLargeBlockBytes) {
    resized = MoveToLargeBlock(block, size < target ? size : target, target);
  }
  if (resized == nullptr && ReservedOf(block) == 0) {
    // Resizing in place (or by moving pages) keeps the steps without copying
    // the whole block at each one, which made long listings quadratic.  On
    // failure the old block stays valid and owned by the caller.
    char* raw = static_cast<char*>(std::realloc(static_cast<char*>(block) - kHeader, target + kHeader));
    if (raw == nullptr) throw std::bad_alloc();
    resized = raw + kHeader;
  }
  if (resized == nullptr) throw std::bad_alloc();  // a large block out of room; the old one stays valid
  if (target > size) std::memset(static_cast<char*>(resized) + size, 0, target - size);
  HeaderOf(resized) = target;
  return resized;
}

far::PluginPanelItem& AppendItem(FindDataRequest& request) {
  int n = *request.count;
  std::size_t need = (static_cast<std::size_t>(n) + 1) * sizeof(far::PluginPanelItem);
  *request.items = static_cast<far::PluginPanelItem*>(ResizeItemBlock(*request.items, need));
  far::PluginPanelItem& item = (*request.items)[n];
  std::memset(&item, 0, sizeof(item));
  *request.count = n + 1;
  return item;
}

void AddUpDirectoryItem(FindDataRequest& request) {
  far::PluginPanelItem& item = AppendItem(request);
  SetItemFileName(item, "..", 2);
  item.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
}

void SetItemFileName(far::PluginPanelItem& item, const std::string& oemName, std::size_t maxChars) {
  std::size_t n = host::HostTextPrefix(oemName, maxChars, sizeof(item.FindData.cFileName) - 1);
  std::memcpy(item.FindData.cFileName, oemName.data(), n);
  item.FindData.cFileName[n] = '\0';
}

// One block per item: the column pointers, then the texts they point to.
// A listing of 100,000 items makes 100,000 allocations, not one per column
// and one more per item, and the host frees each item's block at once.
void SetItemCustomColumns(far::PluginPanelItem& item, const std::vector<std::string>& oemTexts) {
  if (oemTexts.empty()) return;
  const std::size_t pointers = oemTexts.size() * sizeof(char*);
  std::size_t bytes = pointers;
  for (const std::string& text : oemTexts) bytes += text.size() + 1;
  char* block = static_cast<char*>(std::malloc(bytes));
  if (block == nullptr) throw std::bad_alloc();
  auto** columns = reinterpret_cast<char**>(block);
  char* text = block + pointers;
  for (std::size_t i = 0; i < oemTexts.size(); ++i) {
    columns[i] = text;
    std::memcpy(text, oemTexts[i].c_str(), oemTexts[i].size() + 1);
    text += oemTexts[i].size() + 1;
  }
  item.CustomColumnData = columns;
  item.CustomColumnNumber = static_cast<int>(oemTexts.size());
}

void FreeItems(far::PluginPanelItem* items, int count) {
  for (int i = 0; items != nullptr && i < count; ++i) {
    // The column texts live in the same block as their pointers.
    std::free(items[i].CustomColumnData);
  }
  FreeItemBlock(items);
}

}  // namespace panel
