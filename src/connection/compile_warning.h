// compile_warning.h — what the command line says when the server stored a
// unit with compilation errors (OCI_SUCCESS_WITH_INFO, ORA-24344): SQL*Plus's
// words, e.g. "Warning: Procedure created with compilation errors.".
#pragma once

#include <string>

namespace connection {

// The server's code for "success with compilation error".
constexpr int kSuccessWithCompilationError = 24344;

// The warning for a statement (text in any code page; only ASCII keywords
// are read): CREATE [OR REPLACE] ... PROCEDURE/FUNCTION/PACKAGE [BODY]/
// TRIGGER/TYPE [BODY]/VIEW -> "created", ALTER ... -> "altered". "" when the
// statement is none of these.
std::string CompilationWarning(const std::string& statement);

}  // namespace connection
