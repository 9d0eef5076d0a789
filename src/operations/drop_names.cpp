// drop_names.cpp — the path levels and items of F8 and comments by the one
// name rule (connection/exact_names.h).
#include "operations/drop_names.h"

#include "host/host_services.h"
#include "host/text_utils.h"
#include "operations/exact_names.h"

namespace operations {

connection::NameLookup LookupFor(const NameScope& scope) {
  switch (scope.kind) {
    case NameKind::Object:
    case NameKind::Library:
      if (scope.owner.empty()) break;
      return connection::ObjectLookup(scope.owner, scope.type.empty() ? std::vector<std::string>{}
                                                                      : std::vector<std::string>{scope.type});
    case NameKind::Column:
      if (scope.owner.empty() || scope.table.empty()) break;
      return connection::ColumnLookup(scope.owner, scope.table);
    case NameKind::Constraint:
      if (scope.owner.empty()) break;
      return connection::ConstraintLookup(scope.owner);
    default: break;
  }
  return connection::NameIn(scope.kind);
}

std::string ExactItemName(connection::TPluginDataModule& module, const std::string& shown, const NameScope& scope) {
  return connection::ExactName(module, shown, LookupFor(scope));
}

std::vector<std::string> ExactPathLevels(panel::TOracleController& controller) {
  connection::TPluginDataModule& module = controller.DataModule();
  const std::vector<std::string> written = ExactPathLevels(host::FromOem(controller.CurrentDirectory()));
  std::vector<std::string> levels;
  for (std::size_t n = 1; n <= controller.PathLevels().size(); ++n) levels.push_back(controller.GetPathLevel(n));
  auto Written = [&](std::size_t n) -> const std::string* {
    // written[0] is L2; a level that differs from the compared one by more
    // than its letter case is not the same level.
    if (n < 2 || n - 2 >= written.size() || n > levels.size()) return nullptr;
    return host::UpperCase(written[n - 2]) == levels[n - 1] ? &written[n - 2] : nullptr;
  };
  // Only owners and tables reach statements.  Below a branch such as
  // "\Tables\.NESTED TABLES" the owner is L4 and the table L5; otherwise the
  // owner is L3 and the table L4.
  const bool branch = levels.size() >= 3 && !levels[2].empty() && levels[2][0] == '.';
  const std::size_t ownerAt = branch ? 4 : 3;
  if (const std::string* w = Written(ownerAt))
    levels[ownerAt - 1] = connection::ExactName(module, *w, connection::UserLookup());
  if (const std::string* w = Written(ownerAt + 1))
    levels[ownerAt] = connection::ExactName(module, *w, connection::ObjectLookup(levels[ownerAt - 1]));
  return levels;
}

}  // namespace operations
