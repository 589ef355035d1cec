#include <cstdio>

#include "listfile/listfile.h"

namespace clip {

const char* const kCsvErrorCaptionCount = "CSVﾃﾞｰﾀ読み込み失敗 [ｶﾃｺﾞﾘ数不一致]";
const char* const kCsvErrorCaptionItem = "CSVﾃﾞｰﾀ読み込み失敗 [ｶﾃｺﾞﾘ項目不一致]";
const char* const kCsvErrorCaptionOpen = "CSVﾃﾞｰﾀ読み込み失敗 [ﾌｧｲﾙｵｰﾌﾟﾝ失敗]";

std::string CsvErrorText(int result) {
  const char* explanation =
      result == kCsvCannotOpen
          ? "ﾌｧｲﾙを開けないか、読み取り中にｴﾗｰが発生しました\n読み込みに失敗しました"
          : "ﾃﾞｰﾀ書き込み時とｶﾃｺﾞﾘﾃｰﾌﾞﾙが異なるか、CSV形式が異なります\n読み込みに失敗しました";
  char text[256];
  std::snprintf(text, sizeof text, "%s ｴﾗｰｺｰﾄﾞ%d", explanation, result);
  return text;
}

const char* ListHeaderName(int category) {
  if (category < 0 || category >= kCategoryCount) return "";
  return kCategories[static_cast<std::size_t>(category)].listHeaderName;
}

}  // namespace clip
