// file_time.h — a calendar date as the host's file time.
#pragma once

#include "host/far_abi.h"

namespace host {

// Year to second taken as they are (no time-zone shift), as 100-ns ticks
// since 1601-01-01.  Out-of-range fields give a zero time.
far::FILETIME DateToFileTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace host
