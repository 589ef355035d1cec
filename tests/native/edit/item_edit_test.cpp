// The item edit dialog's composed texts and the write-back of its fields.
#include "edit/item_edit.h"

#include "base/cp932.h"
#include "base/unicode.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace clip {
namespace {

CategoryTable Table(std::initializer_list<int> off = {}) {
  std::array<int, kCategoryCount> values{};
  values.fill(1);
  for (int k : off) values[static_cast<std::size_t>(k)] = 0;
  return CategoryTable::FromValues(values);
}

struct Row {
  RowModel rows;
  CategoryTable table;
  explicit Row(CategoryTable t, const std::string& name = "sample01.avi") : table(t) {
    rows.Insert(0, name, 0);
  }
  void Set(int k, const std::string& text) {
    if (table.IsOn(k)) rows.SetCell(0, table.position[k], text);
  }
};

TEST(EditCaption, DropsFourBytesOfTheName) {
  EXPECT_EQ(EditCaption("sample01.avi"), "sample01のｴﾃﾞｨｯﾄ");
  EXPECT_EQ(EditCaption("clip.rm"), "cliのｴﾃﾞｨｯﾄ");
  EXPECT_EQ(EditCaption("a.rm"), "のｴﾃﾞｨｯﾄ");
  EXPECT_EQ(EditCaption(""), "のｴﾃﾞｨｯﾄ");
  // Never half a double-byte character: 動画.rm is 7 bytes, 3 would split 画.
  EXPECT_EQ(EditCaption("動画.rm"), "動のｴﾃﾞｨｯﾄ");
  EXPECT_EQ(EditCaption("動画.avi"), "動画のｴﾃﾞｨｯﾄ");
}

TEST(ItemEditView, ComposesTheFiveLinesFromTheCells) {
  Row r(Table());
  r.Set(DirPath, "D:\\Movies");
  r.Set(FileSizeKB, "1,234");
  r.Set(FileSizeMB, "1.21");
  r.Set(MoveInfo, "DivX");
  r.Set(VideoRate, "280");
  r.Set(AudioInfo, "MP3");
  r.Set(AudioRate, "56kbit/22khz");
  r.Set(Resolusion, "320x240");
  r.Set(FlameRate, "15");
  r.Set(PlayTime, "23:36");
  ItemEditView v = ComposeItemEdit(r.rows, r.table, 0);
  EXPECT_EQ(v.caption, "sample01のｴﾃﾞｨｯﾄ");
  EXPECT_EQ(v.fileName, "sample01.avi");
  EXPECT_EQ(v.folder, "D:\\Movies");
  EXPECT_EQ(v.sizeLine, "1,234KB/1.21MB");
  EXPECT_EQ(v.info1, "DivX(280kbit)/MP3(56kbit/22khz)");
  EXPECT_EQ(v.info2, "Rezolution 320x240/Frame 15fps/Time 23:36");
}

TEST(ItemEditView, SizeCellsWithUnitsReadDoubled) {
  Row r(Table());
  r.Set(FileSizeKB, "1,234KB");
  r.Set(FileSizeMB, "1.21MB");
  EXPECT_EQ(ComposeItemEdit(r.rows, r.table, 0).sizeLine, "1,234KBKB/1.21MBMB");
}

TEST(ItemEditView, HiddenCategoriesShowNone) {
  Row r(Table({FileSizeKB, FileSizeMB, MoveInfo, VideoRate, AudioInfo, AudioRate, Resolusion,
               FlameRate, PlayTime, DirPath, MovieTitle, Creater, Janle, Comment}));
  ItemEditView v = ComposeItemEdit(r.rows, r.table, 0);
  EXPECT_EQ(v.sizeLine, "None KB/None MB");
  EXPECT_EQ(v.info1, "None(None kbit)/None(None kbit/None Khz)");
  EXPECT_EQ(v.info2, "Rezolution None/Frame None/Time None");
  EXPECT_EQ(v.folder, "None");
  EXPECT_FALSE(v.titleOn || v.creatorOn || v.genreOn || v.commentOn);
}

TEST(ItemEditView, LongCellsAreCutOnACharacterBoundary) {
  Row r(Table());
  r.Set(MoveInfo, std::string(40, 'V'));
  r.Set(AudioInfo, "音声形式がとても長い名前の圧縮方式");
  r.Set(Resolusion, std::string(255, 'R'));
  r.Set(FileSizeKB, std::string(100, '9'));
  ItemEditView v = ComposeItemEdit(r.rows, r.table, 0);
  for (const std::string* line : {&v.sizeLine, &v.info1, &v.info2}) {
    EXPECT_LE(Cp932Length(*line), kEditLineMax);  // counted in code page 932 bytes
    EXPECT_TRUE(IsValidUtf8(*line)) << *line;     // and every character whole
  }
  EXPECT_EQ(v.info2, "Rezolution " + std::string(52, 'R'));
  EXPECT_EQ(v.sizeLine, std::string(63, '9'));
  // 40 V + "(kbit)/" = 47 bytes, then 16 bytes of the audio name: 8 whole characters.
  EXPECT_EQ(v.info1, std::string(40, 'V') + "(kbit)/" + "音声形式がとても");
}

TEST(ItemEditView, UserFieldsFollowTheirCategories) {
  Row r(Table({Creater}));
  r.Set(MovieTitle, "my title");
  r.Set(Comment, "note");
  ItemEditView v = ComposeItemEdit(r.rows, r.table, 0);
  EXPECT_TRUE(v.titleOn);
  EXPECT_FALSE(v.creatorOn);
  EXPECT_EQ(v.title, "my title");
  EXPECT_EQ(v.comment, "note");
  EXPECT_TRUE(v.genreSelectFirst);  // an empty genre shows アニメ
  r.Set(Janle, "自作");
  v = ComposeItemEdit(r.rows, r.table, 0);
  EXPECT_FALSE(v.genreSelectFirst);
  EXPECT_EQ(v.genre, "自作");
  EXPECT_STREQ(kGenreNames[0], "アニメ");
  EXPECT_STREQ(kGenreNames[10], "その他");
}

TEST(ApplyItemEdit, AChangedTextChecksTheRow) {
  Row r(Table());
  r.Set(MovieTitle, "old");
  EXPECT_TRUE(ApplyItemEdit(r.rows, r.table, 0, {"new", "", "", ""}));
  EXPECT_TRUE(r.rows.Checked(0));
  EXPECT_EQ(r.rows.Cell(0, r.table.position[MovieTitle]), "new");
}

TEST(ApplyItemEdit, NoChangeKeepsTheCheckState) {
  Row r(Table());
  r.Set(MovieTitle, "same");
  EXPECT_FALSE(ApplyItemEdit(r.rows, r.table, 0, {"same", "", "", ""}));
  EXPECT_FALSE(r.rows.Checked(0));
  r.rows.SetChecked(0, true);
  EXPECT_FALSE(ApplyItemEdit(r.rows, r.table, 0, {"same", "", "", ""}));
  EXPECT_TRUE(r.rows.Checked(0));  // never unchecked here
}

TEST(ApplyItemEdit, OnlyEnabledFieldsAreWritten) {
  Row r(Table({MovieTitle, Comment}));
  EXPECT_TRUE(ApplyItemEdit(r.rows, r.table, 0, {"ignored", "maker", "アニメ", "ignored"}));
  EXPECT_EQ(r.rows.Cell(0, r.table.position[Creater]), "maker");
  EXPECT_EQ(r.rows.Cell(0, r.table.position[Janle]), "アニメ");
  EXPECT_EQ(r.rows.Cell(0, 0), "sample01.avi");  // a hidden field never lands in column 0
}

TEST(ApplyItemEdit, OverlongTextsAreCutWhole) {
  Row r(Table());
  std::string text;
  for (int i = 0; i < 130; ++i) text += "あ";  // 260 bytes
  ApplyItemEdit(r.rows, r.table, 0, {text, "", "", ""});
  const std::string& cell = r.rows.Cell(0, r.table.position[MovieTitle]);
  EXPECT_EQ(cell, text.substr(0, 127 * 3));  // 127 whole characters of 2 bytes in code page 932
}

}  // namespace
}  // namespace clip
