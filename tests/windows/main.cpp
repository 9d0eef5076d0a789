// main.cpp — the process as FAR 1.70 leaves it for its plugins: file
// functions switched to the OEM code page, and (for these tests) a Russian
// ANSI/OEM pair and a temporary folder whose name is not ASCII.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "wine_support.h"

int main(int argc, char** argv) {
  if (GetACP() != 1251 || GetOEMCP() != 866) {
    std::fprintf(stderr,
                 "windows_run_tests: needs the code pages 1251/866 (got %u/%u); run it through "
                 ".ci/wine-platform-tests.sh, which starts wine with a Russian locale\n",
                 GetACP(), GetOEMCP());
    return 2;
  }
  SetFileApisToOEM();
  const std::wstring tmp = wine_test::SystemTempW() + wine_test::kCyrillic + L"-tmp";
  CreateDirectoryW(tmp.c_str(), nullptr);
  SetEnvironmentVariableW(L"TMP", tmp.c_str());
  SetEnvironmentVariableW(L"TEMP", tmp.c_str());
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  wine_test::RemoveTreeW(tmp);
  return result;
}
