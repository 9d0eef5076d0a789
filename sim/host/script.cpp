// script.cpp — parsing and running quarry-host commands.
#include "script.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "fault_probe.h"
#include "oci_fault.h"

namespace hostsim {

const char* const kScriptHelp = R"HELP(usage: quarry-host [options] [SCRIPT | -]
Plays the far2l host for one plugin module ("*.far-plug-mb"), driven by a
script of commands read from SCRIPT, or from standard input when SCRIPT is
"-" or missing.  Everything the plugin shows is written to standard output,
one record per line.

options:
  -e COMMAND          run COMMAND before the script (may be repeated; with -e
                      and no SCRIPT, standard input is not read)
  --trace             also write "call" records for every export call and
                      for the query services (GetMsg, AdvControl, Control)
  --plain-keys        offer each key once, without the PKF_PREPROCESS call
  --startup-size=N    4316 (far2l 2.6, default) or 4324 (far2l 2.7+, with
                      the ColorDialog slot)
  --keep-going        do not stop at the first failed command
  --repeat-for SECONDS SCRIPT...
                      a long session: play every SCRIPT once per pass (the
                      panel a script leaves open is closed before the next),
                      passes repeated until SECONDS have passed (at least
                      one); failed commands do not stop it (a summary goes
                      to standard error); options go before it
  --after-pass COMMAND
                      with --repeat-for: after each pass run "COMMAND N"
                      through the shell (N the pass number) and wait for it,
                      a quiet moment to measure this process (the command's
                      parent)
  --fault-probe FILE  FILE is where the OCI stand-in logs the faults it
                      injects (OCISIM_FAULT_LOG): after the command during
                      which one was injected, check that ".." leaves the
                      listing, Alt+F10 logs on again and the command then
                      works, and stop (records "probe ...", "action-boxes
                      ..."; see sim/host/fault_probe.h)
  --help              this text
  --version           the version of Quarry this stand-in was built with

exit status: 0 all commands succeeded; 1 a command or expectation failed or
queued answers were left unused; 2 usage error; 3 the plugin crashed or let
an exception escape (record "error plugin crashed in <export> (<signal>)").

commands (one per line; "#" starts a comment line; words may be quoted
"like this" with C escapes \" \\ \n \t \xHH; a command taking TEXT uses the
rest of the line, or one quoted string for leading/trailing blanks):
  load PATH           dlopen the module, resolve its eleven exports, call
                      SetStartupInfo (RootKey "", ModuleName = absolute path)
  plugininfo          GetPluginInfo: print the disk, plugins and config menus
  open [ITEM]         OpenPlugin from the plugins menu (item, default 0), then
                      GetOpenPluginInfo and GetFindData/FreeFindData
  open-disk [ITEM]    the same from the disk menu
  open-cmdline TEXT   OpenPlugin from the command line with TEXT
  close               FE_CLOSE event, then ClosePlugin unless refused
  quit                the user quits the host: FE_CLOSE to the open panel
                      (the host stays when it is refused), then ClosePlugin
  list                print the panel, its column set and every item
  info                GetOpenPluginInfo: title, directory, info lines, panel
                      modes with column types/widths/titles, key bar
  cd NAME             SetDirectory(NAME) and re-read; ".." puts the cursor on
                      the directory we came from; ".." at the root closes
  enter               the same as "key Enter"
  key KEY...          press keys: F1..F12, Enter, Esc, Tab, BS, Space, Ins,
                      Del, Home, End, PgUp, PgDn, Left, Right, Up, Down,
                      letters, digits, with Ctrl+ Alt+ Shift+ in front
                      (Shift+F4, Ctrl+Z, Ctrl+1 .. Ctrl+0 for view modes).
                      Each key goes to ProcessKey with 0x80000 (PKF_PREPROCESS)
                      first, then plain unless taken; keys the plugin does not
                      take get the host's default (Enter on a directory
                      changes into it, cursor keys, Ins selects, Ctrl+R
                      re-reads, Ctrl+PgUp goes up, Ctrl+digit sets the view
                      mode).  A plain letter is typed into the command line;
                      Enter with text on the command line runs it.  The
                      record "key NAME vk= state= -> plugin|plugin
                      (preprocess)|host ...|unhandled" follows what the key
                      caused.
  goto NAME | goto #N move the cursor to an item by name or by index
  select NAME...      select items; "select all" selects all but ".."
  unselect NAME...    unselect items; "unselect all" clears the selection
  type TEXT           type TEXT into the command line (appends)
  cmdline TEXT        put TEXT on the command line and press Enter: the
                      plugin gets FE_COMMAND; if it declines, the host would
                      run it in the shell (recorded, not run)
  show-cmdline        print the command line
  redraw              FE_REDRAW event (the host redraws if the plugin declines)
  update              re-read the panel keeping the selection (as Ctrl+R)
  configure [N]       Configure(N), default 0
  other DIR           show directory DIR in the passive file panel (default:
                      the current directory)
  list-other          print the passive panel
  show-file PATH      print a file's lines (records "file", "file-text"); a
                      relative PATH is taken in the passive panel's directory;
                      a last part with * or ? must match exactly one file
  lang FILE           GetMsg answers from FILE's quoted lines (otherwise
                      GetMsg(N) returns "<msg N>")
  answer message BUTTON | esc
  answer dialog esc | answer dialog [FIELD=VALUE...] [button=BUTTON]
                      FIELD is an item index or the label of the field (the
                      text item before an edit field, or right after a short
                      field, or a check box's own text); check boxes and
                      radio buttons take 0, 1 or 2; without button= the
                      default button closes the dialog.  With DialogEx, a
                      close refused by the dialog procedure takes the next
                      dialog answer.
  answer menu ENTRY | esc [key=KEY]
                      key= closes the menu with one of its break keys
  answer input TEXT | esc
  answer editor keep | save TEXT | save-file FILE [fault=PLAN]
                      the next editor session leaves the file as it is, or
                      replaces its content and saves (EEC_MODIFIED); with
                      fault=PLAN the OCI stand-in's fault plan PLAN is armed
                      as the editor closes (as "set oci-fault")
                      BUTTON and ENTRY are an index (bare number) or a label;
                      labels ignore '&', blanks and a trailing ':'.  Answers
                      are queued per kind and used in order; a message, dialog,
                      menu or input box without an answer is cancelled (Esc).
  set trace on|off    as --trace
  set keys double|plain
                      as --plain-keys for "plain"
  set startup 4316|4324
                      startup record for the next load
  set other-panel file|plugin|hidden
                      what the other panel is (default: a visible file panel)
  set oci-fault PLAN  arm a fault in the OCI stand-in the plugin loaded:
                      "drop@1" drops the connection at the next round trip,
                      "ORA-00054@2" fails the second one, "stall=500@1"
                      (sim/oci/include/ocisim/fault_injection.h); records
                      "oci-fault PLAN"
  set console-esc N   Esc is pressed during the plugin's work: it waits in the
                      console input from the plugin's Nth look at it on (a
                      long operation looks every so many rows); 0: never
  expect TEXT         fail unless a line written by the last command other
                      than expect*, answer and set contains TEXT
  expect-not TEXT     fail if such a line contains TEXT
  expect-line LINE    fail unless such a line equals LINE
  expect-answers-used fail if queued answers are left
  echo TEXT           write "echo TEXT" (a marker in the transcript)

