// result_format.cpp — query rows in columns as SQL*Plus lays them out:
// character columns as wide as declared (heading cut to fit), numbers
// NUMWIDTH wide (a longer heading widens them) and right-justified, dates
// as wide as their default text, LONG and LOB columns SET LONG wide; one
// blank between columns; columns that do not fit in LINESIZE move whole to
// the next line; a value longer than its column wraps inside it.
#include <algorithm>

#include "engine.h"

namespace sqlplus {

RowPrinter::RowPrinter(const Settings& s, const std::vector<ResultColumn>& cols) : s_(s), cols_(cols) {
  for (const auto& c : cols_) {
    int w = 0;
    const int heading = static_cast<int>(c.name.size());
    switch (c.kind) {
      case ColumnKind::Number: w = std::max(s.numwidth, heading); break;
      case ColumnKind::Date: w = 9; break;
      case ColumnKind::Long: w = s.longWidth; break;
      case ColumnKind::Text: w = c.size > 0 ? c.size : heading; break;
      case ColumnKind::Other: w = std::max(c.size, heading); break;
    }
    widths_.push_back(std::max(w, 1));
  }
  // Group columns into lines no longer than LINESIZE.
  std::vector<size_t> group;
  int used = 0;
  for (size_t i = 0; i < cols_.size(); ++i) {
    const int need = widths_[i] + (group.empty() ? 0 : 1);
    if (!group.empty() && used + need > s.linesize) {
      groups_.push_back(group);
      group.clear();
      used = 0;
    }
    used += group.empty() ? widths_[i] : widths_[i] + 1;
    group.push_back(i);
  }
  if (!group.empty()) groups_.push_back(group);
}

namespace {

std::string RightTrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string Fit(const std::string& text, int width, bool right) {
  if (static_cast<int>(text.size()) >= width) return text;
  std::string pad(static_cast<size_t>(width) - text.size(), ' ');
  return right ? pad + text : text + pad;
}

}  // namespace

std::vector<std::string> RowPrinter::HeadingLines() const {
  std::vector<std::string> lines;
  for (const auto& group : groups_) {
    std::string head, under;
    for (size_t k = 0; k < group.size(); ++k) {
      const size_t i = group[k];
      const int w = widths_[i];
      std::string name = cols_[i].name.substr(0, static_cast<size_t>(w));
      if (k) {
        head += ' ';
        under += ' ';
      }
      head += Fit(name, w, cols_[i].kind == ColumnKind::Number);
      under += std::string(static_cast<size_t>(w), '-');
    }
    lines.push_back(RightTrim(head));
    lines.push_back(under);
  }
  return lines;
}

std::vector<std::string> RowPrinter::RowLines(const std::vector<std::string>& row,
                                              const std::vector<bool>& nulls) const {
  std::vector<std::string> lines;
  for (const auto& group : groups_) {
    // Each column's value cut into pieces of its width (and at line breaks).
    std::vector<std::vector<std::string>> pieces(group.size());
    size_t height = 1;
    for (size_t k = 0; k < group.size(); ++k) {
      const size_t i = group[k];
      const size_t w = static_cast<size_t>(widths_[i]);
      std::string v = nulls[i] ? s_.nullText : row[i];
      if (cols_[i].kind == ColumnKind::Long && v.size() > static_cast<size_t>(s_.longWidth))
        v.resize(static_cast<size_t>(s_.longWidth));
      if (cols_[i].kind == ColumnKind::Number) {
        pieces[k].push_back(v);
      } else {
        size_t start = 0;
        do {
          size_t nl = v.find('\n', start);
          std::string part = v.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
          for (size_t p = 0; p < part.size() || p == 0; p += w) pieces[k].push_back(part.substr(p, w));
          start = nl == std::string::npos ? v.size() + 1 : nl + 1;
        } while (start <= v.size());
      }
      height = std::max(height, pieces[k].size());
    }
    for (size_t h = 0; h < height; ++h) {
      std::string line;
      for (size_t k = 0; k < group.size(); ++k) {
        const size_t i = group[k];
        if (k) line += ' ';
        line += Fit(h < pieces[k].size() ? pieces[k][h] : std::string(), widths_[i],
                    cols_[i].kind == ColumnKind::Number);
      }
      lines.push_back(RightTrim(line));
    }
  }
  return lines;
}

}  // namespace sqlplus
