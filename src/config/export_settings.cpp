// export_settings.cpp — "ExportProgramName" and "ExportShowParameters".
#include "config/export_settings.h"

#include "config/settings.h"
#include "platform/platform.h"

namespace config {

namespace {
constexpr const char* kProgramName = "ExportProgramName";
constexpr const char* kShowParameters = "ExportShowParameters";
}  // namespace

ExportSettings ReadExportSettings() {
  ExportSettings s;
  auto key = platform::RegistryKey::Open(platform::Hive::CurrentUser, QuarryKeyPath(), true);
  const std::string program = platform::ReadString(key.get(), kProgramName, "");
  if (!program.empty()) s.programName = program;
  s.showParameters = platform::ReadBool(key.get(), kShowParameters, false);
  return s;
}

void WriteExportSettings(const ExportSettings& settings) {
  auto key = platform::RegistryKey::Open(platform::Hive::CurrentUser, QuarryKeyPath(), true);
  if (!key) return;
  key->SetString(kProgramName, settings.programName);
  key->SetDword(kShowParameters, settings.showParameters ? 1 : 0);
}

}  // namespace config