records (first word = kind; strings are quoted; a NULL string prints as -):
  load, plugin, plugin-disk, plugin-menu, plugin-config, open, closed,
  panel, panel-columns, item, cursor, selection, cd, key, view-mode,
  openinfo, title, curdir, info, panel-modes, panel-mode, keybar,
  message, message-line, message-button, message-result,
  dialog, dialog-ex, dialog-item, dialog-set, dialog-close-refused,
  dialog-result, menu, menu-item, menu-result, input, input-result,
  editor, editor-text, editor-result, viewer, viewer-text, viewer-result,
  text, text-flush, save-screen, restore-screen, help, configure,
  execute, execute-text, execute-result (far2l's Execute service: the
  command line runs in /bin/sh with no input, its output recorded),
  cmdline, cmdline-run, cmdline-result, cmdline-set, cmdline-insert,
  panel-update, panel-redraw, panel-selection, panel-sort, panel-close,
  other-panel, other-panel-dir, other-panel-update, redraw, lang, echo,
  console-input (a key the plugin took from the console input),
  file, file-text,
  unsupported, call (with --trace), warning, error.
  item I "NAME" dir|file [current] [selected] size= attr= written= created=
       accessed= links= descr= owner= c0= c1= ...   (times ISO 8601 UTC)
)HELP";

