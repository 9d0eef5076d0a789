// The item array must survive growth across the 20480-byte steps and be
// released completely, custom columns included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <new>
#endif

#include "panel/item_buffer.h"

namespace {

struct Listing {
  far::PluginPanelItem* items = nullptr;
  int count = 0;
  panel::FindDataRequest request{&items, &count, 0};
  ~Listing() { panel::FreeItems(items, count); }
};

TEST(ItemBlock, FollowsTheStepRule) {
  void* block = panel::ResizeItemBlock(nullptr, 366);
  EXPECT_EQ(panel::ItemBlockSize(block), 366u);  // the first block is exact
  block = panel::ResizeItemBlock(block, 732);
  EXPECT_EQ(panel::ItemBlockSize(block), 20480u);
  void* same = panel::ResizeItemBlock(block, 20130);
  EXPECT_EQ(same, block);  // still inside the first step
  block = panel::ResizeItemBlock(same, 20496);
  EXPECT_EQ(panel::ItemBlockSize(block), 40960u);
  // A block more than one step too large is replaced by a smaller one.
  block = panel::ResizeItemBlock(block, 81921);
  EXPECT_EQ(panel::ItemBlockSize(block), 102400u);
  block = panel::ResizeItemBlock(block, 100);
  EXPECT_EQ(panel::ItemBlockSize(block), 20480u);
  EXPECT_EQ(panel::ResizeItemBlock(block, 0), nullptr);
}

TEST(ItemBlock, GrowthKeepsEarlierItemsAndClearsNewOnes) {
  Listing l;
  for (int i = 0; i < 200; ++i) {
    far::PluginPanelItem& item = panel::AppendItem(l.request);
    EXPECT_EQ(item.CustomColumnData, nullptr);
    EXPECT_EQ(item.FindData.dwFileAttributes, 0u);
    panel::SetItemFileName(item, "ITEM" + std::to_string(i), 258);
    panel::SetItemCustomColumns(item, {std::to_string(i), "x"});
  }
  ASSERT_EQ(l.count, 200);
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(std::string(l.items[i].FindData.cFileName), "ITEM" + std::to_string(i));
    ASSERT_EQ(l.items[i].CustomColumnNumber, 2);
    EXPECT_EQ(std::string(l.items[i].CustomColumnData[0]), std::to_string(i));
  }
}

// A long listing leaves the heap for a large block and outgrows that
// block's reserve twice (its pages move): every item keeps its name and
// columns, every new one starts cleared, and shrinking and freeing work on
// the moved block.
TEST(ItemBlock, LongListingsKeepEveryItemAcrossMovesOfTheirBlock) {
  Listing l;
  const int n = 60000;  // about 22 MiB of records
  for (int i = 0; i < n; ++i) {
    far::PluginPanelItem& item = panel::AppendItem(l.request);
    ASSERT_EQ(item.CustomColumnData, nullptr) << i;
    ASSERT_EQ(item.FindData.cFileName[0], '\0') << i;
    panel::SetItemFileName(item, "ITEM" + std::to_string(i), 258);
    panel::SetItemCustomColumns(item, {std::to_string(i)});
  }
  ASSERT_GE(panel::ItemBlockSize(l.items), n * sizeof(far::PluginPanelItem));
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(std::string(l.items[i].FindData.cFileName), "ITEM" + std::to_string(i));
    ASSERT_EQ(std::string(l.items[i].CustomColumnData[0]), std::to_string(i));
  }
  void* block = panel::AllocItemBlock(100);
  block = panel::ResizeItemBlock(block, std::size_t{30} << 20);
  static_cast<char*>(block)[(std::size_t{30} << 20) - 1] = 'z';
  block = panel::ResizeItemBlock(block, 1000);
  EXPECT_EQ(panel::ItemBlockSize(block), 20480u);
  block = panel::ResizeItemBlock(block, std::size_t{30} << 20);
  EXPECT_EQ(static_cast<char*>(block)[(std::size_t{30} << 20) - 1], 0) << "grown again: cleared";
  panel::FreeItemBlock(block);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// The address space in use, in bytes (VmSize).
