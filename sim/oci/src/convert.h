// Conversions between the engine's values and the client's buffers in OCI's
// external data types (SQLT_*): what a define receives at fetch and what a
// bind hands over at execute. Shared by the OCI8 and OCI7 entry points.
#pragma once

#include "ocisim/oci_types.h"
#include "value.h"

#include <string>

namespace ocisim {

// Oracle's text of a number: "10", "1.5", ".5", "-.25".
std::string FormatNumber(const Value& v);
// The text a column value reads as when fetched into a character buffer
// (dates in the default DD-MON-RR form, RAW as hex).
std::string ValueText(const Value& v, int column_type);

struct OutResult {
  sb2 indicator = 0;  // 0, -1 for NULL, or the untruncated length
  ub4 length = 0;     // bytes written (without a terminating NUL)
  ub2 rcode = 0;      // 0, 1405 (NULL) or 1406 (truncated)
};

// Writes one value into a define buffer of `size` bytes. Throws ORA-01722 /
// ORA-00932 when the value cannot take that form.
OutResult ConvertOut(const Value& v, int column_type, ub2 dty, void* buf, sb4 size);

// Writes raw characters into a character define (SQLT_STR, CHR, AFC, AVC,
// LNG); false when dty is not a character type.
bool PutChars(const char* p, size_t n, ub2 dty, void* buf, sb4 size, OutResult* r);

// Fast forms for fetches: the default date text (9 bytes) of an internal date,
// and Oracle's text of a double; 0 when the value needs the general path.
size_t DefaultDateChars(const char* internal, size_t n, char out[9]);
size_t NumberChars(double d, char* out, size_t size);

// Reads one bind buffer. `len` is the element length (alenp or value_sz).
Value ConvertIn(ub2 dty, const void* buf, sb4 len);

// 7-byte DATE <-> internal 'YYYY-MM-DD HH:MM:SS'.
bool EncodeDate7(const std::string& internal, ub1 out[7]);
std::string DecodeDate7(const ub1 in[7]);

// Oracle NUMBER internal bytes <-> value (for SQLT_NUM and SQLT_VNU).
int EncodeOraNumber(const Value& v, ub1 out[22]);
Value DecodeOraNumber(const ub1* in, int len);

}  // namespace ocisim
