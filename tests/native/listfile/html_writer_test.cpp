#include <gtest/gtest.h>

#include "list_test_util.h"
#include "listfile/list_format.h"
#include "listfile/listfile.h"
#include "base/cp932.h"

namespace clip {
namespace {

using testing::TableWith;

RowModel Rows(std::initializer_list<std::initializer_list<std::string>> lines) {
  RowModel rows;
  int r = 0;
  for (const auto& line : lines) {
    rows.Insert(r, *line.begin(), r);
    int c = 0;
    for (const auto& text : line) rows.SetCell(r, c++, text);
    ++r;
  }
  return rows;
}

std::string Cell(const char* align, const char* back, const char* font, const char* size,
                 const std::string& text) {
  return std::string("        <td") + align + " bgcolor=\"#" + back + "\" nowrap><font color=\"#" +
         font + "\"><font size=\"" + size + "\"><b>" + text + "</b></font></font></td>\r\n";
}

const char* const kCenter = " align=\"center\"";

// A page's text: its Shift_JIS bytes read back.
std::string Page(const RowModel& rows, const CategoryTable& table, const HtmlOptions& o) {
  return Cp932ToUtf8(FormatHtmlList(rows, table, o));
}

TEST(HtmlWriter, DefaultOptionsGiveThisPage) {
  CategoryTable t = TableWith({FileSizeBT, MovieTitle});
  RowModel rows = Rows({{"a.avi", "1,234", ""}});
  const std::string expected =
      "<html>\r\n"
      "    <head>\r\n"
      "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
      "    <body bgcolor=\"#FFFFFF\" text=\"#000000\"></body>\r\n"
      "    <title>Untitled</title>\r\n"
      "    </head>\r\n"
      "    <center><b><font size=\"7\">Untitled</font></b><br><br></center>\r\n"
      "    <center><table border=1>\r\n"
      "        <tr>\r\n"
      "        <td align=\"center\" bgcolor=\"#FFFFFF\" nowrap><font color=\"#000000\"><font "
      "size=\"3\"><b>ファイル名</b></font></font></td>\r\n"
      "        <td align=\"center\" bgcolor=\"#FFFFFF\" nowrap><font color=\"#000000\"><font "
      "size=\"3\"><b>サイズ(Byte)</b></font></font></td>\r\n"
      "        <td align=\"center\" bgcolor=\"#FFFFFF\" nowrap><font color=\"#000000\"><font "
      "size=\"3\"><b>タイトル</b></font></font></td>\r\n"
      "        </tr>\r\n"
      "        <tr>\r\n"
      "        <td align=\"center\" bgcolor=\"#FFFFFF\" nowrap><font color=\"#000000\"><font "
      "size=\"3\"><b>a.avi</b></font></font></td>\r\n"
      "        <td align=\"center\" bgcolor=\"#FFFFFF\" nowrap><font color=\"#000000\"><font "
      "size=\"3\"><b>1,234</b></font></font></td>\r\n"
      "        <td align=\"center\" bgcolor=\"#FFFFFF\" nowrap><font color=\"#000000\"><font "
      "size=\"3\"><b></b></font></font></td>\r\n"
      "        </tr>\r\n"
      "    </table></center>\r\n"
      "</html>\r\n"
      "\r\n";
  EXPECT_EQ(FormatHtmlList(rows, t, HtmlOptions{}), Utf8ToCp932(expected));
}

TEST(HtmlWriter, LeftTitleJoinsTheTableLineAndRightTitleSitsInADiv) {
  HtmlOptions o;
  o.topTitleAlign = 0;
  o.topTitle = "My <i>films</i>";  // typed by the user: written as typed
  o.topTitleSize = "";
  std::string page = Page(RowModel{}, TableWith({}), o);
  EXPECT_NE(page.find("    </head>\r\n<b><font size=\"\">My <i>films</i></font></b><br><br>"
                      "    <center><table border=1>\r\n"),
            std::string::npos)
      << page;
  o.topTitleAlign = 2;
  page = Page(RowModel{}, TableWith({}), o);
  EXPECT_NE(page.find("    <div align=\"right\"><b><font size=\"\">My <i>films</i></font></b>"
                      "<br><br></div>\r\n    <center><table border=1>\r\n"),
            std::string::npos);
}

TEST(HtmlWriter, EmptyListHasTheHeaderRowOnly) {
  std::string page = Page(RowModel{}, TableWith({}), HtmlOptions{});
  EXPECT_NE(page.find("<table border=1>\r\n        <tr>\r\n" +
                      Cell(kCenter, "FFFFFF", "000000", "3", "ファイル名") +
                      "        </tr>\r\n    </table></center>\r\n</html>\r\n\r\n"),
            std::string::npos);
}

TEST(HtmlWriter, AlternateColouringUsesSetTwoOnOddRows) {
  HtmlOptions o;
  o.rowColouring = 1;
  o.dataAlign = 0;
  o.headerAlign = 2;
  o.fitBackColor = 0x112233;  // blue 11, green 22, red 33
  o.fitFontColor = 0xFF;
  o.fiiBackColor1 = 0xC08040;
  o.fiiFontColor1 = 0x0;
  o.fiiBackColor2 = 0xCCCCCC;
  o.fiiFontColor2 = 0xFF0000;
  o.cellFontSize = "2";
  RowModel rows = Rows({{"a.avi"}, {"b.avi"}, {"c.avi"}});
  std::string page = Page(rows, TableWith({}), o);
  const std::string body = "        <tr>\r\n" +
                           Cell(" align=\"right\"", "332211", "FF0000", "2", "ファイル名") +
                           "        </tr>\r\n"
                           "        <tr>\r\n" +
                           Cell("", "4080C0", "000000", "2", "a.avi") +
                           "        </tr>\r\n"
                           "        <tr>\r\n" +
                           Cell("", "CCCCCC", "0000FF", "2", "b.avi") +
                           "        </tr>\r\n"
                           "        <tr>\r\n" +
                           Cell("", "4080C0", "000000", "2", "c.avi") + "        </tr>\r\n";
  EXPECT_NE(page.find(body), std::string::npos) << page;

  // All rows alike: colour set 1 everywhere.
  o.rowColouring = 0;
  page = Page(rows, TableWith({}), o);
  EXPECT_EQ(page.find("CCCCCC"), std::string::npos);
  EXPECT_NE(page.find(Cell("", "4080C0", "000000", "2", "b.avi")), std::string::npos);
}

TEST(HtmlWriter, OutOfRangeChoicesFallBackToDefaults) {
  HtmlOptions o;
  o.topTitleAlign = 7;
  o.backgroundKind = -1;
  o.headerAlign = 3;
  o.dataAlign = -5;
  o.rowColouring = 2;
  o.fiiBackColor2 = 0x123456;
  RowModel rows = Rows({{"a.avi"}, {"b.avi"}});
  std::string page = Page(rows, TableWith({}), o);
  EXPECT_EQ(page, Page(rows, TableWith({}), HtmlOptions{}));
}

TEST(HtmlWriter, ImageBackgroundIsReferencedAsTyped) {
  HtmlOptions o;
  o.backgroundKind = 1;
  o.backgroundImage = "back ground.jpg";
  o.foFontColor = 0x00FF00;
  o.caption = "目録 & <list>";
  std::string page = Page(RowModel{}, TableWith({}), o);
  EXPECT_NE(page.find("    <body background=\"back ground.jpg\" text=\"#00FF00\"></body>\r\n"
                      "    <title>目録 & <list></title>\r\n"),
            std::string::npos);
  EXPECT_EQ(page.find("bgcolor=\"#FFFFFF\" text"), std::string::npos);
}

TEST(HtmlWriter, AQuoteInAnAttributeOptionCannotEndTheAttribute) {
  HtmlOptions o;
  o.backgroundKind = 1;
  o.backgroundImage = "x.jpg\" onload=\"alert(1)";
  o.topTitleSize = "7\"><script>";
  o.cellFontSize = "3\"";
  const std::string page = Page(Rows({{"a.avi"}}), TableWith({}), o);
  EXPECT_NE(page.find("<body background=\"x.jpg&quot; onload=&quot;alert(1)\" text="),
            std::string::npos);
  EXPECT_NE(page.find("<font size=\"7&quot;><script>\">"), std::string::npos);
  EXPECT_NE(page.find("<font size=\"3&quot;\"><b>"), std::string::npos);
}

TEST(HtmlWriter, CellTextsAreEscapedSoTitlesShowAsText) {
  CategoryTable t = TableWith({MovieTitle, Comment});
  RowModel rows = Rows({{"a&b.avi", "<script>alert(1)</script>", "say \"hi\" > 表"}});
  std::string page = Page(rows, t, HtmlOptions{});
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_NE(page.find("<b>a&amp;b.avi</b>"), std::string::npos);
  EXPECT_NE(page.find("<b>&lt;script&gt;alert(1)&lt;/script&gt;</b>"), std::string::npos);
  // "表" is 95 5C in the page: its trail byte is kept as it is.
  EXPECT_NE(FormatHtmlList(rows, t, HtmlOptions{}).find("<b>say &quot;hi&quot; &gt; \x95\x5C</b>"),
            std::string::npos);
  EXPECT_EQ(EscapeHtml("ソ&"), "ソ&amp;");
  EXPECT_EQ(EscapeHtml("a\nb"), "a\r\nb");  // stored as every line end is
}

TEST(HtmlWriter, CharactersShiftJisLacksAreCharacterReferences) {
  HtmlOptions o;
  o.caption = "한국 목록";
  RowModel rows = Rows({{"emoji😀.avi"}, {"Amélie Ω.avi"}});
  const std::string bytes = FormatHtmlList(rows, TableWith({}), o);
  EXPECT_NE(bytes.find("<title>&#xD55C;&#xAD6D; &#xBAA9;&#xB85D;</title>"), std::string::npos);
  EXPECT_NE(bytes.find("<b>emoji&#x1F600;.avi</b>"), std::string::npos);
  // Ω is in code page 932 (83 B6); é is not and keeps its own character.
  EXPECT_NE(bytes.find("<b>Am&#xE9;lie \x83\xB6.avi</b>"), std::string::npos);
}

TEST(HtmlWriter, ColoursWiderThanSixDigitsUseTheirLowSixDigits) {
  HtmlOptions o;
  o.foBackColor = 0x01FFEEDD;
  std::string page = Page(RowModel{}, TableWith({}), o);
  EXPECT_NE(page.find("<body bgcolor=\"#DDEEFF\""), std::string::npos);
}

}  // namespace
}  // namespace clip
