// The Customize dialog's data: opening state, reset, the writes of OK and
// the faces offered.
#include "settings/customize.h"

#include <gtest/gtest.h>

#include "recording_profile.h"
#include "res/dialogs_res.h"

namespace clip {
namespace {

using clip::test::RecordingProfile;

std::size_t Box(int id) {
  for (std::size_t i = 0; i < kCustomizeBoxes.size(); ++i)
    if (kCustomizeBoxes[i].id == id) return i;
  return 99;
}

TEST(Customize, NoFileLeavesEveryBoxUncheckedButTodaysFormats) {
  RecordingProfile p;
  Settings s;
  CustomizeState st = LoadCustomizeState(p, s);
  for (std::size_t i = 0; i < st.boxes.size(); ++i)
    EXPECT_EQ(st.boxes[i], kCustomizeBoxes[i].id == IDC_CUST_MODERN) << kCustomizeBoxes[i].key;
  EXPECT_EQ(st.autoScan, "C:\\");
  EXPECT_EQ(st.mainFace, "ＭＳ Ｐゴシック");
  EXPECT_EQ(st.mainSize, "12");
  EXPECT_EQ(st.listSize, "12");
  EXPECT_EQ(st.mainColor, 0u);
  EXPECT_EQ(st.listFore, 0u);
  EXPECT_EQ(st.listBack, 0xffffffu);
}

TEST(Customize, OnlyExactlyOneChecksABox) {
  RecordingProfile p;
  p.WriteString("Customize", "FileSizeKB", "1");
  p.WriteString("Customize", "Janle", "2");
  p.WriteString("Customize", "SizeInfo", "1");
  p.WriteString("Customize", "ListBkColor", "0xff00");
  Settings s;
  CustomizeState st = LoadCustomizeState(p, s);
  EXPECT_TRUE(st.boxes[Box(IDC_CUST_SIZEKB)]);
  EXPECT_FALSE(st.boxes[Box(IDC_CUST_JANLE)]);
  EXPECT_TRUE(st.boxes[Box(IDC_CUST_SIZEINFO)]);
  EXPECT_EQ(st.listBack, 0xff00u);
}

TEST(Customize, ResetThenOkWritesTheResetValuesInOrder) {
  RecordingProfile p;
  Settings s;
  s.listClear = 1;
  CustomizeState st = LoadCustomizeState(p, s);
  st.boxes.fill(true);
  st.listBack = 0xff0000;
  st.mainSize = "9";
  ResetCustomizeBoxes(st);
  EXPECT_EQ(st.mainSize, "12");
  EXPECT_EQ(st.listBack, 0xff0000u);  // colours are not reset
  SaveCustomizeState(p, s, st);
  const std::vector<std::string> keys = {
      "Customize/FileSizeBT",     "Customize/FileSizeKB",     "Customize/FileSizeMB",
      "Customize/MovieTitle",     "Customize/MoveInfo",       "Customize/AudioInfo",
      "Customize/VideoRate",      "Customize/AudioRate",      "Customize/FlameRate",
      "Customize/Resolusion",     "Customize/PlayTime",       "Customize/Creater",
      "Customize/Janle",          "Customize/Comment",        "Customize/DirPath",
      "Customize/VolLabel",       "Customize/ListClear",      "Customize/SizeInfo",
      "Customize/ModernFormats",  "Customize/ListUtf8",       "Customize/AutoScan",
      "WindowFonts/MainFontSize", "WindowFonts/ListFontSize", "WindowFonts/MainFontType",
      "WindowFonts/ListFontType", "WindowFonts/EditFontType", "Customize/MainColor",
      "Customize/ListFoColor",    "Customize/ListBkColor"};
  EXPECT_EQ(p.Keys(), keys);
  std::string on;
  for (std::size_t i = 0; i < 20; ++i) on += p.log[i].second;
  EXPECT_EQ(on, "01010000011000100110");
  EXPECT_EQ(p.log[25].second, "");  // EditFontType is written empty
  EXPECT_EQ(p.log[28].second, "0xff0000");
  EXPECT_EQ(s.listClear, 0);
  EXPECT_EQ(s.sizeInfo, 1);
  EXPECT_EQ(s.modernFormats, 1);
  EXPECT_EQ(s.listUtf8, 0);
}

TEST(Customize, TrackBoxesAreWrittenOnlyOnceOnOrAlreadyInTheFile) {
  RecordingProfile p;
  p.WriteString("Customize", "Chapters", "0");
  p.WriteString("Customize", "Status", "1");
  Settings s;
  CustomizeState st = LoadCustomizeState(p, s);
  EXPECT_TRUE(st.boxes[Box(IDC_CUST_STATUS)]);
  st.boxes[Box(IDC_CUST_AUDIOTRACKS)] = true;
  st.boxes[Box(IDC_CUST_STATUS)] = false;
  p.log.clear();
  SaveCustomizeState(p, s, st);
  std::string written;
  for (const auto& [key, value] : p.log)
    if (key == "Customize/AudioTracks" || key == "Customize/Subtitles" ||
        key == "Customize/Chapters" || key == "Customize/Status")
      written += key.substr(10) + "=" + value + ";";
  // Subtitles, off and never in the file, is left out.
  EXPECT_EQ(written, "AudioTracks=1;Chapters=0;Status=0;");
}

TEST(Customize, OkUpdatesTheInMemorySettings) {
  RecordingProfile p;
  Settings s;
  CustomizeState st = LoadCustomizeState(p, s);
  st.autoScan = "D:\\Movies";
  st.mainSize = "1234";
  st.listSize = "8";
  st.mainFace = "ＭＳ ゴシック";
  st.listFace = "";  // no selection: the face stays
  SaveCustomizeState(p, s, st);
  EXPECT_EQ(s.autoScanFolder, "D:\\Movies");
  EXPECT_EQ(s.mainFontSize, "123");
  EXPECT_EQ(s.listFontSize, "8");
  EXPECT_EQ(s.mainFontFace, "ＭＳ ゴシック");
  EXPECT_EQ(s.listFontFace, "ＭＳ Ｐゴシック");
  EXPECT_EQ(p.GetString("WindowFonts", "ListFontType", "", 32), "ＭＳ Ｐゴシック");
  EXPECT_EQ(p.GetString("WindowFonts", "MainFontSize", "", 4), "123");
}

TEST(Customize, JapaneseFacesSkipVerticalAndOtherCharsets) {
  std::vector<FontFamily> families = {
      {"Arial", 0},  {"ＭＳ ゴシック", 128}, {"@ＭＳ ゴシック", 128}, {"ＭＳ Ｐゴシック", 128},
      {"Symbol", 2}, {"ＭＳ ゴシック", 128},
  };
  std::vector<std::string> faces = JapaneseFaces(families);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0], "ＭＳ ゴシック");
  EXPECT_EQ(faces[1], "ＭＳ Ｐゴシック");
  EXPECT_EQ(FaceIndex(faces, "ＭＳ Ｐゴシック"), 1);
  EXPECT_EQ(FaceIndex(faces, "Arial"), -1);
}

}  // namespace
}  // namespace clip
