// text_file.h — writes the text a TextJob describes into a file.
//
// The header lines come first, each with a line break; then the query's
// rows in the job's form.  The row formats are plain functions of a field
// reader so they can be checked without a database.
#pragma once

#include <functional>
#include <string>

#include "connection/data_module.h"
#include "operations/object_text.h"

namespace operations {

// Line break of the lines this plugin writes itself (dictionary source
// lines carry their own).
inline constexpr const char* kTextLineBreak = "\r\n";

// A field of the current row by column name, as display text ("" when empty).
using FieldReader = std::function<std::string(const std::string& column)>;

std::string FormatParameterBlock(const FieldReader& field);
std::string FormatShortParameterBlock(const FieldReader& field);
std::string FormatAlertBlock(const FieldReader& field);
// "CREATE OR REPLACE TRIGGER " + DESCRIPTION, the row condition as
// "WHEN (...)" when there is one (the server keeps it apart from the
// description), a line break, then the body.
std::string FormatTriggerText(const std::string& description, const std::string& whenClause,
                              const std::string& body);
// Lines in front of the body in that text: a trigger's compile errors count
// their lines from the body's first line.
int TriggerBodyOffset(const std::string& description, const std::string& whenClause);
// The server writes a wrapped unit's first line as the unit, its name and
// the separate word "wrapped" ("PROCEDURE SCOTT.P wrapped"); such a unit
// cannot be edited back into the database.  A name that merely ends in
// WRAPPED (LOG_UNWRAPPED) is no sign.
bool IsWrappedSource(const std::string& firstColumn, const std::string& unitName);

struct WrittenText {
  bool hasRows = true;   // false: the query returned nothing (the text is unusable)
  bool wrapped = false;
  int headerLines = 0;
  // Lines between the header and the part the compile errors count in (a
  // trigger's CREATE line, description, condition and blank line).
  int bodyOffset = 0;
};

// Runs the job's query (when it has one) and writes the file.  Oracle and
// file errors are thrown.
WrittenText WriteObjectText(connection::TPluginDataModule& module, const TextJob& job, const std::string& path);

}  // namespace operations
