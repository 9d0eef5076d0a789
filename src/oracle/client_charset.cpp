// client_charset.cpp — see client_charset.h.
#include "oracle/client_charset.h"

#include "oracle/text_util.h"

namespace oracle {
namespace {

struct Charset {
  unsigned id;
  const char* name;
  int maxBytes;
};

// The character sets Oracle clients commonly run with.  Anything else is
// taken as the widest, which only costs buffer room.
constexpr Charset kCharsets[] = {
    {1, "US7ASCII", 1},       {31, "WE8ISO8859P1", 1},  {178, "WE8MSWIN1252", 1},
    {830, "JA16EUC", 3},      {832, "JA16SJIS", 2},     {846, "KO16MSWIN949", 2},
    {852, "ZHS16GBK", 2},     {854, "ZHS32GB18030", 4}, {865, "ZHT16BIG5", 2},
    {871, "UTF8", 3},         {873, "AL32UTF8", 4},     {2000, "AL16UTF16", 2},
};

}  // namespace

int CharsetMaxBytesById(unsigned id) {
  for (const Charset& c : kCharsets)
    if (c.id == id) return c.maxBytes;
  return 0;
}

int CharsetMaxBytesByName(const std::string& name) {
  const std::string upper = UpperCase(Trim(name));
  for (const Charset& c : kCharsets)
    if (upper == c.name) return c.maxBytes;
  return 0;
}

std::string CharsetOfNlsLang(const std::string& nlsLang) {
  const std::size_t dot = nlsLang.rfind('.');
  return dot == std::string::npos ? std::string() : Trim(nlsLang.substr(dot + 1));
}

}  // namespace oracle
