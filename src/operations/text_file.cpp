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

namespace operations {
namespace {

// Writes through stdio and notices a failed write, so a short file is
// reported instead of shown.
class TextWriter {
 public:
  explicit TextWriter(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
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
  // Only the first line counts; a wrapped unit may come as one row.
  std::string first = firstColumn.substr(0, firstColumn.find('\n'));
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < first.size()) {
    while (i < first.size() && std::isspace(static_cast<unsigned char>(first[i]))) ++i;
    std::size_t start = i;
    while (i < first.size() && !std::isspace(static_cast<unsigned char>(first[i]))) ++i;
    if (i > start) words.push_back(first.substr(start, i - start));
  }
  const std::string name = host::UpperCase(unitName);
  for (std::size_t k = 1; k < words.size(); ++k) {
    if (host::UpperCase(words[k]) != "WRAPPED") continue;
    // The word before names the unit, perhaps with its schema, perhaps quoted.
    std::string before = words[k - 1];
    std::size_t dot = before.rfind('.');
    if (dot != std::string::npos) before = before.substr(dot + 1);
    before.erase(std::remove(before.begin(), before.end(), '"'), before.end());
    if (host::UpperCase(before) == name) return true;
  }
  return false;
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