std::size_t AddressSpace() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmSize:", 0) == 0) return std::stoul(line.substr(7)) * 1024;
  return 0;
}

// Grows a large block past its reserve under an address-space limit that
// leaves room for the grown array but not for a spare reserve of twice its
// size; the exit code says what happened (0: grown, items kept).
[[noreturn]] void GrowUnderALimit() {
  const std::size_t mib = std::size_t{1} << 20;
  void* block = panel::AllocItemBlock(100);
  block = panel::ResizeItemBlock(block, 16 * mib);  // a large block, reserved for 32 MiB
  static_cast<char*>(block)[16 * mib - 1] = 'a';
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = AddressSpace() + 44 * mib;
  if (limit.rlim_cur == 44 * mib || setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(2);
  try {
    // 36 MiB: twice that has no room; 36 MiB and its alignment have.
    block = panel::ResizeItemBlock(block, 36 * mib);
  } catch (const std::bad_alloc&) {
    std::_Exit(3);
  }
  const bool kept = static_cast<char*>(block)[16 * mib - 1] == 'a' && static_cast<char*>(block)[36 * mib - 1] == 0 &&
                    panel::ItemBlockSize(block) >= 36 * mib;
  static_cast<char*>(block)[36 * mib - 1] = 'b';
  panel::FreeItemBlock(block);
  std::_Exit(kept ? 0 : 4);
}

// Under ulimit -v a listing grows as far as it did on the heap.
TEST(ItemBlock, GrowsUnderAnAddressSpaceLimitWithoutRoomToSpare) {
  EXPECT_EXIT(GrowUnderALimit(), ::testing::ExitedWithCode(0), "");
}
#endif

// The column texts share one block with their pointers: empty, long and
// embedded texts each keep their own bytes and end (the sanitizer build
// catches a block one byte short).
TEST(ItemBlock, ColumnTextsKeepTheirOwnBytesInTheItemsBlock) {
  Listing l;
  const std::vector<std::string> texts{"", std::string(5000, 'w'), "a", "", "last text"};
  panel::SetItemCustomColumns(panel::AppendItem(l.request), texts);
  panel::SetItemCustomColumns(panel::AppendItem(l.request), {});
  ASSERT_EQ(l.items[0].CustomColumnNumber, 5);
  for (std::size_t c = 0; c < texts.size(); ++c) EXPECT_EQ(std::string(l.items[0].CustomColumnData[c]), texts[c]);
  EXPECT_EQ(l.items[1].CustomColumnData, nullptr);
  EXPECT_EQ(l.items[1].CustomColumnNumber, 0);
}

TEST(ItemBlock, UpDirectoryItemIsABareDirectory) {
  Listing l;
  panel::AddUpDirectoryItem(l.request);
  ASSERT_EQ(l.count, 1);
  EXPECT_STREQ(l.items[0].FindData.cFileName, "..");
  EXPECT_EQ(l.items[0].FindData.dwFileAttributes, far::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(l.items[0].CustomColumnNumber, 0);
}

TEST(ItemBlock, LongNamesAreCutWithinTheField) {
  Listing l;
  far::PluginPanelItem& item = panel::AppendItem(l.request);
  panel::SetItemFileName(item, std::string(400, 'A'), 258);
  std::size_t len = std::string(item.FindData.cFileName).size();
  EXPECT_LE(len, 258u);
  EXPECT_LT(len, sizeof(item.FindData.cFileName));
  if (far::kHostTextIsUtf8) {
    // Two-byte characters are never split at the field's end.
    far::PluginPanelItem& wide = panel::AppendItem(l.request);
    std::string cyr;
    for (int i = 0; i < 200; ++i) cyr += "\xD0\x96";
    panel::SetItemFileName(wide, cyr, 258);
    std::size_t n = std::string(wide.FindData.cFileName).size();
    EXPECT_EQ(n % 2, 0u);
    EXPECT_GT(n, 200u);
  }
}

TEST(ItemBlock, FreeingNullAndEmptyArraysIsSafe) {
  panel::FreeItems(nullptr, 0);
  panel::FreeItems(nullptr, 5);
  Listing l;
  panel::AppendItem(l.request);  // an item without custom columns
}

}  // namespace
