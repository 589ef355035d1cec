// [HtmlSetting]: the HTML page options read and written over the settings file.
#include "listfile/html_options.h"

#include <gtest/gtest.h>

#include "recording_profile.h"

namespace clip {
namespace {

using clip::test::RecordingProfile;

TEST(HtmlOptions, MissingSectionGivesTheDefaults) {
  RecordingProfile p;
  HtmlOptions o = LoadHtmlOptions(p);
  EXPECT_EQ(o.caption, "Untitled");
  EXPECT_EQ(o.topTitle, "Untitled");
  EXPECT_EQ(o.backgroundImage, "C:\\");
  EXPECT_EQ(o.topTitleSize, "7");
  EXPECT_EQ(o.cellFontSize, "3");
  EXPECT_EQ(o.topTitleAlign, 1);
  EXPECT_EQ(o.backgroundKind, 0);
  EXPECT_EQ(o.headerAlign, 1);
  EXPECT_EQ(o.rowColouring, 0);
  EXPECT_EQ(o.dataAlign, 1);
  EXPECT_EQ(o.foBackColor, 0xffffffu);
  EXPECT_EQ(o.fitBackColor, 0xffffffu);
  EXPECT_EQ(o.fitFontColor, 0u);
  EXPECT_EQ(o.fiiBackColor1, 0xffffffu);
  EXPECT_EQ(o.fiiBackColor2, 0xccccccu);
  EXPECT_EQ(o.fiiFontColor1, 0u);
  EXPECT_EQ(o.fiiFontColor2, 0u);
  EXPECT_EQ(o.foFontColor, 0u);
  EXPECT_TRUE(p.log.empty());
}

TEST(HtmlOptions, SaveWritesEighteenKeysInOrder) {
  RecordingProfile p;
  HtmlOptions o;
  o.foBackColor = 0xff0000;
  o.fiiFontColor2 = 0xABCDEF;
  o.topTitleAlign = 2;
  SaveHtmlOptions(p, o);
  const std::vector<std::string> expected = {
      "HtmlSetting/Caption",        "HtmlSetting/TopTitle",       "HtmlSetting/FoBackImage",
      "HtmlSetting/FoFontSize",     "HtmlSetting/FiiFontSize",    "HtmlSetting/FoStrDrawType",
      "HtmlSetting/FoBackDrawType", "HtmlSetting/FitStrDrawType", "HtmlSetting/FiiListDraw",
      "HtmlSetting/FiiStrDrawType", "HtmlSetting/FoBackColor",    "HtmlSetting/FitBackColor",
      "HtmlSetting/FitFontColor",   "HtmlSetting/FiiBackColor1",  "HtmlSetting/FiiBackColor2",
      "HtmlSetting/FiiFontColor1",  "HtmlSetting/FiiFontColor2",  "HtmlSetting/FoFontColor"};
  EXPECT_EQ(p.Keys(), expected);
  EXPECT_EQ(p.log[5].second, "2");
  EXPECT_EQ(p.log[10].second, "0xff0000");
  EXPECT_EQ(p.log[12].second, "0x0");
  EXPECT_EQ(p.log[14].second, "0xcccccc");
  EXPECT_EQ(p.log[16].second, "0xabcdef");  // lower case
  // What was saved reads back the same.
  HtmlOptions back = LoadHtmlOptions(p);
  EXPECT_EQ(back.foBackColor, 0xff0000u);
  EXPECT_EQ(back.fiiFontColor2, 0xabcdefu);
  EXPECT_EQ(back.topTitleAlign, 2);
}

TEST(HtmlOptions, TextsAreCutAt127BytesOnACharacterBoundary) {
  RecordingProfile p;
  HtmlOptions o;
  o.caption = "a";
  for (int i = 0; i < 70; ++i) o.caption += "表";  // 141 bytes
  o.topTitle = std::string(200, 'x');
  SaveHtmlOptions(p, o);
  EXPECT_EQ(p.log[0].second, "a" + o.caption.substr(1, 63 * 3));  // 'a' and 63 whole characters
  EXPECT_EQ(p.log[1].second, std::string(127, 'x'));
}

TEST(HtmlOptions, OutOfRangeChoicesLoadAsIsAndSaveAsDefaults) {
  RecordingProfile p;
  p.WriteString("HtmlSetting", "FoStrDrawType", "7");
  p.WriteString("HtmlSetting", "FoBackDrawType", "-1");
  p.WriteString("HtmlSetting", "FiiListDraw", "2");
  p.WriteString("HtmlSetting", "FiiStrDrawType", "0");
  HtmlOptions o = LoadHtmlOptions(p);
  EXPECT_EQ(o.topTitleAlign, 7);  // the dialog checks no button of the group
  EXPECT_EQ(o.backgroundKind, -1);
  EXPECT_EQ(o.rowColouring, 2);
  EXPECT_EQ(o.dataAlign, 0);
  HtmlOptions valid = WithValidChoices(o);
  EXPECT_EQ(valid.topTitleAlign, 1);
  EXPECT_EQ(valid.backgroundKind, 0);
  EXPECT_EQ(valid.rowColouring, 0);
  EXPECT_EQ(valid.dataAlign, 0);
  p.log.clear();
  SaveHtmlOptions(p, o);
  EXPECT_EQ(p.log[5].second, "1");
  EXPECT_EQ(p.log[6].second, "0");
  EXPECT_EQ(p.log[8].second, "0");
  EXPECT_EQ(p.log[9].second, "0");
}

TEST(HtmlOptions, ColourTextsReadWithAutomaticBase) {
  RecordingProfile p;
  p.WriteString("HtmlSetting", "FoBackColor", "255");
  p.WriteString("HtmlSetting", "FitBackColor", "010");
  p.WriteString("HtmlSetting", "FitFontColor", "blue");
  p.WriteString("HtmlSetting", "FoFontColor", "0X00FF00zz");
  HtmlOptions o = LoadHtmlOptions(p);
  EXPECT_EQ(o.foBackColor, 255u);
  EXPECT_EQ(o.fitBackColor, 8u);
  EXPECT_EQ(o.fitFontColor, 0u);
  EXPECT_EQ(o.foFontColor, 0xff00u);
  EXPECT_EQ(RadioOrDefault(2, 3, 1), 2);
  EXPECT_EQ(RadioOrDefault(3, 3, 1), 1);
}

}  // namespace
}  // namespace clip
