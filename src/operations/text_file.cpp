// text_file.cpp — the text file behind F3 / F4: header lines, then the
// rows of the job's query in its form (source lines as they are, a trigger's
// description and body, parameter-file blocks, alert blocks).
#include "operations/text_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>
#include <stdexcept>

#include "connection/field_text.h"
#include "host/text_utils.h"
#include "platform/platform.h"

namespace operations {
namespace {

// Writes through stdio and notices a failed write, so a short file is
// reported instead of shown.
class TextWriter {
 public:
  explicit TextWriter(const std::string& path) : path_(path), file_(platform::OpenFile(path, "wb")) {
    if (file_ == nullptr) throw std::runtime_error("cannot write the file " + path);
  }
  ~TextWriter() {
    if (file_ != nullptr) std::fclose(file_);
  }
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void Put(const std::string& text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail();
  }
  void Line(const std::string& text) { Put(text + kTextLineBreak); }
  void Close() {
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) Fail();
  }

 private:
  [[noreturn]] void Fail() { throw std::runtime_error("cannot write the file " + path_); }
  std::string path_;
  std::FILE* file_;
};

std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& l : lines) out += l + kTextLineBreak;
  return out;
}

std::string OptionalLine(const std::string& label, const std::string& value) {
  return value.empty() ? std::string() : label + value + kTextLineBreak;
}

}  // namespace

std::string FormatParameterBlock(const FieldReader& f) {
  return Lines({"# " + f("DESCRIPTION"), "# type: " + f("TYPE_NAME")}) +
         OptionalLine("# Whether the parameter value is the default: ", f("DEFAULT_NAME")) +
         OptionalLine("# the parameter can be changed with ALTER SESSION: ", f("ISSES")) +
         OptionalLine("# the parameter can be changed with ALTER SYSTEM: ", f("ISSYS")) +
         OptionalLine("# Indicates how the parameter was modified: ", f("ISMODIFIED_NAME")) +
         OptionalLine("# Indicates that the rdbms adjusted the input value to a more suitable value: ",
                      f("ISADJUSTED_NAME")) +
         Lines({f("NAME") + " = " + f("VALUE"), ""});
}

std::string FormatShortParameterBlock(const FieldReader& f) {
  return Lines({"# " + f("DESCRIPTION"), "# type: " + f("TYPE")}) +
         OptionalLine("# Whether the parameter value is the default: ", f("ISDEFAULT")) +
         Lines({f("NAME") + " = " + f("VALUE"), ""});
}

std::string FormatAlertBlock(const FieldReader& f) {
  return Lines({"[" + f("NAME") + "] SID [" + f("SID") + "] Changed [" + f("CHANGED") + "]", f("MESSAGE"), ""});
}

std::string FormatTriggerText(const std::string& description, const std::string& whenClause,
                              const std::string& body) {
  std::string text = "CREATE OR REPLACE TRIGGER " + description;
  if (!whenClause.empty()) text += "WHEN (" + whenClause + ")";
  return text + kTextLineBreak + body;
}

int TriggerBodyOffset(const std::string& description, const std::string& whenClause) {
  std::string head = FormatTriggerText(description, whenClause, "");
  return static_cast<int>(std::count(head.begin(), head.end(), '\n'));
}

