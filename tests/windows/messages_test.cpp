// messages_test.cpp — message boxes and the last system error on Windows:
// the host shows GetLastError() in a box with FMSG_ERRORTYPE, so a stale
// value must never reach it.
#include <gtest/gtest.h>

#include <vector>

#include "host/host_services.h"
#include "host/messages.h"

// windows.h and the host's own declarations do not mix (its macros name
// host structures); the two calls this test needs are declared here.
extern "C" __declspec(dllimport) unsigned long __stdcall GetLastError();
extern "C" __declspec(dllimport) void __stdcall SetLastError(unsigned long code);

namespace {

constexpr unsigned long kPathNotFound = 3;
constexpr unsigned long kAccessDenied = 5;

struct Seen {
  far::DWORD flags = 0;
  unsigned long lastError = 0;
};
std::vector<Seen> g_seen;

int FARAPI FakeMessage(far::INT_PTR, far::DWORD flags, const char*, const char* const*, int, int) {
  g_seen.push_back({flags, GetLastError()});
  return 0;
}

TEST(WindowsMessages, LastErrorIsTheBoxsOwnOrTheBoxAsksForNone) {
  far::PluginStartupInfo info{};
  info.StructSize = sizeof info;
  info.Message = &FakeMessage;
  host::StoreStartupInfo(&info);
  g_seen.clear();

  SetLastError(kAccessDenied);  // stale, from some earlier call
  host::ShowErrorMessage("Can't create file", static_cast<int>(kPathNotFound));
  SetLastError(kAccessDenied);
  host::ShowErrorMessage("ORA-00942: table or view does not exist");
  SetLastError(kAccessDenied);
  host::ShowQuestionMessage("Drop", "Drop table EMP?", {"Drop", "Cancel"});

  ASSERT_EQ(g_seen.size(), 3u);
  EXPECT_TRUE(g_seen[0].flags & far::FMSG_ERRORTYPE);
  EXPECT_EQ(g_seen[0].lastError, kPathNotFound);
  for (std::size_t i = 1; i < g_seen.size(); ++i) {
    const bool asks = g_seen[i].flags & far::FMSG_ERRORTYPE;
    EXPECT_TRUE(!asks || g_seen[i].lastError == 0) << "box " << i << " shows stale error " << g_seen[i].lastError;
  }
}

}  // namespace
