#include <algorithm>
#include <cstdio>

#include "catalogue/text.h"
#include "listfile/list_format.h"

namespace clip {

namespace {

// "#" and the RRGGBB form of a 0x00BBGGRR colour.
std::string HtmlColour(std::uint32_t colour) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(colour));
  return "#" + ColorToHtml(hex);
}

// A radio group whose value is outside its range uses the group's default.
int Choice(int value, int count, int fallback) {
  return value >= 0 && value < count ? value : fallback;
}

const char* CellAlignAttribute(int align) {
  switch (align) {
    case 0:
      return "";
    case 2:
      return " align=\"right\"";
    default:
      return " align=\"center\"";
  }
}

struct CellStyle {
  const char* align;
  std::string back, font;
};

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // Every trail byte of a double-byte character is 0x40 or above, so these
  // four bytes always stand for themselves.
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string FormatHtmlList(const RowModel& rows, const CategoryTable& table,
                           const HtmlOptions& options) {
  const int titleAlign = Choice(options.topTitleAlign, 3, 1);
  const int backgroundKind = Choice(options.backgroundKind, 2, 0);
  const int headerAlign = Choice(options.headerAlign, 3, 1);
  const int dataAlign = Choice(options.dataAlign, 3, 1);
  const bool alternate = options.rowColouring == 1;

  // The page is put together with LF line ends, as a text stream receives
  // it, and every LF is stored as CR LF at the end.
  std::string page;
  page += "<html>\n";
  page += "    <head>\n";
  page += "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n";
  if (backgroundKind == 1) {
    page += "    <body background=\"" + options.backgroundImage + "\" text=\"" +
            HtmlColour(options.foFontColor) + "\"></body>\n";
  } else {
    page += "    <body bgcolor=\"" + HtmlColour(options.foBackColor) + "\" text=\"" +
            HtmlColour(options.foFontColor) + "\"></body>\n";
  }
  page += "    <title>" + options.caption + "</title>\n";
  page += "    </head>\n";

  if (titleAlign == 1) page += "    <center>";
  if (titleAlign == 2) page += "    <div align=\"right\">";
  page +=
      "<b><font size=\"" + options.topTitleSize + "\">" + options.topTitle + "</font></b><br><br>";
  if (titleAlign == 1) page += "</center>\n";
  if (titleAlign == 2) page += "</div>\n";

  page += "    <center><table border=1>\n";

  auto cell = [&](const CellStyle& style, std::string_view text) {
    page += "        <td";
    page += style.align;
    page += " bgcolor=\"" + style.back + "\" nowrap><font color=\"" + style.font +
            "\"><font size=\"" + options.cellFontSize + "\"><b>";
    page += EscapeHtml(text);
    page += "</b></font></font></td>\n";
  };

  const std::vector<int> columns = ListColumns(table);
  const CellStyle header{CellAlignAttribute(headerAlign), HtmlColour(options.fitBackColor),
                         HtmlColour(options.fitFontColor)};
  page += "        <tr>\n";
  for (int category : columns) cell(header, ListHeaderName(category));
  page += "        </tr>\n";

  const CellStyle set1{CellAlignAttribute(dataAlign), HtmlColour(options.fiiBackColor1),
                       HtmlColour(options.fiiFontColor1)};
  const CellStyle set2{CellAlignAttribute(dataAlign), HtmlColour(options.fiiBackColor2),
                       HtmlColour(options.fiiFontColor2)};
  for (int r = 0; r < rows.Count(); ++r) {
    const CellStyle& style = alternate && r % 2 == 1 ? set2 : set1;
    page += "        <tr>\n";
    for (std::size_t c = 0; c < columns.size(); ++c) {
      std::string_view text = rows.Cell(r, static_cast<int>(c));
      cell(style, text.substr(0, std::min(text.size(), kCellMax)));
    }
    page += "        </tr>\n";
  }
  page += "    </table></center>\n";
  page += "</html>\n\n";

  std::string out;
  out.reserve(page.size() + page.size() / 16);
  AppendStreamText(out, page);
  return out;
}

}  // namespace clip