namespace {

bool ReadQuoted(const std::string& line, std::size_t& i, std::string& out, std::string& error) {
  std::size_t start = i++;
  while (i < line.size() && line[i] != '"') i += line[i] == '\\' ? 2 : 1;
  if (i >= line.size()) {
    error = "unterminated quote";
    return false;
  }
  ++i;
  if (!Unquote(std::string_view(line).substr(start, i - start), out)) {
    error = "bad escape in " + line.substr(start, i - start);
    return false;
  }
  return true;
}

bool IsNumber(const std::string& s) {
  if (s.empty()) return false;
  std::size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

Choice ToChoice(const std::string& text, bool quoted) {
  Choice c;
  if (!quoted && IsNumber(text)) {
    c.byIndex = true;
    c.index = std::stoi(text);
  } else {
    c.label = text;
  }
  return c;
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

// The argument of a TEXT command: the rest of the line, or one quoted string.
bool RestText(const std::string& rest, std::string& out, std::string& error) {
  std::string t = Trim(rest);
  if (t.size() >= 2 && t.front() == '"') {
    std::size_t i = 0;
    std::string q;
    if (ReadQuoted(t, i, q, error) && i == t.size()) {
      out = q;
      return true;
    }
    error.clear();
  }
  out = t;
  return true;
}

}  // namespace

bool SplitWords(const std::string& line, std::vector<Word>& words, std::string& error) {
  words.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    Word w;
    std::string part;
    bool partQuoted = false, onlyQuoted = true;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
      if (line[i] == '"') {
        std::string q;
        if (!ReadQuoted(line, i, q, error)) return false;
        part += q;
        partQuoted = true;
      } else if (line[i] == '=' && !w.hasValue) {
        w.hasValue = true;
        w.key = part;
        w.keyQuoted = partQuoted && onlyQuoted;
        part.clear();
        partQuoted = false;
        onlyQuoted = true;
        ++i;
      } else {
        part += line[i++];
        onlyQuoted = false;
      }
    }
    if (w.hasValue) {
      w.value = part;
      w.valueQuoted = partQuoted && onlyQuoted;
      w.text = w.key + "=" + w.value;
    } else {
      w.text = part;
      w.quoted = partQuoted && onlyQuoted;
    }
    words.push_back(std::move(w));
  }
  return true;
}

bool Script::Fail(const std::string& message) {
  host_.transcript().Line("error " + message);
  return false;
}

bool Script::Answer(const std::vector<Word>& words, const std::string& rest) {
  if (words.size() < 2) return Fail("answer: which kind? message, dialog, menu, input or editor");
  const std::string& kind = words[1].text;
  auto isEsc = [&](std::size_t i) { return words.size() > i && !words[i].quoted && words[i].text == "esc"; };
  if (kind == "message") {
    if (words.size() != 3) return Fail("answer message: give one button (index or label) or esc");
    MessageAnswer a;
    a.cancel = isEsc(2);
    if (!a.cancel) a.button = ToChoice(words[2].text, words[2].quoted);
    host_.answers().Add(a);
    return true;
  }
  if (kind == "dialog") {
    DialogAnswer a;
    if (isEsc(2)) {
      if (words.size() != 3) return Fail("answer dialog esc: nothing may follow esc");
      a.cancel = true;
      host_.answers().Add(a);
      return true;
    }
    for (std::size_t i = 2; i < words.size(); ++i) {
      const Word& w = words[i];
      if (!w.hasValue) return Fail("answer dialog: expected FIELD=VALUE or button=BUTTON, got " + Quote(w.text));
      if (w.key == "button" && !w.keyQuoted) {
        a.button = ToChoice(w.value, w.valueQuoted);  // quotes make "1" a label
        continue;
      }
      DialogField f;
      f.item = ToChoice(w.key, w.keyQuoted);
      f.value = w.value;
      a.fields.push_back(f);
    }
    host_.answers().Add(a);
    return true;
  }
  if (kind == "menu") {
    MenuAnswer a;
    if (words.size() < 3) return Fail("answer menu: give an entry (index or label), esc, or key=KEY");
    for (std::size_t i = 2; i < words.size(); ++i) {
      const Word& w = words[i];
      if (w.hasValue && w.key == "key") a.breakKey = w.value;
      else if (i == 2 && isEsc(2)) a.cancel = true;
      else if (i == 2) a.entry = ToChoice(w.text, w.quoted);
      else return Fail("answer menu: unexpected " + Quote(w.text));
    }
    host_.answers().Add(a);
    return true;
  }
  if (kind == "input") {
    InputAnswer a;
    if (isEsc(2) && words.size() == 3) {
      a.cancel = true;
    } else {
      std::string err;
      std::string text = Trim(Trim(rest).substr(kind.size()));
      if (!RestText(text, a.text, err)) return Fail("answer input: " + err);
    }
    host_.answers().Add(a);
    return true;
  }
  if (kind == "editor") {
    EditorAnswer a;
    if (words.size() == 3 && words[2].text == "keep") {
      host_.answers().Add(a);
      return true;
    }
    // fault=PLAN: the OCI stand-in plays PLAN from the moment the editor closes.
    std::size_t size = words.size();
    if (size == 5 && words[4].hasValue && words[4].key == "fault" && !words[4].keyQuoted) {
      a.fault = words[4].value;
      size = 4;
    }
    if (size == 4 && words[2].text == "save") {
      a.save = true;
      a.content = words[3].text;
      host_.answers().Add(a);
      return true;
    }
    if (size == 4 && words[2].text == "save-file") {
      std::ifstream in(words[3].text, std::ios::binary);
      if (!in) return Fail("answer editor: cannot read " + Quote(words[3].text));
      std::ostringstream s;
      s << in.rdbuf();
      a.save = true;
      a.content = s.str();
      host_.answers().Add(a);
      return true;
    }
    return Fail("answer editor: keep, save \"TEXT\" or save-file FILE, optionally followed by fault=PLAN");
  }
  return Fail("answer: unknown kind " + Quote(kind));
}

