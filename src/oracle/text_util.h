// text_util.h — small text helpers shared by the Oracle client layer.
//
// ASCII-only case folding on purpose: Oracle names, registry paths and file
// names compared here are ASCII, and bytes of 128 and above must stay intact.
#pragma once

#include <string>
#include <string_view>

namespace oracle {

std::string UpperCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Trim(std::string_view text);
// Appends `name` to `dir` with one `separator` between them.
std::string AppendPath(const std::string& dir, const std::string& name, char separator);
// Every line break (LF, CR LF, or a lone CR) becomes CR LF.
std::string ToCrLf(std::string_view text);

}  // namespace oracle
