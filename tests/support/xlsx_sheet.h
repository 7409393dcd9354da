// Reads a worksheet's XML the way a spreadsheet application does: rows by
// their "r", cells by their own "r" or else one column after the cell
// before; text from inline strings (escapes undone), numbers as written.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

namespace vexa::test {

struct TSheetCell {
  std::string Text;
  int Style = 0;
  bool Number = false;
};

// "A1" style reference of a column (from 1) and a row (from 1).
inline std::string CellRef(int column, int64_t row) {
  std::string letters;
  for (int c = column; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(row);
}

inline std::string UnescapeXml(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '&') {
      const size_t semi = s.find(';', i);
      const std::string_view name = s.substr(i + 1, semi - i - 1);
      out += name == "lt" ? "<" : name == "gt" ? ">" : name == "quot" ? "\"" : name == "apos" ? "'" : "&";
      i = semi + 1;
    } else if (s.substr(i, 2) == "_x" && i + 6 < s.size() && s[i + 6] == '_') {
      out += static_cast<char>(std::strtol(std::string(s.substr(i + 2, 4)).c_str(), nullptr, 16));
      i += 7;
    } else {
      out += s[i++];
    }
  }
  return out;
}

// The attribute `name` of the element starting at `tag` ("" when absent).
inline std::string XmlAttribute(std::string_view tag, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const size_t at = tag.find(key);
  if (at == std::string_view::npos) return {};
  const size_t start = at + key.size();
  return std::string(tag.substr(start, tag.find('"', start) - start));
}

inline std::map<std::string, TSheetCell> ReadSheetCells(std::string_view xml) {
  std::map<std::string, TSheetCell> cells;
  int64_t row = 0;
  for (size_t at = xml.find("<row"); at != std::string_view::npos; at = xml.find("<row", at + 1)) {
    const size_t tagEnd = xml.find('>', at);
    const std::string r = XmlAttribute(xml.substr(at, tagEnd - at), "r");
    row = r.empty() ? row + 1 : std::stoll(r);
    if (xml[tagEnd - 1] == '/') continue;
    const size_t rowEnd = xml.find("</row>", tagEnd);
    int column = 0;
    for (size_t c = xml.find("<c", tagEnd); c < rowEnd; c = xml.find("<c", c + 1)) {
      if (xml[c + 2] != ' ' && xml[c + 2] != '>' && xml[c + 2] != '/') continue;
      const size_t cEnd = xml.find('>', c);
      const std::string_view tag = xml.substr(c, cEnd - c);
      const std::string ref = XmlAttribute(tag, "r");
      if (ref.empty()) {
        ++column;
      } else {
        column = 0;
        for (char ch : ref)
          if (ch >= 'A' && ch <= 'Z') column = column * 26 + (ch - 'A' + 1);
      }
      TSheetCell cell;
      const std::string s = XmlAttribute(tag, "s");
      cell.Style = s.empty() ? 0 : std::stoi(s);
      if (xml[cEnd - 1] != '/') {
        const size_t close = xml.find("</c>", cEnd);
        const std::string_view body = xml.substr(cEnd + 1, close - cEnd - 1);
        if (XmlAttribute(tag, "t") == "inlineStr") {
          const size_t t = body.find("<t");
          const size_t start = body.find('>', t) + 1;
          cell.Text = UnescapeXml(body.substr(start, body.find("</t>", start) - start));
        } else if (const size_t v = body.find("<v>"); v != std::string_view::npos) {
          cell.Text = std::string(body.substr(v + 3, body.find("</v>", v) - v - 3));
          cell.Number = true;
        }
      }
      cells[CellRef(column, row)] = cell;
    }
  }
  return cells;
}

}  // namespace vexa::test
