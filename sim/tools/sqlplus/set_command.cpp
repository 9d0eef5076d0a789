// set_command.cpp — SET: the variables the stand-in honours, by their
// abbreviations; the others SQL*Plus knows are accepted and have no effect.
#include <cctype>
#include <sstream>

#include "engine.h"

namespace sqlplus {
namespace {

// SET variables that exist but change nothing here (name, shortest form).
const std::pair<const char*, size_t> kIgnored[] = {
    {"ARRAYSIZE", 5}, {"AUTOCOMMIT", 4}, {"AUTOPRINT", 5}, {"AUTOTRACE", 5}, {"BLOCKTERMINATOR", 3},
    {"CMDSEP", 4}, {"COLSEP", 6}, {"CONCAT", 3}, {"COPYCOMMIT", 5}, {"DESCRIBE", 4}, {"EMBEDDED", 3},
    {"ESCAPE", 3}, {"FLAGGER", 4}, {"FLUSH", 3}, {"HEADSEP", 5}, {"INSTANCE", 4}, {"LOBOFFSET", 4},
    {"LOGSOURCE", 4}, {"LONGCHUNKSIZE", 5}, {"MARKUP", 4}, {"NEWPAGE", 4}, {"NUMFORMAT", 4},
    {"PAUSE", 3}, {"RECSEP", 6}, {"RECSEPCHAR", 10}, {"SCAN", 4}, {"SHIFTINOUT", 5}, {"SHOWMODE", 4},
    {"SQLCASE", 4}, {"SQLCONTINUE", 5}, {"SQLNUMBER", 4}, {"SQLPLUSCOMPATIBILITY", 12}, {"SQLPREFIX", 6},
    {"SQLPROMPT", 4}, {"SQLTERMINATOR", 4}, {"SUFFIX", 3}, {"TAB", 3}, {"TERMOUT", 4}, {"TIME", 2},
    {"TRIMOUT", 5}, {"TRIMSPOOL", 5}, {"UNDERLINE", 3}, {"WRAP", 3}, {"ECHO", 4},
};

bool OnOff(const std::string& v, bool& target) {
  std::string u = Upper(v);
  if (u == "ON") target = true;
  else if (u == "OFF") target = false;
  else return false;
  return true;
}

bool Number(const std::string& v, int& target, int low, int high) {
  if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 9) return false;
  int n = std::stoi(v);
  if (n < low || n > high) return false;
  target = n;
  return true;
}

}  // namespace

void Engine::Set(const std::string& rest) {
  std::istringstream in(rest);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  if (!words.empty() && words.back() == ";") words.pop_back();
  if (!words.empty() && words.back().size() > 1 && words.back().back() == ';') words.back().pop_back();
  size_t i = 0;
  auto bad = [&](const std::string& name) { Print("SP2-0268: " + Upper(name) + " option not a valid number"); };
  while (i < words.size()) {
    const std::string name = words[i++];
    const std::string value = i < words.size() ? words[i] : std::string();
    bool ok = true;
    if (Abbrev(name, "DEFINE", 3)) {
      ++i;
      if (!OnOff(value, settings.define)) {
        if (value.size() == 1) settings.define = true, settings.defineChar = value[0];
        else if (value.size() == 3 && value.front() == '\'' && value.back() == '\'')
          settings.define = true, settings.defineChar = value[1];
        else ok = false;
      }
    } else if (Abbrev(name, "FEEDBACK", 4)) {
      ++i;
      bool on = false;
      if (OnOff(value, on)) settings.feedback = on ? 1 : 0;
      else if (!Number(value, settings.feedback, 0, 50000)) ok = false;
    } else if (Abbrev(name, "TERMOUT", 4)) {
      ++i;
      ok = OnOff(value, settings.termout);
      out.termout = settings.termout;
    } else if (Abbrev(name, "ECHO", 4)) {
      ++i;
      ok = OnOff(value, settings.echo);
    } else if (Abbrev(name, "HEADING", 3)) {
      ++i;
      ok = OnOff(value, settings.heading);
    } else if (Abbrev(name, "PAGESIZE", 5)) {
      ++i;
      if (!Number(value, settings.pagesize, 0, 50000)) bad(name);
      continue;
    } else if (Abbrev(name, "LINESIZE", 3)) {
      ++i;
      if (!Number(value, settings.linesize, 1, 32767)) bad(name);
      continue;
    } else if (Abbrev(name, "NUMWIDTH", 3)) {
      ++i;
      if (!Number(value, settings.numwidth, 2, 50)) bad(name);
      continue;
    } else if (Abbrev(name, "LONG", 4) && Upper(name).size() <= 4) {
      ++i;
      if (!Number(value, settings.longWidth, 1, 2000000000)) bad(name);
      continue;
    } else if (Abbrev(name, "SERVEROUTPUT", 9)) {
      ++i;
      ok = OnOff(value, settings.serveroutput);
      // SIZE n and FORMAT f may follow.
      while (ok && i + 1 < words.size() + 1 && i < words.size()) {
        std::string opt = Upper(words[i]);
        if (Abbrev(opt, "SIZE", 3) && i + 1 < words.size()) {
          if (!Number(words[i + 1], settings.serverSize, 2000, 1000000)) ok = false;
          i += 2;
        } else if (Abbrev(opt, "FORMAT", 3) && i + 1 < words.size()) {
          i += 2;
        } else {
          break;
        }
      }
      if (ok && conn.Connected()) {
        try {
          conn.EnableOutput(settings.serveroutput, settings.serverSize);
        } catch (const OraFailure&) {
        }
      }
    } else if (Abbrev(name, "SQLBLANKLINES", 5)) {
      ++i;
      ok = OnOff(value, settings.sqlblanklines);
    } else if (Abbrev(name, "VERIFY", 3)) {
      ++i;
      ok = OnOff(value, settings.verify);
    } else if (Abbrev(name, "TIMING", 4)) {
      ++i;
      ok = OnOff(value, settings.timing);
    } else if (Abbrev(name, "NULL", 4)) {
      ++i;
      std::string v = value;
      if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
      settings.nullText = v;
    } else {
      bool known = false;
      for (const auto& [full, min] : kIgnored)
        if (Abbrev(name, full, min)) known = true;
      if (!known) {
        Print("SP2-0158: unknown SET option \"" + name + "\"");
        return;
      }
      // An ignored option takes the words up to the next option name.
      while (i < words.size()) {
        bool isOption = false;
        for (const auto& [full, min] : kIgnored)
          if (Abbrev(words[i], full, min)) isOption = true;
        if (isOption) break;
        ++i;
      }
    }
    if (!ok) {
      Print("SP2-0265: " + Upper(name) + " must be set ON or OFF");
      return;
    }
  }
}

}  // namespace sqlplus
