// The frame of every OCI8 entry point: clears the error handle, runs the body,
// and turns an Oracle error (or anything unexpected) into an error record and
// OCI_ERROR, so that no exception ever leaves the library.
#pragma once

#include "handles.h"
#include "ora_error.h"

#include <exception>
#include <string>

namespace ocisim {

inline void SetRecord(ErrorH* err, int code, const std::string& text) {
  if (err) err->records = {ErrorRecord{code, text}};
}

template <class F>
sword Guarded(ErrorH* err, F&& body) {
  if (err) {
    err->records.clear();
    err->parse_offset = 0;
  }
  try {
    return body();
  } catch (const OraFailure& e) {
    SetRecord(err, e.code, e.what());
  } catch (const std::bad_alloc&) {
    SetRecord(err, 4030, "ORA-04030: out of process memory");
  } catch (const std::exception& e) {
    SetRecord(err, 600, std::string("ORA-00600: internal error code, arguments: [ocisim], [") + e.what() + "]");
  } catch (...) {
    SetRecord(err, 600, "ORA-00600: internal error code, arguments: [ocisim]");
  }
  return OCI_ERROR;
}

}  // namespace ocisim
