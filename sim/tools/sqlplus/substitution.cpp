// substitution.cpp — substitution variables: "&name" takes the DEFINEd value
// or asks for one each time, "&&name" asks once and DEFINEs it, "&1" ... are
// the script's arguments; a "." right after the name ends it and goes.
// DEFINE / UNDEFINE commands.
#include <cctype>

#include "engine.h"

namespace sqlplus {
namespace {

bool NameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; }

}  // namespace

std::string Engine::PromptValue(const std::string& name) {
  out.Raw("Enter value for " + name + ": ");
  std::string value;
  if (!std::getline(*terminal_, value)) value.clear();
  if (!value.empty() && value.back() == '\r') value.pop_back();
  return value;
}

std::string Engine::Substitute(const std::string& line, Source&) {
  if (!settings.define || line.find(settings.defineChar) == std::string::npos) return line;
  std::string result;
  for (size_t i = 0; i < line.size();) {
    if (line[i] != settings.defineChar) {
      result += line[i++];
      continue;
    }
    size_t j = i + 1;
    const bool twice = j < line.size() && line[j] == settings.defineChar;
    if (twice) ++j;
    size_t end = j;
    while (end < line.size() && NameChar(line[end])) ++end;
    if (end == j) {  // a lone "&" is text
      result += line.substr(i, end - i);
      i = end;
      continue;
    }
    const std::string name = line.substr(j, end - j);
    const std::string key = Upper(name);
    std::string value;
    if (auto it = defines_.find(key); it != defines_.end()) {
      value = it->second;
    } else {
      value = PromptValue(name);
      if (twice) defines_[key] = value;
    }
    if (end < line.size() && line[end] == '.') ++end;
    result += value;
    i = end;
  }
  return result;
}

void Engine::Define(const std::string& rest) {
  std::string r = Trim(rest);
  if (r.empty()) {
    for (const auto& [k, v] : defines_) Print("DEFINE " + k + std::string(k.size() < 15 ? 15 - k.size() : 1, ' ') + " = \"" + v + "\" (CHAR)");
    return;
  }
  size_t eq = r.find('=');
  if (eq == std::string::npos) {
    const std::string key = Upper(Trim(r));
    auto it = defines_.find(key);
    if (it == defines_.end()) Print("SP2-0135: symbol " + Trim(r) + " is UNDEFINED");
    else Print("DEFINE " + key + std::string(key.size() < 15 ? 15 - key.size() : 1, ' ') + " = \"" + it->second + "\" (CHAR)");
    return;
  }
  std::string name = Upper(Trim(r.substr(0, eq)));
  std::string value = Trim(r.substr(eq + 1));
  if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  defines_[name] = value;
}

}  // namespace sqlplus
