// messages.cpp — message boxes, progress notes and dialogs through the
// host's Message and Dialog services.
#include "host/messages.h"

#include <cstring>
#include <memory>

#include "host/host_services.h"
#include "host/text_utils.h"
#include "platform/platform.h"

namespace host {

bool DialogActive = false;

namespace {

constexpr std::size_t kErrorWidth = 50;
constexpr std::size_t kErrorMaxLines = 11;
constexpr std::size_t kQuestionWidth = 40;
constexpr std::size_t kDialogDataChars = 511;

// `systemError`: what the host is to show as the last system error of a box
// that may carry one; 0 shows none (the box does not ask the host for it).  Set last, right before the call, because
// anything before it (a conversion, an allocation, a failed lookup long ago)
// may have left a stale value that the host would show as the reason.
int CallMessage(far::DWORD flags, const std::vector<std::string>& items, int buttons, int systemError = 0) {
  const far::PluginStartupInfo& h = Host();
  if (h.Message == nullptr) return -1;
  std::vector<const char*> ptrs;
  ptrs.reserve(items.size());
  for (const std::string& s : items) ptrs.push_back(s.c_str());
  // far2l shows the system error even when it is 0 ("Success (0)"), so the
  // host is asked for it only when Quarry's own failing call set one.
  if (systemError == 0) flags &= ~far::FMSG_ERRORTYPE;
  else platform::SetLastSystemError(systemError);
  return h.Message(h.ModuleNumber, flags, nullptr, ptrs.data(), static_cast<int>(ptrs.size()),
                   buttons);
}

void CopyData(char* field, const std::string& text) {
  std::size_t n = text.size() < kDialogDataChars ? text.size() : kDialogDataChars;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

}  // namespace

void ShowErrorMessage(const std::string& text, int systemError) {
  std::vector<std::string> lines = WrapLines(ToOem(text), kErrorWidth);
  if (lines.size() > kErrorMaxLines) lines.resize(kErrorMaxLines);
  std::vector<std::string> items{"Error"};
  items.insert(items.end(), lines.begin(), lines.end());
  items.emplace_back("");
  items.emplace_back("[ Cancel ]");
  CallMessage(far::FMSG_WARNING | far::FMSG_ERRORTYPE, items, 1, systemError);
}

far::HANDLE ShowProgressMessage(const std::string& text) {
  std::string oem = ToOem(text);
  const far::PluginStartupInfo& h = Host();
  far::HANDLE saved = h.SaveScreen ? h.SaveScreen(0, 0, -1, -1) : far::InvalidHandle();
  CallMessage(0x1, {"", oem}, 0);
  return saved;
}

void RestoreProgress(far::HANDLE saved) {
  const far::PluginStartupInfo& h = Host();
  if (saved == far::InvalidHandle() || h.RestoreScreen == nullptr) return;
  h.RestoreScreen(saved);
}

int ShowQuestionMessage(const std::string& title, const std::string& text,
                        const std::vector<std::string>& buttons) {
  std::vector<std::string> items{ToOem(title)};
  std::string body = "\r";  // the body starts with an empty line under the title
  body += ToOem(text);
  for (std::string& line : WrapLines(body, kQuestionWidth)) items.push_back(line);
  items.emplace_back("");
  items.insert(items.end(), buttons.begin(), buttons.end());
  return CallMessage(far::FMSG_WARNING | far::FMSG_ERRORTYPE, items, static_cast<int>(buttons.size()));
}

int RunDialog(const char* helpTopic, std::vector<DialogItemSpec>& specs) {
  const far::PluginStartupInfo& h = Host();
  if (specs.empty() || h.Dialog == nullptr) return -1;
  std::vector<far::FarDialogItem> items(specs.size());
  std::vector<std::string> params(specs.size());  // history names / masks stay alive
  bool defaultSet = false;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    const DialogItemSpec& s = specs[i];
    far::FarDialogItem& it = items[i];
    std::memset(&it, 0, sizeof(it));
    it.Type = s.type;
    it.X1 = s.x1;
    it.Y1 = s.y1;
    it.X2 = s.x2;
    it.Focus = s.focus ? 1 : 0;
    if (const bool* b = std::get_if<bool>(&s.state)) it.Param.Selected = *b ? 1 : 0;
    if (bool* const* ref = std::get_if<bool*>(&s.state)) it.Param.Selected = (*ref && **ref) ? 1 : 0;
    if (const std::string* name = std::get_if<std::string>(&s.state)) {
      params[i] = ToOem(*name);
      it.Param.History = params[i].c_str();
    }
    it.Flags = s.flags;
    if (const int* msg = std::get_if<int>(&s.data)) {
      const char* t = h.GetMsg ? h.GetMsg(h.ModuleNumber, *msg & 0x7F) : nullptr;
      CopyData(it.Data.Data, t ? t : "");
    } else if (const std::string* t = std::get_if<std::string>(&s.data)) {
      CopyData(it.Data.Data, ToOem(*t));
    } else if (std::string* const* ref = std::get_if<std::string*>(&s.data)) {
      CopyData(it.Data.Data, *ref ? ToOem(**ref) : std::string());
    }
    if (s.type == far::DI_BUTTON && !defaultSet) {
      it.DefaultButton = 1;
      defaultSet = true;
    }
  }
  // The frame encloses every item.
  items.front().Y1 = 1;
  items.front().Y2 = items.back().Y1 + 1;
  int width = items.front().X2 + 4;
  int height = items.back().Y1 + 3;
  int result = h.Dialog(h.ModuleNumber, -1, -1, width, height, helpTopic, items.data(),
                        static_cast<int>(items.size()));
  if (result == -1) return result;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    if (bool* const* ref = std::get_if<bool*>(&specs[i].state); ref && *ref)
      **ref = items[i].Param.Selected != 0;
    if (std::string* const* ref = std::get_if<std::string*>(&specs[i].data); ref && *ref) {
      items[i].Data.Data[sizeof(items[i].Data.Data) - 1] = '\0';
      **ref = FromOem(items[i].Data.Data);
    }
  }
  return result;
}

}  // namespace host
