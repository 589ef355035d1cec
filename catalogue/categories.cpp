#include "catalogue/categories.h"

namespace clip {

const std::array<CategoryInfo, kCategoryCount> kCategories = {{
    {"FileName", "ﾌｧｲﾙ名", 200, Align::Left, 40022, "ﾌｧｲﾙ名", "ファイル名", Align::Left},
    {"FileSizeBT", "ｻｲｽﾞ(Byte)", 85, Align::Right, 40038, "ﾌｧｲﾙｻｲｽﾞ(Byte)", "サイズ(Byte)",
     Align::Right},
    {"FileSizeMB", "ｻｲｽﾞ(MB)", 65, Align::Right, 40023, "ﾌｧｲﾙｻｲｽﾞ(MB)", "サイズ(MB)", Align::Right},
    {"FileSizeKB", "ｻｲｽﾞ(KB)", 75, Align::Right, 40024, "ﾌｧｲﾙｻｲｽﾞ(KB)", "サイズ(KB)", Align::Right},
    {"MovieTitle", "ﾀｲﾄﾙ", 250, Align::Left, 40025, "動画ﾀｲﾄﾙ", "タイトル", Align::Left},
    {"MoveInfo", "動画形式", 75, Align::Left, 40027, "動画ﾌｧｲﾙ形式", "動画形式", Align::Left},
    {"AudioInfo", "音声形式", 75, Align::Left, 40028, "音声ﾌｧｲﾙ形式", "音声形式", Align::Left},
    {"VideoRate", "動画ﾚｰﾄ", 70, Align::Left, 40029, "映像ﾚｰﾄ", "動画レート", Align::Right},
    {"AudioRate", "音声ﾚｰﾄ", 110, Align::Left, 40030, "音声ﾚｰﾄ", "音声レート", Align::Right},
    {"FlameRate", "ﾌﾚｰﾑ", 45, Align::Left, 40031, "ﾌﾚｰﾑﾚｰﾄ", "フレーム", Align::Left},
    {"Resolusion", "解像度", 60, Align::Left, 40032, "動画ｻｲｽﾞ", "解像度", Align::Left},
    {"PlayTime", "時間", 45, Align::Left, 40033, "再生時間", "時間", Align::Left},
    {"Janle", "ｼﾞｬﾝﾙ", 100, Align::Left, 40034, "ｼﾞｬﾝﾙ", "ジャンル", Align::Left},
    {"Creater", "製作者名", 100, Align::Left, 40035, "製作者名", "製作者名", Align::Left},
    {"Comment", "ｺﾒﾝﾄ", 400, Align::Left, 40036, "ｺﾒﾝﾄ", "コメント", Align::Left},
    {"DirPath", "ﾃﾞｨﾚｸﾄﾘﾊﾟｽ", 300, Align::Left, 40026, "ﾃﾞｨﾚｸﾄﾘﾊﾟｽ", "ディレクトリパス",
     Align::Left},
    {"VolLabel", "ﾎﾞﾘｭｰﾑ", 100, Align::Left, 40040, "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙ", "ボリューム", Align::Left},
    {"AudioTracks", "ｵｰﾃﾞｨｵﾄﾗｯｸ", 110, Align::Left, 40051, "ｵｰﾃﾞｨｵﾄﾗｯｸ", "オーディオトラック",
     Align::Left},
    {"Subtitles", "字幕", 110, Align::Left, 40052, "字幕", "字幕", Align::Left},
    {"Channels", "ﾁｬﾝﾈﾙ", 50, Align::Right, 40053, "ﾁｬﾝﾈﾙ", "チャンネル", Align::Right},
    {"VideoBits", "映像ﾋﾞｯﾄ", 90, Align::Left, 40054, "映像ﾋﾞｯﾄ", "映像ビット", Align::Left},
    {"Chapters", "ﾁｬﾌﾟﾀｰ", 55, Align::Right, 40055, "ﾁｬﾌﾟﾀｰ", "チャプター", Align::Right},
    {"Status", "状態", 60, Align::Left, 40056, "状態", "状態", Align::Left},
}};

CategoryTable CategoryTable::FromValues(const std::array<int, kCategoryCount>& values) {
  CategoryTable t;
  t.enabled = values;
  t.enabled[0] = 1;
  t.position.fill(0);
  t.columnCount = 0;
  for (int k = 1; k < kCategoryCount; ++k) {
    if (t.enabled[k] == 1) t.position[k] = ++t.columnCount;
  }
  return t;
}

std::array<int, kCategoryCount> CategoryTable::DefaultValues() {
  std::array<int, kCategoryCount> values{};
  for (int k = 0; k < kCategoryCount; ++k)
    values[static_cast<std::size_t>(k)] = DefaultCategoryValue(k);
  return values;
}

CategoryTable CategoryTable::AllOn() { return FromValues(DefaultValues()); }

CategoryTable CategoryTable::Every() {
  std::array<int, kCategoryCount> values;
  values.fill(1);
  return FromValues(values);
}

int CategoryTable::CategoryAt(int column) const {
  if (column == 0) return FileName;
  for (int k = 1; k < kCategoryCount; ++k)
    if (enabled[k] == 1 && position[k] == column) return k;
  return -1;
}

}  // namespace clip
