// module_test.cpp — dynamic libraries, the module's own name and version,
// OEM/ANSI text and the critical section.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "test_support.h"

using testing_support::OnWindows;
using testing_support::TempDir;

namespace {

TEST(Libraries, LoadFindAndFail) {
  std::string error;
  auto lib = platform::OpenLibrary(OnWindows() ? "kernel32.dll" : "libc.so.6", &error);
  ASSERT_NE(lib, nullptr) << error;
  EXPECT_NE(platform::FindSymbol(lib, OnWindows() ? "GetTickCount" : "strlen"), nullptr);
  EXPECT_EQ(platform::FindSymbol(lib, "QuarryNoSuchSymbol"), nullptr);
  platform::CloseLibrary(lib);
  EXPECT_EQ(platform::FindSymbol(nullptr, "strlen"), nullptr);
  platform::CloseLibrary(nullptr);  // harmless

  error.clear();
  EXPECT_EQ(platform::OpenLibrary("quarry-no-such-library.so", &error), nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(platform::OpenLibrary("quarry-no-such-library.so"), nullptr);  // no error slot
}

TEST(Libraries, AFileThatIsNoLibraryIsRefused) {
  TempDir dir;
  std::string fake = dir / (OnWindows() ? "oci.dll" : "libclntsh.so");
  testing_support::WriteText(fake, "this is not a library\n");
  std::string error;
  EXPECT_EQ(platform::OpenLibrary(fake, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(Module, ALibraryKnowsItsOwnFile) {
  std::string path = platform::DirectoryOf(platform::ModuleFileName()) +
                     (OnWindows() ? "platform_test_module.dll" : "platform_test_module.so");
  std::string error;
  auto lib = platform::OpenLibrary(path, &error);
  ASSERT_NE(lib, nullptr) << error;
  using Probe = int (*)(char*, int);
  auto probe = reinterpret_cast<Probe>(platform::FindSymbol(lib, "QuarryProbeModuleFileName"));
  ASSERT_NE(probe, nullptr);
  char name[4096];
  ASSERT_GT(probe(name, sizeof name), 0);
  // The library's own file, not the program that loaded it.
  EXPECT_TRUE(std::filesystem::equivalent(name, path)) << name;
  platform::CloseLibrary(lib);
}

TEST(Module, NameAndVersion) {
  std::string name = platform::ModuleFileName();
  EXPECT_TRUE(platform::FileExists(name)) << name;
  EXPECT_NE(name.find("platform_tests"), std::string::npos) << name;
  // The test program carries a version resource on Windows (version.rc).
  EXPECT_EQ(platform::ModuleFileVersion(), OnWindows() ? "9.8.7.6" : QUARRY_TEST_VERSION);
}

TEST(Text, OemConversion) {
  std::string ascii = "SELECT * FROM DUAL; -- 0123456789 ~!@#$%^&*()";
  EXPECT_EQ(platform::AnsiToOem(ascii), ascii);
  EXPECT_EQ(platform::OemToAnsi(ascii), ascii);
  EXPECT_EQ(platform::AnsiToOem(""), "");
  std::string accented = "caf\xE9";  // e-acute in the Western and Cyrillic ANSI pages
  if (OnWindows()) {
    // The OEM code pages place it elsewhere; the conversion must map and map back.
    std::string oem = platform::AnsiToOem(accented);
    EXPECT_EQ(oem.size(), accented.size());
    EXPECT_NE(oem, accented);
    EXPECT_EQ(platform::OemToAnsi(oem), accented);
  } else {
    EXPECT_EQ(platform::AnsiToOem("caf\xC3\xA9"), "caf\xC3\xA9");  // far2l speaks UTF-8
  }
}

TEST(CriticalSection, IsRecursive) {
  platform::CriticalSection section;
  section.Enter();
  section.Enter();  // a plain mutex would hang here
  section.Leave();
  section.Leave();
  section.Enter();
  section.Leave();
}

TEST(CriticalSection, ExcludesOtherThreads) {
  platform::CriticalSection section;
  long counter = 0;  // deliberately not atomic: only the lock protects it
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      section.Enter();
      section.Enter();
      long seen = counter;
      counter = seen + 1;
      section.Leave();
      section.Leave();
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}

}  // namespace
