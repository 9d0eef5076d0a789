// File names made from object names: whatever the name, the result is one
// plain file inside the folder it is joined to.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "operations/derived_file_name.h"

namespace {

using operations::DerivedFileName;

// The names a server accepts in quotes that read as paths, devices or
// terminal commands.
const char* const kHostileNames[] = {
    "../../escape", "..\\..\\win", "C:drive", "a/b", "/etc/passwd", "\\\\server\\share", "tab\tname",
    "line\nbreak", "esc\x1b[2J", "del\x7f", "..", ".", "what?*", "<in>|\"out\"", "nul", "CON", "Com1.txt"};

TEST(DerivedFileName, EveryHostileNameStaysOneFileInTheTargetFolder) {
  const std::filesystem::path target = "/target/folder";
  for (const char* name : kHostileNames) {
    const std::string file = DerivedFileName(name, ".sql");
    SCOPED_TRACE(name);
    EXPECT_EQ(file.find_first_of("/\\:*?\"<>|"), std::string::npos) << file;
    for (unsigned char c : file) EXPECT_FALSE(c < 0x20 || c == 0x7F) << file;
    const std::filesystem::path joined = (target / file).lexically_normal();
    EXPECT_EQ(joined.parent_path(), target) << file;
    EXPECT_EQ(file.substr(file.size() - 4), ".sql");
  }
}

TEST(DerivedFileName, OrdinaryNamesAreKeptAsWritten) {
  EXPECT_EQ(DerivedFileName("EMP", ".sql"), "EMP.sql");
  EXPECT_EQ(DerivedFileName("Mixed Case Table", ".sql"), "Mixed Case Table.sql");
  EXPECT_EQ(DerivedFileName("o'neil", ".sql"), "o'neil.sql");
  EXPECT_EQ(DerivedFileName("bonus.old", ".sql"), "bonus.old.sql");
  EXPECT_EQ(DerivedFileName("ABCDEFGHIJKLMNOPQRSTUVWXYZ_123", ".sql"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ_123.sql");
  // Letters beyond ASCII (and bytes that are no UTF-8) pass unchanged.
  EXPECT_EQ(DerivedFileName("Gr\xC3\xB6\xC3\x9F" "e", ".sql"), "Gr\xC3\xB6\xC3\x9F" "e.sql");
  EXPECT_EQ(DerivedFileName("bad\xFF", ".sql"), "bad\xFF.sql");
  // Dots alone are a plain file once the extension follows.
  EXPECT_EQ(DerivedFileName("..", ".sql"), "...sql");
}

TEST(DerivedFileName, PathCharactersBecomeUnderscores) {
  EXPECT_EQ(DerivedFileName("../../escape", ".sql"), ".._.._escape.sql");
  EXPECT_EQ(DerivedFileName("..\\..\\win", ".sql"), ".._.._win.sql");
  EXPECT_EQ(DerivedFileName("C:drive", ".sql"), "C_drive.sql");
  EXPECT_EQ(DerivedFileName("tab\tname", ".sql"), "tab_name.sql");
}

TEST(DerivedFileName, WindowsDevicesNameAFileInstead) {
  EXPECT_EQ(DerivedFileName("NUL", ".sql"), "NUL_.sql");
  EXPECT_EQ(DerivedFileName("con", ".sql"), "con_.sql");
  EXPECT_EQ(DerivedFileName("LPT9", ".sql"), "LPT9_.sql");
  EXPECT_EQ(DerivedFileName("aux.old", ".sql"), "aux_.old.sql");
  // Only the whole stem is a device.
  EXPECT_EQ(DerivedFileName("CONFIG", ".sql"), "CONFIG.sql");
  EXPECT_EQ(DerivedFileName("COM10", ".sql"), "COM10.sql");
  EXPECT_EQ(DerivedFileName("NULLS", ".sql"), "NULLS.sql");
}

}  // namespace
