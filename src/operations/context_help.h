// context_help.h — F1: the help topic that fits where the user stands.
#pragma once

#include <string>

#include "panel/controller.h"

namespace operations {

inline constexpr const char* kPluginHelpFile = "Quarry.hlf";      // the plugin's manual
inline constexpr const char* kParameterHelpFile = "zoZaze.hlf";  // one topic per instance parameter

struct HelpRequest {
  std::string file;   // kPluginHelpFile or kParameterHelpFile
  std::string topic;  // empty: the file's contents page
};

// Chooses file and topic from the upper-cased path levels (level(1) is the
// root, "" beyond the last) and the upper-cased current item ("" when none).
template <typename LevelFn>
HelpRequest ChooseHelpTopic(LevelFn level, const std::string& item);

// Opens the host's help viewer on the chosen topic; true (the key is handled).
bool ShowContextHelp(panel::TOracleController& controller);

template <typename LevelFn>
HelpRequest ChooseHelpTopic(LevelFn level, const std::string& item) {
  HelpRequest r{kPluginHelpFile, ""};
  const std::string l2 = level(2), l3 = level(3), l4 = level(4), l5 = level(5), l6 = level(6);
  const auto isDetail = [](const std::string& s) { return !s.empty() && s[0] == '.'; };
  if (l2.empty()) return r;
  if (l3.empty()) {
    r.topic = l2;
  } else if (l2 == ".INSTANCE PARAMETERS" && l3 == ".PARAMETERS") {
    if (!item.empty() && item != "..") {
      r.file = kParameterHelpFile;
      r.topic = item;
    } else {
      r.topic = ".Instance parameters";
    }
  } else if (l2 == ".INSTANCE PARAMETERS" && l4.empty()) {
    r.topic = l3;
  } else if (l2 == "USERS" && l4.empty()) {
    r.topic = isDetail(l3) ? l3 : "Single User";
  } else if (l2 == "USERS" && !isDetail(l3) && l5.empty()) {
    r.topic = l4 + " for user";
  } else if (l2 == "USERS" && l3 == ".ROLES" && !l4.empty() && !l5.empty() && l6.empty()) {
    r.topic = l5 + " for user";
  }
  return r;
}

}  // namespace operations
