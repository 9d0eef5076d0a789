// client_charset.h — how many bytes one character of the client's character
// set may take, which decides how large a fetch buffer a text column needs
// (the server converts every value into the client's character set, so a
// VARCHAR2(40) of the server may arrive as 120 bytes in UTF8).
#pragma once

#include <string>

namespace oracle {

// What a character set whose width is not known may take: the widest
// Oracle client character set (AL32UTF8) uses four bytes.
inline constexpr int kWidestCharacter = 4;

// The most bytes per character of the character set with this Oracle id
// (OCI_ATTR_CHARSET_ID of the environment) or name ("AL32UTF8"); 0 when
// the set is not known here.
int CharsetMaxBytesById(unsigned id);
int CharsetMaxBytesByName(const std::string& name);

// The character set named by an NLS_LANG value ("AMERICAN_AMERICA.UTF8" ->
// "UTF8"); "" when the value names none.
std::string CharsetOfNlsLang(const std::string& nlsLang);

}  // namespace oracle