bool IsWrappedSource(const std::string& firstColumn, const std::string& unitName) {
  // The server writes a wrapped unit's first line as
  // "[CREATE [OR REPLACE]] <kind> [schema.]name wrapped": read exactly that
  // shape, so a name or a comment that merely contains the word is not it.
  const std::string first = firstColumn.substr(0, firstColumn.find('\n'));
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < first.size() && std::isspace(static_cast<unsigned char>(first[i]))) ++i;
  };
  auto word = [&] {  // an unquoted word, upper-cased
    skipBlanks();
    std::size_t start = i;
    while (i < first.size() && (std::isalnum(static_cast<unsigned char>(first[i])) || first[i] == '_' ||
                                first[i] == '$' || first[i] == '#'))
      ++i;
    return host::UpperCase(first.substr(start, i - start));
  };
  auto name = [&](std::string& out) {  // an identifier or a quoted name, as written
    skipBlanks();
    if (i < first.size() && first[i] == '"') {
      std::size_t close = first.find('"', i + 1);
      if (close == std::string::npos) return false;
      out = first.substr(i + 1, close - i - 1);
      i = close + 1;
      return true;
    }
    out = word();
    return !out.empty();
  };
  std::size_t save = i;
  std::string kind = word();
  if (kind == "CREATE") {
    save = i;
    if (word() == "OR") {
      if (word() != "REPLACE") return false;
    } else {
      i = save;
    }
    kind = word();
  }
  static const char* const kKinds[] = {"PROCEDURE", "FUNCTION", "PACKAGE", "TYPE", "TRIGGER", "LIBRARY"};
  if (std::find(std::begin(kKinds), std::end(kKinds), kind) == std::end(kKinds)) return false;
  save = i;
  if ((kind == "PACKAGE" || kind == "TYPE") && word() != "BODY") i = save;
  std::string unit;
  if (!name(unit)) return false;
  skipBlanks();
  if (i < first.size() && first[i] == '.') {
    ++i;
    if (!name(unit)) return false;
  }
  // A quoted name compares as written, an unquoted one in upper case.
  if (unit != unitName && host::UpperCase(unit) != host::UpperCase(unitName)) return false;
  if (word() != "WRAPPED") return false;
  skipBlanks();
  return i == first.size();
}

WrittenText WriteObjectText(connection::TPluginDataModule& module, const TextJob& job, const std::string& path) {
  WrittenText result;
  result.headerLines = static_cast<int>(job.header.size());
  std::unique_ptr<oracle::TOracleQuery> query;
  if (job.queryBased) {
    if (job.catalogueNumber >= 0) {
      query = module.CreateOracleQueryByKind(job.catalogueNumber);
      if (!query || query->SQL.empty()) throw std::runtime_error("no statement for the text");
      query->SQL.front() += " ORDER BY NAME";
    } else {
      std::vector<std::string> names;
      for (const auto& v : job.variables) names.push_back(v.first);
      query = module.CreateNewOracleQuery(names);
      if (!query) throw std::runtime_error("the query could not be created");
      query->SetSQL(job.sql);
    }
    for (const auto& v : job.variables) query->SetVariable(v.first, v.second);
    query->Execute();
  }

  TextWriter out(path);
  for (const std::string& line : job.header) out.Line(line);
  if (query && query->Eof()) {
    result.hasRows = false;
    return result;
  }
  if (query && job.compilable && job.form == TextForm::Plain)
    result.wrapped = IsWrappedSource(query->FieldAsString(0), job.name);
  if (query && job.form == TextForm::Trigger)
    result.bodyOffset = TriggerBodyOffset(query->FieldAsString("DESCRIPTION"), query->FieldAsString("WHEN_CLAUSE"));
  const oracle::TOracleQuery* q = query.get();
  FieldReader field = [q](const std::string& column) { return connection::GetFieldText(*q, column); };
  while (query && !query->Eof()) {
    switch (job.form) {
      case TextForm::Parameters: out.Put(FormatParameterBlock(field)); break;
      case TextForm::ShortParameters: out.Put(FormatShortParameterBlock(field)); break;
      case TextForm::Alerts: out.Put(FormatAlertBlock(field)); break;
      case TextForm::Trigger:
        out.Put(FormatTriggerText(query->FieldAsString("DESCRIPTION"), query->FieldAsString("WHEN_CLAUSE"),
                                  query->FieldAsString("TRIGGER_BODY")));
        break;
      case TextForm::Plain: out.Put(query->FieldAsString(0)); break;
    }
    query->Next();
  }
  out.Close();
  return result;
}

}  // namespace operations
