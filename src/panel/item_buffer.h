// item_buffer.h — the panel item array handed to the host.
//
// A listing appends items one by one into a single zero-filled block of the
// host's panel item records; the host owns the block until it gives it back
// through FreeFindData.  The block grows in steps of 20480 bytes; from 4 MiB
// on it lives in a large block (platform/large_memory.h) reserved ahead, so
// a long listing neither copies it nor faults in each of its 4 KiB pages.
// Each item's custom column texts share one allocation with their pointers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/far_abi.h"

namespace panel {

// The host's item-array slot, the running count and the host's operation
// mode of the current GetFindData call (OPM_FIND = the host is searching).
struct FindDataRequest {
  far::PluginPanelItem** items = nullptr;
  int* count = nullptr;
  int opMode = 0;
  // Set once a lost session has been reported while this listing is built:
  // its later steps would only repeat the same error.
  mutable bool connectionLossReported = false;
  // Set once a missing (or unreadable) dictionary view has been reported:
  // a detail built from many counts shows it once, not once per count.
  mutable bool missingViewReported = false;
  // Set once a path level too long to be any name has been reported.
  mutable bool overlongNameReported = false;

  bool Searching() const { return opMode == far::OPM_FIND; }
};

constexpr std::size_t kItemBlockStep = 20480;

// Raw blocks; sizes are remembered with the block.  Allocation failure
// throws std::bad_alloc.
void* AllocItemBlock(std::size_t size);
void FreeItemBlock(void* block);
std::size_t ItemBlockSize(const void* block);
// Grows (or frees, for need == 0) a block following the 20480-byte steps;
// returns the block to use from now on.
void* ResizeItemBlock(void* block, std::size_t need);

// Appends one cleared item and returns it.
far::PluginPanelItem& AppendItem(FindDataRequest& request);
// The ".." item: a directory and nothing else.
void AddUpDirectoryItem(FindDataRequest& request);

// Sets the item's file name from OEM text, cut to `maxChars` characters and
// to what the host's name field holds (never splitting a UTF-8 sequence).
void SetItemFileName(far::PluginPanelItem& item, const std::string& oemName, std::size_t maxChars);
// Gives the item its OEM column texts: one allocated block holding the
// column pointers and the texts.
void SetItemCustomColumns(far::PluginPanelItem& item, const std::vector<std::string>& oemTexts);

// Releases an array built here: each item's column block, then the array
// itself.
void FreeItems(far::PluginPanelItem* items, int count);

}  // namespace panel
