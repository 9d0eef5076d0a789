// host_dialogs.cpp — Message, Dialog/DialogEx, Menu and InputBox: shown in
// the transcript, answered from the queue, cancelled (Esc) when no answer
// is queued.
#include <cstring>
#include <string>
#include <vector>

#include "host.h"

namespace hostsim {
namespace {

constexpr far::DWORD kMessageButtonsMask = 0x000F0000;  // FMSG_MB_*
constexpr far::DWORD kVarEdit = 0x10000;                // DIF_VAREDIT on edit items
constexpr far::DWORD kMenuUseExt = 0x20;                // FMENU_USEEXT
constexpr int kDnInitDialog = 0x100C;
constexpr int kDnClose = 1;
constexpr int kDmGetTextPtr = 21, kDmSetTextPtr = 22, kDmGetCheck = 25, kDmSetCheck = 26;
constexpr int kDmGetDlgData = 4, kDmSetDlgData = 11, kDmClose = 1, kDmGetDlgItem = 5;
constexpr int kFibEnableEmpty = 0x1;

// Button labels of FMSG_MB_OK .. FMSG_MB_RETRYCANCEL.
const std::vector<std::vector<std::string>> kStockButtons = {
    {}, {"Ok"}, {"Ok", "Cancel"}, {"Abort", "Retry", "Ignore"}, {"Yes", "No"}, {"Yes", "No", "Cancel"},
    {"Retry", "Cancel"}};

const char* const kTypeNames[] = {"TEXT",   "VTEXT",  "SINGLEBOX", "DOUBLEBOX",   "EDIT",     "PSWEDIT", "FIXEDIT",
                                  "BUTTON", "CHECKBOX", "RADIOBUTTON", "COMBOBOX", "LISTBOX", "MEMOEDIT"};

std::string TypeName(int type) {
  if (type >= 0 && type < static_cast<int>(std::size(kTypeNames))) return kTypeNames[type];
  if (type == far::DI_USERCONTROL) return "USERCONTROL";
  return "TYPE" + std::to_string(type);
}

// Label comparison ignores hot-key ampersands, surrounding blanks and a
// trailing colon, so "&User name:" answers to "User name".
std::string Normalize(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  auto trim = [](std::string& s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    s.erase(0, i);
  };
  trim(out);
  if (!out.empty() && out.back() == ':') out.pop_back();
  trim(out);
  return out;
}

bool IsEdit(int type) {
  return type == far::DI_EDIT || type == far::DI_PSWEDIT || type == far::DI_FIXEDIT || type == far::DI_COMBOBOX;
}
bool IsCheck(int type) { return type == far::DI_CHECKBOX || type == far::DI_RADIOBUTTON; }

std::string ItemText(const far::FarDialogItem& item) {
  if (IsEdit(item.Type) && (item.Flags & kVarEdit)) {
    const char* p = item.Data.Ptr.PtrData;
    return p ? std::string(p, strnlen(p, static_cast<std::size_t>(item.Data.Ptr.PtrLength > 0 ? item.Data.Ptr.PtrLength : 0))) : "";
  }
  return std::string(item.Data.Data, strnlen(item.Data.Data, sizeof item.Data.Data));
}

bool SetItemText(far::FarDialogItem& item, const std::string& value, std::string& error) {
  if (IsEdit(item.Type) && (item.Flags & kVarEdit)) {
    if (!item.Data.Ptr.PtrData || static_cast<int>(value.size()) >= item.Data.Ptr.PtrLength) {
      error = "value longer than the field's buffer (" + std::to_string(item.Data.Ptr.PtrLength) + " bytes)";
      return false;
    }
    std::memcpy(item.Data.Ptr.PtrData, value.c_str(), value.size() + 1);
    return true;
  }
  if (value.size() >= sizeof item.Data.Data) {
    error = "value longer than 511 bytes";
    return false;
  }
  std::memset(item.Data.Data, 0, sizeof item.Data.Data);
  std::memcpy(item.Data.Data, value.data(), value.size());
  return true;
}

bool ParseCheck(const std::string& v, int& out) {
  if (v == "1" || v == "on" || v == "yes" || v == "true") return out = 1, true;
  if (v == "0" || v == "off" || v == "no" || v == "false") return out = 0, true;
  if (v == "2") return out = 2, true;
  return false;
}

// The item a field answer names: an index, a check box's or edit's own
// label, or the text item just before an input field (or just after it,
// when no field follows the text).
int FindField(const far::FarDialogItem* items, int count, const Choice& c) {
  if (c.byIndex) return c.index >= 0 && c.index < count ? c.index : -1;
  std::string want = Normalize(c.label);
  for (int i = 0; i < count; ++i) {
    if (Normalize(ItemText(items[i])) != want) continue;
    if (IsEdit(items[i].Type) || IsCheck(items[i].Type)) return i;
    if (items[i].Type == far::DI_TEXT || items[i].Type == far::DI_VTEXT) {
      for (int k = i + 1; k < count; ++k) {
        if (IsEdit(items[k].Type) || IsCheck(items[k].Type)) return k;
        if (items[k].Type != far::DI_TEXT) break;
      }
      // A short field may sit in front of its label ("[ ] Disk menu hotkey").
      if (i > 0 && IsEdit(items[i - 1].Type)) return i - 1;
    }
  }
  return -1;
}

}  // namespace

// ---- Message ----------------------------------------------------------------

int Host::SvcMessage(far::INT_PTR pn, far::DWORD flags, const char* help, const char* const* items, int count,
                     int buttons) {
  CheckPluginNumber("Message", pn);
  std::vector<std::string> lines;
  if (flags & far::FMSG_ALLINONE) {
    std::string all = items ? reinterpret_cast<const char*>(items) : "";
    std::size_t start = 0;
    for (;;) {
      auto nl = all.find('\n', start);
      lines.push_back(all.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
  } else {
    for (int i = 0; items && i < count; ++i) lines.push_back(items[i] ? items[i] : "");
  }
  std::string title = lines.empty() ? "" : lines.front();
  std::vector<std::string> body(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
  std::vector<std::string> labels;
  far::DWORD stock = (flags & kMessageButtonsMask) >> 16;
  if (stock > 0 && stock < kStockButtons.size()) {
    labels = kStockButtons[stock];
  } else {
    std::size_t n = buttons < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(buttons), body.size());
    labels.assign(body.end() - static_cast<std::ptrdiff_t>(n), body.end());
    body.resize(body.size() - n);
  }
  Record("message flags=" + Hex(flags) + " help=" + QuoteOrDash(help) + " title=" + Quote(title));
  for (const auto& l : body) Record("message-line " + Quote(l));
  for (std::size_t i = 0; i < labels.size(); ++i) Record("message-button " + std::to_string(i) + " " + Quote(labels[i]));
  if (labels.empty()) {
    Record("message-result -1 shown");  // a note without buttons does not wait
    return -1;
  }
  auto answer = answers_.NextMessage();
  if (!answer || answer->cancel) {
    Record(std::string("message-result -1 esc") + (answer ? "" : " (no answer queued)"));
    return -1;
  }
  int chosen = -1;
  if (answer->button.byIndex) {
    if (answer->button.index >= 0 && answer->button.index < static_cast<int>(labels.size())) chosen = answer->button.index;
  } else {
    for (std::size_t i = 0; i < labels.size(); ++i)
      if (Normalize(labels[i]) == Normalize(answer->button.label)) chosen = static_cast<int>(i);
  }
  if (chosen < 0 && answer->onlyWithButton) {
    answers_.PutBack(*answer);
    Record("message-result -1 esc (no answer queued)");
    return -1;
  }
  if (chosen < 0) {
    serviceError_ = true;
    serviceErrorText_ = "answer message: no button " + answer->button.Describe();
    Record("message-result -1 esc (no button " + answer->button.Describe() + ")");
    return -1;
  }
  Record("message-result " + std::to_string(chosen) + " " + Quote(labels[static_cast<std::size_t>(chosen)]));
  return chosen;
}

// ---- Dialog / DialogEx --------------------------------------------------------

int Host::SvcDialog(far::INT_PTR pn, int x1, int y1, int x2, int y2, const char* help, far::FarDialogItem* items,
                    int count, far::DWORD flags, far::FARWINDOWPROC proc, far::LONG_PTR param, bool extended) {
  CheckPluginNumber(extended ? "DialogEx" : "Dialog", pn);
  Record(std::string(extended ? "dialog-ex" : "dialog") + " items=" + std::to_string(count) + " x1=" + std::to_string(x1) +
         " y1=" + std::to_string(y1) + " x2=" + std::to_string(x2) + " y2=" + std::to_string(y2) +
         " help=" + QuoteOrDash(help) + " flags=" + Hex(flags));
  if (!items || count <= 0) {
    Record("dialog-result -1 esc (no items)");
    return -1;
  }
  for (int i = 0; i < count; ++i) {
    const auto& it = items[i];
    std::string r = "dialog-item " + std::to_string(i) + " " + TypeName(it.Type) + " " + Quote(ItemText(it));
    if (IsCheck(it.Type)) r += " checked=" + std::to_string(it.Param.Selected);
    if (IsEdit(it.Type) && (it.Flags & far::DIF_HISTORY) && it.Param.History) r += " history=" + Quote(it.Param.History);
    if (it.Focus) r += " focus";
    if (it.DefaultButton) r += " default";
    if (it.Flags) r += " flags=" + Hex(it.Flags);
    Record(r);
  }
  dialogs_.push_back({items, count});
  far::HANDLE dlg = &dialogs_.back();
  struct Pop {
    std::deque<DialogState>& d;
    ~Pop() { d.pop_back(); }
  } pop{dialogs_};
  if (proc) Guarded("DialogProc", [&] { return proc(dlg, kDnInitDialog, 0, param); });

  for (;;) {
    auto answer = answers_.NextDialog();
    if (!answer || answer->cancel) {
      if (proc) Guarded("DialogProc", [&] { return proc(dlg, kDnClose, -1, 0); });
      Record(std::string("dialog-result -1 esc") + (answer ? "" : " (no answer queued)"));
      return -1;
    }
    lastDialogAnswers_[ItemText(items[0])] = *answer;
    for (const auto& field : answer->fields) {
      int i = FindField(items, count, field.item);
      std::string error;
      if (i < 0) {
        error = "no field " + field.item.Describe();
      } else if (IsCheck(items[i].Type)) {
        int state = 0;
        if (!ParseCheck(field.value, state)) {
          error = "check box value must be 0, 1 or 2, not " + Quote(field.value);
        } else {
          if (items[i].Type == far::DI_RADIOBUTTON && state) {
            // Radio buttons of one group (started by DIF_GROUP) exclude each other.
            int first = i;
            while (first > 0 && !(items[first].Flags & far::DIF_GROUP) && items[first - 1].Type == far::DI_RADIOBUTTON) --first;
            for (int k = first; k < count && items[k].Type == far::DI_RADIOBUTTON; ++k) {
              if (k > first && (items[k].Flags & far::DIF_GROUP)) break;
              items[k].Param.Selected = 0;
            }
          }
          items[i].Param.Selected = state;
          Record("dialog-set " + std::to_string(i) + " checked=" + std::to_string(state));
        }
      } else if (IsEdit(items[i].Type)) {
        if (SetItemText(items[i], field.value, error)) Record("dialog-set " + std::to_string(i) + " " + Quote(field.value));
      } else {
        error = "item " + std::to_string(i) + " (" + TypeName(items[i].Type) + ") takes no value";
      }
      if (!error.empty()) {
        serviceError_ = true;
        serviceErrorText_ = "answer dialog: " + error;
        Record("dialog-result -1 esc (" + error + ")");
        return -1;
      }
    }
    int result = -1;
    if (answer->button) {
      if (answer->button->byIndex) {
        result = answer->button->index >= 0 && answer->button->index < count ? answer->button->index : -1;
      } else {
        for (int i = 0; i < count && result < 0; ++i)
          if (items[i].Type == far::DI_BUTTON && Normalize(ItemText(items[i])) == Normalize(answer->button->label)) result = i;
      }
      if (result < 0) {
        serviceError_ = true;
        serviceErrorText_ = "answer dialog: no button " + answer->button->Describe();
        Record("dialog-result -1 esc (no button " + answer->button->Describe() + ")");
        return -1;
      }
    } else {
      // Enter: the default button, else the focused item, else the first button.
      for (int i = 0; i < count && result < 0; ++i)
        if (items[i].DefaultButton) result = i;
      for (int i = 0; i < count && result < 0; ++i)
        if (items[i].Focus) result = i;
      for (int i = 0; i < count && result < 0; ++i)
        if (items[i].Type == far::DI_BUTTON) result = i;
      if (result < 0) result = 0;
    }
    if (proc) {
      auto allowed = Guarded("DialogProc", [&] { return proc(dlg, kDnClose, result, 0); });
      if (!allowed) {
        Record("dialog-close-refused " + std::to_string(result));
        continue;  // the next queued answer plays the user's next try
      }
    }
    Record("dialog-result " + std::to_string(result) + " " + Quote(ItemText(items[result])));
    return result;
  }
}

std::optional<DialogAnswer> Host::LastDialogAnswer(const std::string& title) const {
  auto it = lastDialogAnswers_.find(title);
  if (it == lastDialogAnswers_.end()) return std::nullopt;
  return it->second;
}

far::LONG_PTR Host::SvcSendDlgMessage(far::HANDLE dlg, int msg, int p1, far::LONG_PTR p2) {
  DialogState* state = nullptr;
  for (auto& d : dialogs_)
    if (&d == dlg) state = &d;
  Trace("call SendDlgMessage msg=" + std::to_string(msg) + " item=" + std::to_string(p1));
  if (!state) {
    Record("error SendDlgMessage: unknown dialog handle");
    return 0;
  }
  bool validItem = p1 >= 0 && p1 < state->count;
  far::FarDialogItem* item = validItem ? &state->items[p1] : nullptr;
  switch (msg) {
    case kDmClose: return 1;
    case kDmGetDlgData: return 0;
    case kDmSetDlgData: return 0;
    case kDmGetTextPtr: {
      if (!item) return 0;
      std::string text = ItemText(*item);
      if (p2) std::memcpy(reinterpret_cast<char*>(p2), text.c_str(), text.size() + 1);
      return static_cast<far::LONG_PTR>(text.size());
    }
    case kDmSetTextPtr: {
      if (!item || !p2) return 0;
      std::string error;
      std::string text = reinterpret_cast<const char*>(p2);
      if (!SetItemText(*item, text, error)) return 0;
      return static_cast<far::LONG_PTR>(text.size());
    }
    case kDmGetCheck: return item ? item->Param.Selected : 0;
    case kDmSetCheck: {
      if (!item) return 0;
      int old = item->Param.Selected;
      item->Param.Selected = static_cast<int>(p2);
      return old;
    }
    case kDmGetDlgItem:
      if (!item || !p2) return 0;
      std::memcpy(reinterpret_cast<void*>(p2), item, sizeof *item);
      return 1;
    default:
      return 0;
  }
}

// ---- Menu -------------------------------------------------------------------

int Host::SvcMenu(far::INT_PTR pn, int x, int y, int maxHeight, far::DWORD flags, const char* title, const char* bottom,
                  const char* help, const int* breakKeys, int* breakCode, const far::FarMenuItem* items, int count) {
  CheckPluginNumber("Menu", pn);
  if (breakCode) *breakCode = -1;
  int breakCount = 0;
  for (const int* k = breakKeys; k && *k; ++k) ++breakCount;
  Record("menu title=" + QuoteOrDash(title) + " bottom=" + QuoteOrDash(bottom) + " help=" + QuoteOrDash(help) +
         " flags=" + Hex(flags) + " items=" + std::to_string(count) + " breakkeys=" + std::to_string(breakCount) +
         " x=" + std::to_string(x) + " y=" + std::to_string(y) + " max-height=" + std::to_string(maxHeight));
  if (flags & kMenuUseExt) {
    Record("error Menu: FMENU_USEEXT items are not supported by the stand-in");
    Record("menu-result -1 esc");
    return -1;
  }
  std::vector<std::string> texts;
  int selected = 0;
  for (int i = 0; items && i < count; ++i) {
    texts.emplace_back(items[i].Text, strnlen(items[i].Text, sizeof items[i].Text));
    std::string r = "menu-item " + std::to_string(i) + " " + Quote(texts.back());
    if (items[i].Selected) r += " selected", selected = i;
    if (items[i].Checked) r += " checked";
    if (items[i].Separator) r += " separator";
    Record(r);
  }
  auto answer = answers_.NextMenu();
  if (!answer || answer->cancel) {
    Record(std::string("menu-result -1 esc") + (answer ? "" : " (no answer queued)"));
    return -1;
  }
  int chosen = -1;
  bool entryGiven = answer->entry.byIndex || !answer->entry.label.empty();
  if (!entryGiven) {
    chosen = selected;
  } else if (answer->entry.byIndex) {
    if (answer->entry.index >= 0 && answer->entry.index < count) chosen = answer->entry.index;
  } else {
    for (int i = 0; i < count && chosen < 0; ++i)
      if (Normalize(texts[static_cast<std::size_t>(i)]) == Normalize(answer->entry.label)) chosen = i;
  }
  std::string error;
  if (chosen < 0 || (count > 0 && items[chosen].Separator)) error = "no menu entry " + answer->entry.Describe();
  std::string keyText;
  if (error.empty() && !answer->breakKey.empty()) {
    auto key = ParseKey(answer->breakKey);
    int code = key ? (key->vk | static_cast<int>(key->state << 16)) : 0;
    int index = -1;
    for (int i = 0; key && i < breakCount; ++i)
      if (breakKeys[i] == code) index = i;
    if (index < 0) error = "key " + answer->breakKey + " is not a break key of this menu";
    else if (breakCode) *breakCode = index, keyText = " key=" + key->name + " break=" + std::to_string(index);
  }
  if (!error.empty()) {
    serviceError_ = true;
    serviceErrorText_ = "answer menu: " + error;
    Record("menu-result -1 esc (" + error + ")");
    return -1;
  }
  Record("menu-result " + std::to_string(chosen) + " " + Quote(texts[static_cast<std::size_t>(chosen)]) + keyText);
  return chosen;
}

// ---- InputBox ------------------------------------------------------------------

int Host::SvcInputBox(const char* title, const char* prompt, const char* history, const char* src, char* dest,
                      int destLength, const char* help, far::DWORD flags) {
  Record("input title=" + QuoteOrDash(title) + " prompt=" + QuoteOrDash(prompt) + " history=" + QuoteOrDash(history) +
         " text=" + QuoteOrDash(src) + " size=" + std::to_string(destLength) + " help=" + QuoteOrDash(help) +
         " flags=" + Hex(flags));
  auto answer = answers_.NextInput();
  if (!answer || answer->cancel) {
    Record(std::string("input-result esc") + (answer ? "" : " (no answer queued)"));
    return 0;
  }
  if (answer->text.empty() && !(flags & kFibEnableEmpty)) {
    serviceError_ = true;
    serviceErrorText_ = "answer input: the input box does not accept an empty text";
    Record("input-result esc (empty text not accepted)");
    return 0;
  }
  if (!dest || destLength <= 0) {
    Record("error InputBox: no destination buffer");
    return 0;
  }
  // far2l writes up to DestLength bytes and then a NUL.
  std::size_t n = std::min<std::size_t>(answer->text.size(), static_cast<std::size_t>(destLength));
  std::memcpy(dest, answer->text.data(), n);
  dest[n] = '\0';
  Record("input-result " + Quote(answer->text.substr(0, n)));
  return 1;
}

}  // namespace hostsim
