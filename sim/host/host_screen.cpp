// host_screen.cpp — the services that show things outside the panel: the
// viewer and the editor (recorded with the file's text, editor actions from
// the queue), direct text output, saved screens, help, messages by number
// and the host's version.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "host.h"
#include "oci_fault.h"
#include "host_files.h"

namespace hostsim {
namespace {

constexpr far::DWORD kEditorCreateNew = 0x2;
constexpr far::DWORD kEditorDeleteOnClose = 0x10;
constexpr far::DWORD kViewerDeleteOnlyFileOnClose = 0x200;
constexpr int kEecOpenError = 0, kEecModified = 1, kEecNotModified = 2;
constexpr far::INT_PTR kFar2lVersion = 0x00020006;  // (major << 16) | minor
constexpr int kActlGetFarVersion = 0;

}  // namespace

void Host::SvcUnsupported(const char* service) { Record(std::string("unsupported ") + service); }

int Host::SvcViewer(const char* file, const char* title, int x1, int y1, int x2, int y2, far::DWORD flags) {
  // The file comes last: temporary names differ from run to run.
  Record("viewer title=" + QuoteOrDash(title) + " x1=" + std::to_string(x1) + " y1=" + std::to_string(y1) +
         " x2=" + std::to_string(x2) + " y2=" + std::to_string(y2) + " flags=" + Hex(flags) +
         " file=" + QuoteOrDash(file));
  std::string text;
  if (!file || !HostReadFile(file, text)) {
    Record("viewer-result missing");
    return 0;
  }
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) Record("viewer-text " + Quote(line));
  if (flags & (far::VF_DELETEONCLOSE | kViewerDeleteOnlyFileOnClose)) HostRemoveFile(file);
  Record("viewer-result shown bytes=" + std::to_string(text.size()));
  return 1;
}

int Host::SvcEditor(const char* file, const char* title, int x1, int y1, int x2, int y2, far::DWORD flags, int line,
                    int col) {
  Record("editor title=" + QuoteOrDash(title) + " x1=" + std::to_string(x1) + " y1=" + std::to_string(y1) +
         " x2=" + std::to_string(x2) + " y2=" + std::to_string(y2) + " flags=" + Hex(flags) +
         " line=" + std::to_string(line) + " col=" + std::to_string(col) + " file=" + QuoteOrDash(file));
  std::string text;
  bool exists = file && HostReadFile(file, text);
  if (!exists && !(file && (flags & kEditorCreateNew))) {
    Record("editor-result open-error");
    return kEecOpenError;
  }
  std::istringstream lines(text);
  for (std::string l; std::getline(lines, l);) Record("editor-text " + Quote(l));
  auto answer = answers_.NextEditor();
  int result = kEecNotModified;
  if (answer && answer->save) {
    // Written as the editor saves: a new file beside, then renamed over.
    if (!HostSaveFile(file, answer->content)) {
      Record("error Editor: cannot save " + Quote(file));
      serviceError_ = true;
      serviceErrorText_ = "editor: saving failed";
    } else {
      result = kEecModified;
      Record("editor-result saved bytes=" + std::to_string(answer->content.size()));
    }
  } else {
    Record(std::string("editor-result kept") + (answer ? "" : " (no answer queued)"));
  }
  if (flags & kEditorDeleteOnClose) HostRemoveFile(file);
  if (answer && !answer->fault.empty()) {
    std::string error;
    if (ArmOciFault(answer->fault, error)) {
      Record("oci-fault " + Quote(answer->fault));
    } else {
      Record("error editor: " + error);
      serviceError_ = true;
      serviceErrorText_ = "editor: " + error;
    }
  }
  return result;
}

void Host::SvcText(int x, int y, int color, const char* text) {
  if (!text) {
    Record("text-flush");
    return;
  }
  Record("text x=" + std::to_string(x) + " y=" + std::to_string(y) + " color=" + Hex(static_cast<unsigned>(color)) +
         " " + Quote(text));
}

far::HANDLE Host::SvcSaveScreen(int x1, int y1, int x2, int y2) {
  long id = nextScreen_++;
  screens_.push_back(id);
  Record("save-screen " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) + " " +
         std::to_string(y2) + " -> " + std::to_string(id));
  return reinterpret_cast<far::HANDLE>(id);
}

void Host::SvcRestoreScreen(far::HANDLE screen) {
  if (!screen) {
    Record("restore-screen all");
    return;
  }
  long id = static_cast<long>(reinterpret_cast<std::intptr_t>(screen));
  for (auto it = screens_.begin(); it != screens_.end(); ++it) {
    if (*it == id) {
      screens_.erase(it);
      Record("restore-screen " + std::to_string(id));
      return;
    }
  }
  Record("error RestoreScreen: handle " + Hex(static_cast<std::uint64_t>(id)) + " was not saved or is restored already");
  serviceError_ = true;
  serviceErrorText_ = "RestoreScreen with an unknown handle";
}

int Host::SvcShowHelp(const char* module, const char* topic, far::DWORD flags) {
  Record("help file=" + QuoteOrDash(module) + " topic=" + QuoteOrDash(topic) + " flags=" + Hex(flags));
  return 1;
}

far::INT_PTR Host::SvcAdvControl(far::INT_PTR pn, int command, void*) {
  CheckPluginNumber("AdvControl", pn);
  far::INT_PTR result = command == kActlGetFarVersion ? kFar2lVersion : 0;
  Trace("call AdvControl " + std::to_string(command) + " -> " + Hex(static_cast<std::uint64_t>(result)));
  return result;
}

const char* Host::SvcGetMsg(far::INT_PTR pn, int id) {
  CheckPluginNumber("GetMsg", pn);
  Trace("call GetMsg " + std::to_string(id));
  if (id >= 0 && id < static_cast<int>(language_.size())) return language_[static_cast<std::size_t>(id)].c_str();
  auto it = generatedMsgs_.find(id);
  if (it == generatedMsgs_.end()) it = generatedMsgs_.emplace(id, "<msg " + std::to_string(id) + ">").first;
  return it->second.c_str();
}

}  // namespace hostsim