bool Script::Set(const std::vector<Word>& words) {
  if (words.size() == 3 && words[1].text == "oci-fault") {
    std::string error;
    if (!ArmOciFault(words[2].text, error)) return Fail("set oci-fault: " + error);
    host_.transcript().Line("oci-fault " + Quote(words[2].text));
    return true;
  }
  if (words.size() != 3) return Fail("set: set trace on|off, set keys double|plain, set startup 4316|4324, set other-panel file|plugin|hidden, set console-esc N");
  const std::string& what = words[1].text;
  const std::string& v = words[2].text;
  auto& o = host_.options();
  if (what == "trace" && (v == "on" || v == "off")) o.trace = v == "on";
  else if (what == "keys" && (v == "double" || v == "plain")) o.preprocessKeys = v == "double";
  else if (what == "startup" && (v == "4316" || v == "4324")) o.startupSize = std::stoi(v);
  else if (what == "other-panel" && (v == "file" || v == "plugin" || v == "hidden")) o.otherPanel = v;
  else if (what == "console-esc" && IsNumber(v)) o.consoleEscAt = std::stoi(v);
  else return Fail("set: unknown setting " + Quote(what + " " + v));
  return true;
}

bool Script::Expect(const std::string& verb, const std::string& arg) {
  if (verb == "expect-answers-used") {
    std::string pending = host_.answers().Pending();
    if (pending.empty()) return true;
    return Fail("expect-answers-used: unused answers: " + pending);
  }
  const auto& lines = host_.transcript().Lines();
  bool found = false;
  for (std::size_t i = windowStart_; i < lines.size() && !found; ++i) {
    if (verb == "expect-line") found = lines[i] == arg;
    else found = lines[i].find(arg) != std::string::npos;
  }
  if (verb == "expect-not") return found ? Fail("expect-not: a line contains " + Quote(arg)) : true;
  if (found) return true;
  return Fail(verb + ": no line " + (verb == "expect-line" ? "equals " : "contains ") + Quote(arg));
}

