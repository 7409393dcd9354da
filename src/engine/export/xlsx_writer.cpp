#include "export/xlsx_writer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>

#include "core/error.h"

namespace vexa {
namespace {

constexpr const char* XmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* PackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr size_t FlushBytes = size_t{1} << 20;
constexpr const char* Replacement = "\xEF\xBF\xBD";  // U+FFFD

// The stored width of a column `chars` characters wide in the default font
// (a digit 7 pixels wide, 5 pixels of padding), as spreadsheets write it.
std::string WidthXml(double chars) {
  constexpr double Digit = 7;
  constexpr double Padding = 5;
  double width = 0;
  if (chars >= 1) {
    width = static_cast<uint16_t>((static_cast<uint16_t>(chars * Digit + 0.5) + Padding) / Digit * 256.0) / 256.0;
  } else if (chars > 0) {
    width = static_cast<uint16_t>(static_cast<uint16_t>(chars * (Digit + Padding) + 0.5) / Digit * 256.0) / 256.0;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.16g", width);
  return buf;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// Length of the valid UTF-8 sequence at s[i], or 0.
size_t Utf8Length(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  size_t n = 0;
  uint32_t min = 0;
  uint32_t cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, cp = c & 0x1F, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, cp = c & 0x0F, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// A plain integer a spreadsheet shows exactly as this text.
bool IsPlainInteger(std::string_view t) {
  size_t i = t.size() > 0 && t[0] == '-' ? 1 : 0;
  const size_t digits = t.size() - i;
  if (digits == 0 || digits > 15) return false;
  if (t[i] == '0') return digits == 1 && i == 0;
  for (; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

std::string UtcNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

}  // namespace

TXlsxWriter::TXlsxWriter(const std::filesystem::path& file, int threads) : Zip_(file, threads) {
  Styles_.push_back(TStyle{});
  StyleAttr_.emplace_back();
  Buffer_.reserve(FlushBytes + 65536);
}

int TXlsxWriter::AddStyle(const TStyle& style) {
  const auto it = std::find(Styles_.begin(), Styles_.end(), style);
  if (it != Styles_.end()) return static_cast<int>(it - Styles_.begin());
  Styles_.push_back(style);
  StyleAttr_.push_back(" s=\"" + std::to_string(Styles_.size() - 1) + "\"");
  return static_cast<int>(Styles_.size() - 1);
}

void TXlsxWriter::BeginSheet(const std::string& name, const std::vector<TColumn>& columns, TOrientation orientation) {
  if (InSheet_) EndSheet();
  SheetNames_.push_back(name);
  Orientation_ = orientation;
  Zip_.BeginEntry("xl/worksheets/sheet" + std::to_string(SheetNames_.size()) + ".xml");
  InSheet_ = true;
  Put(XmlHead);
  Put(std::string("<worksheet xmlns=\"") + MainNs + "\" xmlns:r=\"" + RelNs + "\">");
  Put(SheetNames_.size() == 1 ? "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
                              : "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>");
  Put("<sheetFormatPr defaultRowHeight=\"15\"/>");
  if (!columns.empty()) {
    Put("<cols>");
    for (size_t k = 0; k < columns.size(); ++k) {
      const std::string n = std::to_string(k + 1);
      Put("<col min=\"" + n + "\" max=\"" + n + "\" width=\"" + WidthXml(columns[k].Width) + "\"");
      if (columns[k].Style > 0) Put(" style=\"" + std::to_string(columns[k].Style) + "\"");
      Put(columns[k].Width > 0 ? " customWidth=\"1\"/>" : " hidden=\"1\" customWidth=\"1\"/>");
    }
    Put("</cols>");
  }
  Put("<sheetData>");
}

void TXlsxWriter::BeginRow(int64_t row) {
  RowText_ = std::to_string(row);
  RowText_ += '"';
  Put("<row r=\"");
  Put(RowText_);
  Put(">");
  Column_ = 0;
}

void TXlsxWriter::OpenCell(int style) {
  if (Column_ == ColumnRefs_.size()) {
    std::string letters;
    for (size_t c = Column_ + 1; c > 0; c = (c - 1) / 26)
      letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    ColumnRefs_.push_back("<c r=\"" + letters);
  }
  Put(ColumnRefs_[Column_++]);
  Put(RowText_);
  Put(StyleAttr_[static_cast<size_t>(style)]);
}

void TXlsxWriter::EndRow() {
  Put("</row>");
  if (Buffer_.size() >= FlushBytes) Flush();
}

void TXlsxWriter::Flush() {
  Zip_.Write(Buffer_);
  Buffer_.clear();
}

void TXlsxWriter::PutEscaped(std::string_view s, bool attribute) {
  constexpr size_t MaxUnits = MaxCellChars;
  size_t units = 0;  // UTF-16 units, as a spreadsheet counts a cell's characters
  size_t i = 0;
  while (i < s.size()) {
    // A run that needs nothing.
    size_t j = i;
    while (j < s.size()) {
      const unsigned char c = static_cast<unsigned char>(s[j]);
      if (c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '_' || (attribute && c == '"')) break;
      ++j;
    }
    const size_t run = std::min(j - i, MaxUnits - units);
    Buffer_.append(s.data() + i, run);
    units += run;
    i += run;
    if (i >= s.size() || units >= MaxUnits) break;
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const size_t n = Utf8Length(s, i);
      const size_t width = n == 4 ? 2 : 1;
      if (units + width > MaxUnits) break;
      if (n == 0) {
        Put(Replacement);
        ++i;
      } else {
        Buffer_.append(s.data() + i, n);
        i += n;
      }
      units += width;
      continue;
    }
    switch (c) {
      case '&': Put("&amp;"); break;
      case '<': Put("&lt;"); break;
      case '>': Put("&gt;"); break;
      case '"': Put("&quot;"); break;
      case '_':
        // A literal "_xHHHH_" would read back as an escape: its "_" is escaped.
        if (i + 6 < s.size() && s[i + 1] == 'x' && IsHex(s[i + 2]) && IsHex(s[i + 3]) && IsHex(s[i + 4]) &&
            IsHex(s[i + 5]) && s[i + 6] == '_')
          Put("_x005F_");
        else
          Put("_");
        break;
      case '\t':
      case '\n':
        // Kept in text; an attribute would read them back as blanks.
        if (!attribute) {
          Buffer_.push_back(static_cast<char>(c));
          break;
        }
        [[fallthrough]];
      default: {
        char buf[8];
        std::snprintf(buf, sizeof buf, "_x%04X_", c);
        Put(buf);
      }
    }
    ++units;
    ++i;
  }
}

void TXlsxWriter::Text(std::string_view text, int style) {
  OpenCell(style);
  if (text.empty()) {
    Put("/>");
    return;
  }
  const bool spaced = text.front() == ' ' || text.back() == ' ' || text.front() == '\t' || text.back() == '\t' ||
                      text.front() == '\n' || text.back() == '\n';
  Put(spaced ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>");
  PutEscaped(text, false);
  Put("</t></is></c>");
}

void TXlsxWriter::Value(std::string_view text, int style) {
  if (text.empty() || !IsPlainInteger(text)) {
    Text(text, style);
    return;
  }
  OpenCell(style);
  Put("><v>");
  Put(text);
  Put("</v></c>");
}

void TXlsxWriter::EndSheet() {
  if (!InSheet_) return;
  Put("</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>");
  if (Orientation_ == TOrientation::Portrait) Put("<pageSetup orientation=\"portrait\"/>");
  if (Orientation_ == TOrientation::Landscape) Put("<pageSetup orientation=\"landscape\"/>");
  Put("</worksheet>");
  Flush();
  Zip_.EndEntry();
  InSheet_ = false;
}

void TXlsxWriter::AddPart(std::string name, const std::string& xml) {
  Zip_.BeginEntry(std::move(name));
  Zip_.Write(xml);
  Zip_.EndEntry();
}

std::string TXlsxWriter::StylesXml() const {
  struct TFont {
    int Size;
    bool Bold;
    bool Italic;
    bool operator==(const TFont&) const = default;
  };
  std::vector<TFont> fonts{{11, false, false}};
  std::vector<size_t> fontOf;
  for (const TStyle& s : Styles_) {
    const TFont f{s.FontSize, s.Bold, s.Italic};
    auto it = std::find(fonts.begin(), fonts.end(), f);
    if (it == fonts.end()) it = fonts.insert(fonts.end(), f);
    fontOf.push_back(static_cast<size_t>(it - fonts.begin()));
  }
  std::string x = XmlHead;
  x += std::string("<styleSheet xmlns=\"") + MainNs + "\">";
  x += "<fonts count=\"" + std::to_string(fonts.size()) + "\">";
  for (const TFont& f : fonts) {
    x += "<font>";
    if (f.Bold) x += "<b/>";
    if (f.Italic) x += "<i/>";
    x += "<sz val=\"" + std::to_string(f.Size) + "\"/><name val=\"Calibri\"/><family val=\"2\"/></font>";
  }
  x += "</fonts>";
  x += "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
       "<fill><patternFill patternType=\"gray125\"/></fill></fills>";
  x += "<borders count=\"3\"><border><left/><right/><top/><bottom/><diagonal/></border>";
  for (const char* style : {"thin", "medium"}) {
    x += "<border>";
    for (const char* side : {"left", "right", "top", "bottom"})
      x += std::string("<") + side + " style=\"" + style + "\"><color auto=\"1\"/></" + side + ">";
    x += "<diagonal/></border>";
  }
  x += "</borders>";
  x += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>";
  x += "<cellXfs count=\"" + std::to_string(Styles_.size()) + "\">";
  for (size_t i = 0; i < Styles_.size(); ++i) {
    const TStyle& s = Styles_[i];
    const int border = s.Border == TBorder::Thin ? 1 : s.Border == TBorder::Medium ? 2 : 0;
    const bool aligned = s.Horizontal != TAlign::General || s.VerticalCenter || s.Wrap;
    x += "<xf numFmtId=\"0\" fontId=\"" + std::to_string(fontOf[i]) + "\" fillId=\"0\" borderId=\"" +
         std::to_string(border) + "\" xfId=\"0\"";
    if (fontOf[i] != 0) x += " applyFont=\"1\"";
    if (border != 0) x += " applyBorder=\"1\"";
    if (!aligned) {
      x += "/>";
      continue;
    }
    x += " applyAlignment=\"1\"><alignment";
    if (s.Horizontal == TAlign::Left) x += " horizontal=\"left\"";
    if (s.Horizontal == TAlign::Right) x += " horizontal=\"right\"";
    if (s.Horizontal == TAlign::Center) x += " horizontal=\"center\"";
    if (s.VerticalCenter) x += " vertical=\"center\"";
    if (s.Wrap) x += " wrapText=\"1\"";
    x += "/></xf>";
  }
  x += "</cellXfs>";
  x += "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>";
  x += "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";
  return x;
}

void TXlsxWriter::Close() {
  if (InSheet_) EndSheet();
  if (SheetNames_.empty()) {
    BeginSheet("Sheet1", {}, TOrientation::Default);
    EndSheet();
  }
  const size_t sheets = SheetNames_.size();
  const std::string wbType = "application/vnd.openxmlformats-officedocument.spreadsheetml.";

  std::string types = XmlHead;
  types += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
  types += "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>";
  types += "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  types += "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" + wbType + "sheet.main+xml\"/>";
  for (size_t i = 1; i <= sheets; ++i)
    types += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(i) + ".xml\" ContentType=\"" + wbType +
             "worksheet+xml\"/>";
  types += "<Override PartName=\"/xl/styles.xml\" ContentType=\"" + wbType + "styles+xml\"/>";
  types += "<Override PartName=\"/docProps/core.xml\" "
           "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>";
  types += "<Override PartName=\"/docProps/app.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>";
  types += "</Types>";
  AddPart("[Content_Types].xml", types);

  std::string root = XmlHead;
  root += std::string("<Relationships xmlns=\"") + PackageRelNs + "\">";
  root += "<Relationship Id=\"rId1\" Type=\"" + std::string(RelNs) + "/officeDocument\" Target=\"xl/workbook.xml\"/>";
  root += "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
          "core-properties\" Target=\"docProps/core.xml\"/>";
  root += "<Relationship Id=\"rId3\" Type=\"" + std::string(RelNs) +
          "/extended-properties\" Target=\"docProps/app.xml\"/>";
  root += "</Relationships>";
  AddPart("_rels/.rels", root);

  const std::string now = UtcNow();
  std::string core = XmlHead;
  core += "<cp:coreProperties "
          "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
          "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
          "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
  // Texts of the other parts, made safe as cell texts are.
  auto escaped = [this](std::string_view text) {
    Buffer_.clear();
    PutEscaped(text, true);
    return std::exchange(Buffer_, std::string());
  };
  if (!Title_.empty()) core += "<dc:title>" + escaped(Title_) + "</dc:title>";
  core += "<dc:creator>Vexa</dc:creator>";
  core += "<dcterms:created xsi:type=\"dcterms:W3CDTF\">" + now + "</dcterms:created>";
  core += "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + now + "</dcterms:modified>";
  core += "</cp:coreProperties>";
  AddPart("docProps/core.xml", core);

  std::string app = XmlHead;
  app += "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
         "<Application>Vexa</Application></Properties>";
  AddPart("docProps/app.xml", app);

  std::string book = XmlHead;
  book += std::string("<workbook xmlns=\"") + MainNs + "\" xmlns:r=\"" + RelNs + "\">";
  book += "<bookViews><workbookView/></bookViews><sheets>";
  for (size_t i = 0; i < sheets; ++i)
    book += "<sheet name=\"" + escaped(SheetNames_[i]) + "\" sheetId=\"" + std::to_string(i + 1) + "\" r:id=\"rId" +
            std::to_string(i + 1) + "\"/>";
  book += "</sheets></workbook>";
  AddPart("xl/workbook.xml", book);

  std::string rels = XmlHead;
  rels += std::string("<Relationships xmlns=\"") + PackageRelNs + "\">";
  for (size_t i = 1; i <= sheets; ++i)
    rels += "<Relationship Id=\"rId" + std::to_string(i) + "\" Type=\"" + RelNs +
            "/worksheet\" Target=\"worksheets/sheet" + std::to_string(i) + ".xml\"/>";
  rels += "<Relationship Id=\"rId" + std::to_string(sheets + 1) + "\" Type=\"" + RelNs +
          "/styles\" Target=\"styles.xml\"/>";
  rels += "</Relationships>";
  AddPart("xl/_rels/workbook.xml.rels", rels);

  AddPart("xl/styles.xml", StylesXml());
  Zip_.Finish();
}

}  // namespace vexa
