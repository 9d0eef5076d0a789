// Fuzzes the client stand-in's SQL tokenizer.
#include "fuzz_support.h"
#include "sql/lexer.h"
#include "sql/translate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  for (bool prefixOnly : {false, true}) {
    std::vector<ocisim::sql::Token> tokens;
    try {
      tokens = ocisim::sql::Tokenize(text, prefixOnly);
    } catch (const ocisim::sql::OraError& e) {
      // Only a full tokenization reports errors; a prefix stops before them.
      FUZZ_CHECK(!prefixOnly, e.what());
      // Unterminated string or quoted name, empty quoted name, bad character,
      // a name over 30 bytes.
      FUZZ_CHECK(e.code == 1756 || e.code == 1740 || e.code == 1741 || e.code == 911 || e.code == 972, e.what());
      continue;
    }
    FUZZ_CHECK(!tokens.empty() && tokens.back().type == ocisim::sql::Tok::End, "");
    std::size_t after = 0;
    for (const auto& t : tokens) {
      // Tokens are slices of the text, in order, without overlap.
      FUZZ_CHECK(t.begin >= after && t.begin <= t.end && t.end <= text.size(), t.text);
      if (t.type == ocisim::sql::Tok::End) FUZZ_CHECK(&t == &tokens.back(), "");
      after = t.end;
    }
    const auto few = ocisim::sql::Tokenize(text, true, 3);
    FUZZ_CHECK(few.size() <= 4, std::to_string(few.size()));
  }
  return 0;
}
