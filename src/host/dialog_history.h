// dialog_history.h — adding entries to the host's dialog input histories,
// so that the plugin's dialogs offer values the user never typed (network
// aliases, export program names).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host {

// Adds `entry` to the history `name` unless it is there already (compared
// trimmed and without regard to case); drops blank entries on the way.
void AddToDialogHistory(const std::string& name, const std::string& entry);

// far2l keeps histories in a file of its profile; these are its parts,
// exposed for tests.
std::string Far2lConfigDirectory();  // "" when it cannot be determined
// Adds the entry to the history file's section for `name`; false when the
// file could not be written.  A missing file is created.
bool AddToHistoryFile(const std::string& path, const std::string& name, const std::string& entry);
// The same on the file's text: `stamp` is the new entry's time as the file
// writes it; nullopt when the entry cannot be stored.
std::optional<std::string> AddToHistoryText(const std::string& fileText, const std::string& name,
                                            const std::string& entry, const std::string& stamp);
// The entries of the history `name` in the file's text, in the file's order.
std::vector<std::string> HistoryTextEntries(const std::string& fileText, const std::string& name);

}  // namespace host
