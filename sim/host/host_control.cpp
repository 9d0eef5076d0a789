// host_control.cpp — the Control service: panel information with items,
// updates and redraws, the command line, the other panel's directory and
// closing the plugin panel.
#include <cstring>
#include <string>

#include "host.h"

namespace hostsim {
namespace {

constexpr int kCmdLineBytes = 1024;  // far2l copies at most this much, NUL included
constexpr int kCtlSetSortMode = 19, kCtlSetSortOrder = 21, kCtlCheckPanelsExist = 28;
constexpr int kCtlGetPanelShortInfo = 26, kCtlGetAnotherPanelShortInfo = 27;
constexpr far::DWORD kPanelFlagReverse = 0x4;

const char* const kControlNames[] = {
    "CLOSEPLUGIN",     "GETPANELINFO",  "GETANOTHERPANELINFO", "UPDATEPANEL",    "UPDATEANOTHERPANEL",
    "REDRAWPANEL",     "REDRAWANOTHERPANEL", "SETANOTHERPANELDIR", "GETCMDLINE", "SETCMDLINE",
    "SETSELECTION",    "SETANOTHERSELECTION", "SETVIEWMODE",  "SETANOTHERVIEWMODE", "INSERTCMDLINE",
    "SETUSERSCREEN",   "SETPANELDIR"};

std::string ControlName(int command) {
  if (command >= 0 && command < static_cast<int>(std::size(kControlNames))) return kControlNames[command];
  return std::to_string(command);
}

}  // namespace

void Host::FillPanelInfo(far::PanelInfo& info, bool active) {
  std::memset(&info, 0, sizeof info);
  info.PanelType = 0;  // file panel
  info.Visible = 1;
  if (active) {
    info.Plugin = 1;
    info.PanelRect = {0, 1, 59, 30};
    activeExport_.Build(panel_.items(), panel_.current());
    info.PanelItems = activeExport_.Items();
    info.ItemsNumber = activeExport_.Count();
    info.SelectedItems = activeExport_.Selected();
    info.SelectedItemsNumber = activeExport_.SelectedCount();
    info.CurrentItem = panel_.current();
    info.Focus = 1;
    info.ViewMode = viewMode_;
    const auto* mode = CurrentMode();
    std::string types = mode && mode->types ? *mode->types : "N,S,D,T";
    std::string widths = mode && mode->widths ? *mode->widths : "0,10,0,5";
    std::strncpy(info.ColumnTypes, types.c_str(), sizeof info.ColumnTypes - 1);
    std::strncpy(info.ColumnWidths, widths.c_str(), sizeof info.ColumnWidths - 1);
    std::strncpy(info.CurDir, snap_.curDir.value_or("").c_str(), sizeof info.CurDir - 1);
    info.SortMode = sortMode_;
    info.Flags = sortReverse_ ? kPanelFlagReverse : 0;
  } else {
    auto& list = other_.list();
    info.Plugin = options_.otherPanel == "plugin" ? 1 : 0;
    info.Visible = options_.otherPanel == "hidden" ? 0 : 1;
    info.PanelRect = {60, 1, 119, 30};
    otherExport_.Build(list.items(), list.current());
    info.PanelItems = otherExport_.Items();
    info.ItemsNumber = otherExport_.Count();
    info.SelectedItems = otherExport_.Selected();
    info.SelectedItemsNumber = otherExport_.SelectedCount();
    info.CurrentItem = list.current();
    info.ViewMode = 2;
    std::strncpy(info.ColumnTypes, "N,S,D,T", sizeof info.ColumnTypes - 1);
    std::strncpy(info.ColumnWidths, "0,10,0,5", sizeof info.ColumnWidths - 1);
    std::strncpy(info.CurDir, other_.directory().c_str(), sizeof info.CurDir - 1);
    info.SortMode = kSortName;
    info.Flags = 0x20;  // PFLAGS_REALNAMES
  }
}

int Host::SvcControl(far::HANDLE plugin, int command, void* param) {
  Trace("call Control " + ControlName(command));
  if (plugin != far::InvalidHandle() && !(open_ && plugin == handle_)) {
    Record("error Control " + ControlName(command) + ": unknown panel handle");
    serviceError_ = true;
    serviceErrorText_ = "Control called with an unknown panel handle";
    return 0;
  }
  auto needPanel = [&]() {
    if (open_) return true;
    Record("error Control " + ControlName(command) + ": no plugin panel is open");
    return false;
  };
  switch (command) {
    case far::FCTL_CLOSEPLUGIN:
      if (!needPanel()) return 0;
      RequestClose("plugin");  // done when the plugin's current call returns
      Record("panel-close dir=" + QuoteOrDash(static_cast<const char*>(param)));
      return 1;
    case far::FCTL_GETPANELINFO:
    case far::FCTL_GETANOTHERPANELINFO: {
      if (!param) return 0;
      bool active = command == far::FCTL_GETPANELINFO;
      if (active && !needPanel()) return 0;
      FillPanelInfo(*static_cast<far::PanelInfo*>(param), active);
      return 1;
    }
    case kCtlGetPanelShortInfo:
    case kCtlGetAnotherPanelShortInfo: {
      // The same record without the item arrays.
      if (!param) return 0;
      bool active = command == kCtlGetPanelShortInfo;
      if (active && !needPanel()) return 0;
      auto* info = static_cast<far::PanelInfo*>(param);
      FillPanelInfo(*info, active);
      info->PanelItems = nullptr;
      info->SelectedItems = nullptr;
      return 1;
    }
    case far::FCTL_UPDATEPANEL: {
      if (!needPanel()) return 0;
      bool keep = param != nullptr;
      Record(std::string("panel-update keep-selection=") + (keep ? "1" : "0"));
      std::string current = panel_.CurrentItem() ? panel_.CurrentItem()->name : "";
      int index = panel_.current();
      if (!ReadItems(keep)) return 0;
      if (!panel_.SetCurrentByName(current)) panel_.SetCurrent(index);
      return 1;
    }
    case far::FCTL_UPDATEANOTHERPANEL: {
      std::string error;
      other_.SetDirectory(other_.directory(), error);
      Record("other-panel-update");
      return 1;
    }
    case far::FCTL_REDRAWPANEL: {
      if (!needPanel()) return 0;
      if (param) panel_.SetCurrent(static_cast<const far::PanelRedrawInfo*>(param)->CurrentItem);
      const HostItem* cur = panel_.CurrentItem();
      Record("panel-redraw current=" + std::to_string(panel_.current()) + " " + (cur ? Quote(cur->name) : "-"));
      // Drawing the panel offers the plugin the redraw event, as the hosts do.
      SendRedrawEvent();
      return 1;
    }
    case far::FCTL_REDRAWANOTHERPANEL:
      if (param) other_.list().SetCurrent(static_cast<const far::PanelRedrawInfo*>(param)->CurrentItem);
      return 1;
    case far::FCTL_SETANOTHERPANELDIR: {
      std::string error;
      const char* dir = static_cast<const char*>(param);
      if (!dir || !other_.SetDirectory(dir, error)) {
        Record("other-panel-dir " + QuoteOrDash(dir) + " -> failed");
        return 0;
      }
      Record("other-panel-dir " + Quote(other_.directory()) + " -> ok");
      return 1;
    }
    case far::FCTL_GETCMDLINE: {
      if (!param) return 0;
      std::size_t n = std::min<std::size_t>(cmdline_.size(), kCmdLineBytes - 1);
      std::memcpy(param, cmdline_.data(), n);
      static_cast<char*>(param)[n] = '\0';
      return 1;
    }
    case far::FCTL_SETCMDLINE:
      cmdline_ = param ? static_cast<const char*>(param) : "";
      Record("cmdline-set " + Quote(cmdline_));
      return 1;
    case far::FCTL_INSERTCMDLINE:
      if (param) cmdline_ += static_cast<const char*>(param);
      Record("cmdline-insert " + QuoteOrDash(static_cast<const char*>(param)) + " now=" + Quote(cmdline_));
      return 1;
    case far::FCTL_SETSELECTION: {
      if (!needPanel() || !param) return 0;
      const auto* info = static_cast<const far::PanelInfo*>(param);
      auto& items = panel_.items();
      for (int i = 0; info->PanelItems && i < info->ItemsNumber && i < static_cast<int>(items.size()); ++i)
        items[static_cast<std::size_t>(i)].selected =
            (info->PanelItems[i].Flags & far::PPIF_SELECTED) && !items[static_cast<std::size_t>(i)].IsDots();
      Record("panel-selection count=" + std::to_string(panel_.SelectedCount()));
      return 1;
    }
    case far::FCTL_SETVIEWMODE:
      if (!needPanel() || !param) return 0;
      SetViewMode(*static_cast<const int*>(param));
      return 1;
    case far::FCTL_SETPANELDIR:
      if (!needPanel() || !param) return 0;
      EnterDirectory(static_cast<const char*>(param));
      return 1;
    case kCtlSetSortMode:
      if (!needPanel() || !param) return 0;
      sortMode_ = *static_cast<const int*>(param);
      SortItems(panel_.items(), sortMode_, sortReverse_);
      Record("panel-sort mode=" + std::to_string(sortMode_));
      return 1;
    case kCtlSetSortOrder:
      if (!needPanel() || !param) return 0;
      sortReverse_ = *static_cast<const int*>(param) != 0;
      SortItems(panel_.items(), sortMode_, sortReverse_);
      Record(std::string("panel-sort reverse=") + (sortReverse_ ? "1" : "0"));
      return 1;
    case kCtlCheckPanelsExist:
      return 1;
    default:
      Record("unsupported Control " + ControlName(command));
      return 0;
  }
}

}  // namespace hostsim
