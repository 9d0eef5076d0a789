// text_utils.h — small text helpers used across the plugin.
#pragma once

#include <string>
#include <vector>

namespace host {

// Wraps text to lines of at most `maxCol` characters, breaking after
// blanks, hyphens and tabs, never inside single or double quotes.  Line
// breaks already in the text are kept.  A word longer than a line stays whole.
std::vector<std::string> WrapLines(const std::string& text, std::size_t maxCol);

// "EMP.TABLE" gives "EMP"; a name without a dot (or whose last dot is
// followed by a backslash or colon) is only uppercased.
std::string StripExtensionUpper(const std::string& text);
// Removes one trailing line feed, then one trailing carriage return.
std::string TrimTrailingLineBreak(std::string text);
std::string Trim(const std::string& text);
// "OWNER.NAME.TYPE": the text after the last dot ("" without a dot), and
// the text before it (all of it without a dot).
std::string AfterDot(const std::string& text);
std::string BeforeDot(const std::string& text);
std::string UpperCase(std::string text);

}  // namespace host
