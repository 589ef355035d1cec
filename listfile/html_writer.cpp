#include <algorithm>
#include <cstdio>

#include "base/cp932.h"
#include "base/text.h"
#include "base/unicode.h"
#include "listfile/html_options.h"
#include "listfile/list_format.h"

namespace clip {

namespace {

// "#" and the RRGGBB form of a 0x00BBGGRR colour.
std::string HtmlColour(std::uint32_t colour) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(colour));
  return "#" + ColorToHtml(hex);
}

const char* CellAlignAttribute(int align) {
  switch (align) {
    case 0: return "";
    case 2: return " align=\"right\"";
    default: return " align=\"center\"";
  }
}

// Appends text with every character the Shift_JIS page cannot hold written
// as a numeric character reference ("&#x1F600;"), so that a browser shows
// it; an LF becomes CR LF as in the rest of the page.
void AppendPageText(std::string& out, std::string_view text) {
  std::size_t run = 0, i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    const char32_t cp = NextCodePoint(text, i);
    if (Cp932Holds(cp)) continue;  // a bad byte gives U+FFFD, which it lacks
    AppendStreamText(out, text.substr(run, start - run));
    char ref[16];
    std::snprintf(ref, sizeof ref, "&#x%X;", static_cast<unsigned>(cp));
    out += ref;
    run = i;
  }
  AppendStreamText(out, text.substr(run));
}

// An option text inside an attribute's quotes: written as typed, but a
// quote, which would end the attribute and let the rest become markup, as
// "&quot;" (no file name or font size holds one).
void AppendAttributeText(std::string& out, std::string_view text) {
  for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
    AppendPageText(out, text.substr(0, quote));
    out += "&quot;";
    text.remove_prefix(quote + 1);
  }
  AppendPageText(out, text);
}

// Escapes text into out; an LF becomes CR LF as in the rest of the page.
void AppendEscaped(std::string& out, std::string_view text) {
  // No byte of a UTF-8 sequence is ASCII, so these bytes always stand for
  // themselves.
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* entity;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = "&quot;"; break;
      case '\n': entity = "\r\n"; break;
      default: continue;
    }
    AppendPageText(out, text.substr(run, i - run));
    out.append(entity);
    run = i + 1;
  }
  AppendPageText(out, text.substr(run));
}

// The opening of a cell up to its text, for one alignment and colour pair.
std::string CellOpening(int align, std::uint32_t back, std::uint32_t font,
                        const std::string& fontSize) {
  std::string opening = "        <td";
  opening += CellAlignAttribute(align);
  opening += " bgcolor=\"" + HtmlColour(back) + "\" nowrap><font color=\"" + HtmlColour(font) +
             "\"><font size=\"";
  AppendAttributeText(opening, fontSize);
  opening += "\"><b>";
  return opening;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

void ListWriter::HtmlBegin() {
  const HtmlOptions& options = layout_.html;
  // A radio group without a valid choice uses its default.
  const HtmlOptions valid = WithValidChoices(options);
  const int titleAlign = valid.topTitleAlign;
  alternate_ = valid.rowColouring == 1;
  std::string& page = out_.text();
  // The option texts are written as typed (a line break as CR LF).
  auto typed = [&](const std::string& text) { AppendPageText(page, text); };
  auto attribute = [&](const std::string& text) { AppendAttributeText(page, text); };

  page += "<html>";
  out_.EndLine();
  page += "    <head>";
  out_.EndLine();
  page += "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">";
  out_.EndLine();
  if (valid.backgroundKind == 1) {
    page += "    <body background=\"";
    attribute(options.backgroundImage);
    page += "\" text=\"" + HtmlColour(options.foFontColor) + "\"></body>";
  } else {
    page += "    <body bgcolor=\"" + HtmlColour(options.foBackColor) + "\" text=\"" +
            HtmlColour(options.foFontColor) + "\"></body>";
  }
  out_.EndLine();
  page += "    <title>";
  typed(options.caption);
  page += "</title>";
  out_.EndLine();
  page += "    </head>";
  out_.EndLine();

  if (titleAlign == 1) page += "    <center>";
  if (titleAlign == 2) page += "    <div align=\"right\">";
  page += "<b><font size=\"";
  attribute(options.topTitleSize);
  page += "\">";
  typed(options.topTitle);
  page += "</font></b><br><br>";
  // A left-aligned title is followed by the table on the same line.
  if (titleAlign == 1) {
    page += "</center>";
    out_.EndLine();
  }
  if (titleAlign == 2) {
    page += "</div>";
    out_.EndLine();
  }

  page += "    <center><table border=1>";
  out_.EndLine();

  const std::string header = CellOpening(valid.headerAlign, options.fitBackColor,
                                         options.fitFontColor, options.cellFontSize);
  page += "        <tr>";
  out_.EndLine();
  for (int category : columns_) HtmlCell(header, ListHeaderName(category));
  page += "        </tr>";
  out_.EndLine();

  htmlSet1_ = CellOpening(valid.dataAlign, options.fiiBackColor1, options.fiiFontColor1,
                          options.cellFontSize);
  htmlSet2_ = CellOpening(valid.dataAlign, options.fiiBackColor2, options.fiiFontColor2,
                          options.cellFontSize);
}

void ListWriter::HtmlCell(const std::string& opening, std::string_view text) {
  std::string& page = out_.text();
  page += opening;
  AppendEscaped(page, text);
  page += "</b></font></font></td>";
  out_.EndLine();
}

void ListWriter::HtmlRow(const std::vector<std::string>& cells) {
  const std::string& opening = alternate_ && rows_ % 2 == 1 ? htmlSet2_ : htmlSet1_;
  out_.text() += "        <tr>";
  out_.EndLine();
  for (std::size_t c = 0; c < columns_.size(); ++c)
    HtmlCell(opening, c < cells.size() ? std::string_view(cells[c]) : std::string_view(""));
  out_.text() += "        </tr>";
  out_.EndLine();
}

void ListWriter::HtmlEnd() {
  out_.text() += "    </table></center>";
  out_.EndLine();
  out_.text() += "</html>";
  out_.EndLine();
  out_.EndLine();
}

void WriteHtmlList(ListOutput& out, const RowModel& rows, const CategoryTable& table,
                   const HtmlOptions& options) {
  ListLayout layout;
  layout.format = ListFormat::Html;
  layout.html = options;
  ListWriter writer(out, table, layout);
  writer.Rows(rows);
  writer.Finish();
}

std::string FormatHtmlList(const RowModel& rows, const CategoryTable& table,
                           const HtmlOptions& options) {
  ListOutput out;
  WriteHtmlList(out, rows, table, options);
  return out.Take();
}

}  // namespace clip
