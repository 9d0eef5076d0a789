// item_builders.cpp — item construction from names and texts.
#include "catalog/item_builders.h"

#include "host/host_services.h"

namespace catalog {

void AddItem(panel::FindDataRequest& request, const std::string& name,
             const std::vector<std::string>& columns, bool directory) {
  far::PluginPanelItem& item = panel::AppendItem(request);
  panel::SetItemFileName(item, host::ToOem(name), kFixedNameChars);
  if (directory) item.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
  std::vector<std::string> oem;
  oem.reserve(columns.size());
  for (const std::string& c : columns) oem.push_back(host::ToOem(c));
  panel::SetItemCustomColumns(item, oem);
}

void AddItemPairs(panel::FindDataRequest& request,
                  const std::vector<std::pair<std::string, std::string>>& pairs, bool directories) {
  for (const auto& [name, value] : pairs) AddItem(request, name, {value}, directories);
}

}  // namespace catalog
