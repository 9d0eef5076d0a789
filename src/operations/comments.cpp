// comments.cpp — the Ctrl+Z dialogue: target, current comment, the dialog
// of ten wrapped rows (or the editor for a comment longer than that), and
// the COMMENT statement.  A failed write shows the error and brings the
// user's text back, so nothing typed is lost.
#include "operations/comments.h"

#include <optional>
#include <stdexcept>

#include "host/host_services.h"
#include "host/messages.h"
#include "host/text_utils.h"
#include "operations/comments_text.h"
#include "operations/current_item.h"
#include "operations/drop_names.h"
#include "operations/text_editing.h"
#include "platform/platform.h"

namespace operations {
namespace {

constexpr std::size_t kRows = 10;
constexpr std::size_t kRowWidth = 57;

std::optional<CommentTarget> ChooseTarget(panel::TOracleController& controller, const CurrentItem& item) {
  auto L = [&](std::size_t n) { return controller.GetPathLevel(n); };
  const bool owner3 = !L(3).empty() && L(3)[0] != '.';
  const bool tablesOrViews = L(2) == "TABLES" || L(2) == "VIEWS";
  int row = 0;
  if (tablesOrViews && owner3 && L(4).empty()) row = 1;
  else if (L(2) == "TABLES" && (L(3) == ".NESTED TABLES" || L(3) == ".OBJECT TABLES") && !L(4).empty() &&
           L(5).empty())
    row = 2;
  else if (tablesOrViews && owner3 && L(5) == ".COLUMNS" && L(6).empty()) row = 3;
  else if (L(2) == "TABLES" && L(6) == ".COLUMNS" && L(7).empty()) row = 4;
  if (row == 0) return std::nullopt;

  connection::TPluginDataModule& module = controller.DataModule();
  const std::vector<std::string> exact = ExactPathLevels(controller);
  auto E = [&](std::size_t n) { return n >= 1 && n <= exact.size() ? exact[n - 1] : std::string(); };
  CommentTarget t;
  switch (row) {
    case 1: t = {E(3), connection::ExactName(module, item.name, connection::ObjectLookup(E(3))), ""}; break;
    case 2: t = {E(4), connection::ExactName(module, item.name, connection::ObjectLookup(E(4))), ""}; break;
    case 3: t = {E(3), E(4), connection::ExactName(module, item.name, connection::ColumnLookup(E(3), E(4)))}; break;
    default: t = {E(4), E(5), connection::ExactName(module, item.name, connection::ColumnLookup(E(4), E(5)))}; break;
  }
  return t;
}

std::string ReadComment(connection::TPluginDataModule& module, const CommentTarget& t) {
  auto q = module.CreateNewOracleQuery(t.column.empty() ? std::vector<std::string>{"NAME", "OWNER"}
                                                        : std::vector<std::string>{"NAME", "OWNER", "COLUMN_NAME"});
  if (!q) throw std::runtime_error("the comment could not be read");
  q->SetVariable("NAME", t.table);
  q->SetVariable("OWNER", t.owner);
  if (t.column.empty()) {
    q->SetSQL("SELECT COMMENTS FROM " + module.Prefix() +
              "TAB_COMMENTS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME");
  } else {
    q->SetVariable("COLUMN_NAME", t.column);
    q->SetSQL("SELECT COMMENTS FROM " + module.Prefix() +
              "COL_COMMENTS WHERE OWNER = :OWNER AND TABLE_NAME = :NAME AND COLUMN_NAME = :COLUMN_NAME");
  }
  q->Execute();
  return q->Eof() ? std::string() : q->FieldAsString("COMMENTS");
}

// The dialog of ten rows; rows and the check box keep what the user set,
// so a failed write can show them again.
struct DialogState {
  std::vector<std::string> rows;
  bool removeBreaks = true;
};

bool CommentDialog(const std::string& description, DialogState& state, std::string& text) {
  state.rows.resize(kRows);
  using host::DialogItemSpec;
  std::vector<DialogItemSpec> items;
  items.push_back({far::DI_DOUBLEBOX, 3, 1, 65, false, {}, far::DIF_LEFTTEXT, "&Comment for " + description});
  for (std::size_t i = 0; i < kRows; ++i)
    items.push_back({far::DI_EDIT, 5, static_cast<int>(3 + i), 63, i == 0, {}, far::DIF_EDITOR, &state.rows[i]});
  items.push_back({far::DI_CHECKBOX, 5, 14, 0, false, &state.removeBreaks, 0,
                   std::string("&Remove LF/CR before saving")});
  items.push_back({far::DI_TEXT, 0, 15, 0, false, {}, far::DIF_SEPARATOR, std::string()});
  items.push_back({far::DI_BUTTON, 0, 16, 0, false, {}, far::DIF_CENTERGROUP, std::string("&Save")});
  items.push_back({far::DI_BUTTON, 0, 16, 0, false, {}, far::DIF_CENTERGROUP, std::string("Cance&l")});
  const int cancel = static_cast<int>(items.size()) - 1;
  host::DialogActive = true;
  int result = -1;
  try {
    result = host::RunDialog(nullptr, items);
  } catch (...) {
    host::DialogActive = false;
    throw;
  }
  host::DialogActive = false;
  if (result < 0 || result == cancel) return false;
  text = JoinCommentRows(state.rows, state.removeBreaks);
  return true;
}

// A comment longer than the dialog's ten rows is edited whole in the host's
// editor.  The file holds the comment exactly as stored (line breaks,
// indentation and trailing blanks kept); what the editor saves is what is
// written back, byte for byte but for the code page.
bool CommentEditor(const std::string& description, std::string& text) {
  const std::string path = platform::CreateTempFile("SQL");
  if (path.empty() || !platform::WriteFileAtomic(path, host::ToOem(text))) {
    if (!path.empty()) platform::RemoveFile(path);
    host::ShowErrorMessage("Error of creation temporary file");
    return false;
  }
  const far::PluginStartupInfo& h = host::Host();
  const int r = h.Editor != nullptr ? h.Editor(host::ToOem(path).c_str(),
                                               host::ToOem("Comment for " + description).c_str(), 0, 0, -1, -1, 0,
                                               0, 0)
                                    : 0;
  bool saved = false;
  std::string content;
  if (r == far::EEC_MODIFIED && platform::ReadWholeFile(path, content)) {
    text = host::FromOem(content);
    saved = true;
  }
  platform::RemoveFile(path);
  return saved;
}

bool WriteComment(connection::TPluginDataModule& module, const CommentTarget& t, const std::string& text) {
  try {
    auto q = module.CreateNewOracleQuery({});
    if (!q) return false;
    q->SetSQL(CommentStatement(t, text));
    q->Execute();
    return true;
  } catch (const std::exception& e) {
    host::ShowErrorMessage(e.what());
    return false;
  }
}

}  // namespace

void EditComment(panel::TOracleController& controller) {
  connection::TPluginDataModule& module = controller.DataModule();
  if (!module.Connected()) return;
  const CurrentItem item = ReadCurrentItem(controller);
  if (!item.valid || item.IsUpDir()) return;
  std::optional<CommentTarget> target = ChooseTarget(controller, item);
  if (!target) return;
  std::string text;
  try {
    text = ReadComment(module, *target);
  } catch (const std::exception& e) {
    host::ShowErrorMessage(e.what());
    return;
  }
  const std::string description = target->Description();
  std::vector<std::string> rows = WrapComment(host::ToOem(text), kRowWidth);
  const bool useEditor = rows.size() > kRows;
  DialogState state;
  for (std::string& r : rows) state.rows.push_back(host::FromOem(r));
  // Until the comment is written or the user gives up: a failed write
  // shows the error, then the user's own text again.
  for (;;) {
    std::string edited = text;
    if (useEditor ? !CommentEditor(description, edited) : !CommentDialog(description, state, edited)) return;
    if (WriteComment(module, *target, edited)) break;
    text = edited;
  }
  RefreshPanel(controller);
}

}  // namespace operations
