// Fuzzes the ":NAME" variable scanner and the substitution built on it, and
// holds its findings against the binds the client stand-in's SQL tokenizer
// sees in the same text.
#include <set>
#include <utility>

#include "fuzz_support.h"
#include "oracle/text_util.h"
#include "oracle/variable_scanner.h"
#include "sql/lexer.h"
#include "sql/translate.h"

namespace {

// The binds the tokenizer finds, where it accepts the text.  Skipped: texts
// with a CR (a "--" comment ends at LF there), a digit right before q'
// (number or name, only a full tokenizer knows) and binds written :"x",
// which the plugin never declares.
bool TokenizerBinds(const std::string& text, std::vector<std::pair<std::size_t, std::string>>& binds) {
  if (text.find('\r') != std::string::npos) return false;
  for (std::size_t i = 1; i + 1 < text.size(); ++i)
    if ((text[i] == 'q' || text[i] == 'Q') && text[i + 1] == '\'' && text[i - 1] >= '0' && text[i - 1] <= '9')
      return false;
  std::vector<ocisim::sql::Token> tokens;
  try {
    tokens = ocisim::sql::Tokenize(text);
  } catch (const ocisim::sql::OraError&) {
    return false;
  }
  for (const auto& t : tokens) {
    if (t.type != ocisim::sql::Tok::Bind) continue;
    if (text[t.begin + 1] == '"') return false;
    binds.emplace_back(t.begin, t.text);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  const auto all = oracle::FindVariables(text, true);
  std::set<std::string> names;
  std::size_t after = 0;
  for (const auto& r : all) {
    // Each reference is a colon and the name right after it, in text order.
    FUZZ_CHECK(r.position >= after && r.position < text.size() && text[r.position] == ':', r.name);
    FUZZ_CHECK(r.length > 0 && r.position + 1 + r.length <= text.size(), r.name);
    FUZZ_CHECK(oracle::UpperCase(text.substr(r.position + 1, r.length)) == r.name, r.name);
    FUZZ_CHECK(r.name.find_first_of(":'\"-/ \t\r\n") == std::string::npos, r.name);
    after = r.position + 1 + r.length;
    names.insert(r.name);
  }
  std::vector<std::pair<std::size_t, std::string>> expected;
  if (TokenizerBinds(text, expected)) {
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const auto& r : all) found.emplace_back(r.position, r.name);
    FUZZ_CHECK(found == expected, std::to_string(found.size()) + " found, " + std::to_string(expected.size()) + " expected");
  }

  const auto distinct = oracle::FindVariables(text, false);
  FUZZ_CHECK(distinct.size() == names.size(), "");
  for (const auto& r : distinct) FUZZ_CHECK(names.count(r.name) == 1, r.name);

  // Every reference replaced, and nothing else touched: substituting a
  // marker byte leaves exactly one marker per reference.
  if (text.find('\x01') == std::string::npos) {
    std::string replaced = oracle::SubstituteVariables(text, [](const std::string&, std::string& out) {
      out = "\x01";
      return true;
    });
    std::size_t markers = 0;
    for (char c : replaced) markers += c == '\x01';
    FUZZ_CHECK(markers == all.size(), replaced);
    std::size_t removed = 0;
    for (const auto& r : all) removed += r.length;
    FUZZ_CHECK(replaced.size() == text.size() - removed, replaced);
  }
  return 0;
}