bool Script::Execute(const std::string& rawLine) {
  std::string line = Trim(rawLine);
  if (line.empty() || line[0] == '#') return true;
  std::vector<Word> words;
  std::string error;
  std::size_t space = line.find_first_of(" \t");
  std::string verb = line.substr(0, space);
  std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
  if (verb.rfind("expect", 0) == 0) {
    std::string arg;
    RestText(rest, arg, error);
    if (verb != "expect" && verb != "expect-not" && verb != "expect-line" && verb != "expect-answers-used")
      return Fail("unknown command " + Quote(verb));
    return Expect(verb, arg);
  }
  // Queuing answers and settings shows nothing, so they leave the window
  // of the command before them open for later expects.
  if (verb != "answer" && verb != "set") windowStart_ = host_.transcript().Lines().size();
  std::string text;
  RestText(rest, text, error);
  // Commands that take TEXT read the raw rest of the line, so a stray quote
  // in a command line or file name is theirs, not a syntax error.
  static const char* const kTextVerbs[] = {"load", "open-cmdline", "cd", "goto", "type", "cmdline", "other", "lang", "echo", "show-file"};
  bool takesText = std::find(std::begin(kTextVerbs), std::end(kTextVerbs), verb) != std::end(kTextVerbs) ||
                   (verb == "answer" && Trim(rest).rfind("input", 0) == 0);
  if (!SplitWords(line, words, error)) {
    if (!takesText) return Fail(verb + ": " + error);
    words.assign(2, Word());
    words[0].text = verb;
    words[1].text = verb == "answer" ? "input" : text;
  }
  auto intArg = [&](int def, int& out) {
    if (words.size() < 2) return out = def, true;
    if (words.size() != 2 || !IsNumber(words[1].text)) return false;
    out = std::stoi(words[1].text);
    return true;
  };
  int n = 0;
  if (verb == "load") return text.empty() ? Fail("load: which module?") : host_.Load(text);
  if (verb == "plugininfo") return host_.ShowPluginInfo();
  if (verb == "open") return intArg(0, n) ? host_.Open(far::OPEN_PLUGINSMENU, n) : Fail("open: item must be a number");
  if (verb == "open-disk") return intArg(0, n) ? host_.Open(far::OPEN_DISKMENU, n) : Fail("open-disk: item must be a number");
  if (verb == "open-cmdline") return host_.Open(far::OPEN_COMMANDLINE, 0, text);
  if (verb == "close") return host_.Close();
  if (verb == "quit") return host_.Quit();
  if (verb == "list") return host_.List();
  if (verb == "info") return host_.Info();
  if (verb == "cd") return text.empty() ? Fail("cd: which directory?") : host_.ChangeDirectory(text);
  if (verb == "enter") return host_.PressKey("Enter");
  if (verb == "key") {
    if (words.size() < 2) return Fail("key: which key?");
    for (std::size_t i = 1; i < words.size(); ++i)
      if (!host_.PressKey(words[i].text)) return false;
    return true;
  }
  if (verb == "goto") {
    if (text.size() > 1 && text[0] == '#' && IsNumber(text.substr(1))) return host_.MoveCursorTo(std::stoi(text.substr(1)));
    return text.empty() ? Fail("goto: which item?") : host_.MoveCursor(text);
  }
  if (verb == "select" || verb == "unselect") {
    bool on = verb == "select";
    if (words.size() < 2) return Fail(verb + ": which items?");
    if (words.size() == 2 && !words[1].quoted && words[1].text == "all") return host_.SelectAll(on);
    std::vector<std::string> names;
    for (std::size_t i = 1; i < words.size(); ++i) names.push_back(words[i].text);
    return host_.Select(names, on);
  }
  if (verb == "type") return host_.Type(text);
  if (verb == "cmdline") return host_.RunCommandLine(text);
  if (verb == "show-cmdline") return host_.ShowCommandLine();
  if (verb == "redraw") return host_.Redraw();
  if (verb == "update") return host_.Update();
  if (verb == "configure") return intArg(0, n) ? host_.Configure(n) : Fail("configure: item must be a number");
  if (verb == "other") return host_.SetOtherDirectory(text.empty() ? "." : text);
  if (verb == "list-other") return host_.ListOther();
  if (verb == "lang") return host_.LoadLanguage(text);
  if (verb == "show-file") return text.empty() ? Fail("show-file: which file?") : host_.ShowFile(text);
  if (verb == "answer") return Answer(words, rest);
  if (verb == "set") return Set(words);
  if (verb == "echo") {
    host_.transcript().Line("echo " + text);
    return true;
  }
  return Fail("unknown command " + Quote(verb));
}

bool Script::Finish() {
  std::string pending = host_.answers().Pending();
  if (pending.empty()) return true;
  host_.answers().Clear();
  return Fail("unused answers at the end of the script: " + pending);
}

int Script::Run(std::istream& in, bool keepGoing) {
  int status = 0;
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    if (probe_ && FaultProbe::IsAction(line)) {
      probe_->Before(line, lineNo);
      bool ok = Execute(line);
      if (probe_->After()) return probe_->Probe([this](const std::string& l) { return Execute(l); }) ? 0 : 1;
      if (ok) continue;
      status = 1;
      if (!keepGoing) return status;
      continue;
    }
    if (!Execute(line)) {
      status = 1;
      if (!keepGoing) return status;
    }
  }
  return status;
}

}  // namespace hostsim
