// current_item.cpp — reading the current item and refreshing the panel.
#include "operations/current_item.h"

#include <cstring>
#include <memory>

#include "host/host_services.h"

namespace operations {

CurrentItem ReadCurrentItem(panel::TOracleController& controller) {
  CurrentItem item;
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control == nullptr) return item;
  // PanelInfo is large on far2l; keep it off the stack.
  auto info = std::make_unique<far::PanelInfo>();
  if (!h.Control(&controller, far::FCTL_GETPANELINFO, info.get())) return item;
  item.selectedCount = info->SelectedItemsNumber;
  item.index = info->CurrentItem;
  if (info->PanelItems == nullptr || info->CurrentItem < 0 || info->CurrentItem >= info->ItemsNumber)
    return item;
  const far::PluginPanelItem& p = info->PanelItems[info->CurrentItem];
  item.valid = true;
  item.name = host::FromOem(std::string(p.FindData.cFileName,
                                        strnlen(p.FindData.cFileName, sizeof(p.FindData.cFileName))));
  item.directory = (p.FindData.dwFileAttributes & far::FILE_ATTRIBUTE_DIRECTORY) != 0;
  for (int c = 0; p.CustomColumnData != nullptr && c < p.CustomColumnNumber; ++c)
    item.columns.push_back(host::FromOem(p.CustomColumnData[c] ? p.CustomColumnData[c] : ""));
  return item;
}

void RefreshPanel(panel::TOracleController& controller) {
  const far::PluginStartupInfo& h = host::Host();
  if (h.Control == nullptr) return;
  h.Control(&controller, far::FCTL_UPDATEPANEL, nullptr);
  h.Control(&controller, far::FCTL_REDRAWPANEL, nullptr);
}

}  // namespace operations
