#include "edit/item_edit.h"

#include "base/cp932.h"
#include "base/text.h"

namespace clip {

const std::array<const char*, 11> kGenreNames = {
    "アニメ", "長編物", "劇場版", "特撮物", "ドラマ", "ＰＶ",
    "ゲーム", "ＯＰ",   "ＥＤ",   "ＯＶＡ", "その他",
};

std::string EditCaption(std::string_view fileName) {
  // Four bytes of the name's code page 932 form go (the extension and its
  // point), but never half of a character.
  const std::size_t length = Cp932Length(fileName);
  return CutCp932(fileName, length > 4 ? length - 4 : 0) + "のｴﾃﾞｨｯﾄ";
}

namespace {

struct CellReader {
  const RowModel& rows;
  const CategoryTable& table;
  int row;
  bool On(int k) const { return table.IsOn(k); }
  const std::string& Cell(int k) const { return rows.Cell(row, table.position[k]); }
  // The cell filled into a format, or the fallback when the category is off.
  std::string Part(int k, const char* before, const char* after, const char* fallback) const {
    return On(k) ? before + Cell(k) + after : fallback;
  }
};

}  // namespace

ItemEditView ComposeItemEdit(const RowModel& rows, const CategoryTable& table, int row) {
  CellReader r{rows, table, row};
  ItemEditView v;
  v.fileName = rows.Cell(row, 0);
  v.caption = EditCaption(v.fileName);
  // Without the folder category the row has no folder to show.
  v.folder = r.On(DirPath) ? r.Cell(DirPath) : "None";

  v.sizeLine = r.Part(FileSizeKB, "", "KB/", "None KB/") + r.Part(FileSizeMB, "", "MB", "None MB");
  v.info1 = r.Part(MoveInfo, "", "", "None") + r.Part(VideoRate, "(", "kbit)/", "(None kbit)/") +
            r.Part(AudioInfo, "", "", "None") + r.Part(AudioRate, "(", ")", "(None kbit/None Khz)");
  v.info2 = r.Part(Resolusion, "Rezolution ", "/", "Rezolution None/") +
            r.Part(FlameRate, "Frame ", "fps/", "Frame None/") +
            r.Part(PlayTime, "Time ", "", "Time None");
  v.sizeLine = CutCp932(v.sizeLine, kEditLineMax);
  v.info1 = CutCp932(v.info1, kEditLineMax);
  v.info2 = CutCp932(v.info2, kEditLineMax);

  v.titleOn = r.On(MovieTitle);
  v.creatorOn = r.On(Creater);
  v.genreOn = r.On(Janle);
  v.commentOn = r.On(Comment);
  if (v.titleOn) v.title = r.Cell(MovieTitle);
  if (v.creatorOn) v.creator = r.Cell(Creater);
  if (v.commentOn) v.comment = r.Cell(Comment);
  if (v.genreOn) {
    v.genre = r.Cell(Janle);
    v.genreSelectFirst = v.genre.empty();
  }
  return v;
}

bool ApplyItemEdit(RowModel& rows, const CategoryTable& table, int row,
                   const ItemEditInput& input) {
  bool changed = false;
  auto apply = [&](int k, const std::string& text) {
    if (!table.IsOn(k)) return;
    const std::string value = CutCp932(text, kInfoTextMax);
    if (value != rows.Cell(row, table.position[k])) changed = true;
    rows.SetCell(row, table.position[k], value);
  };
  apply(MovieTitle, input.title);
  apply(Janle, input.genre);
  apply(Creater, input.creator);
  apply(Comment, input.comment);
  if (changed) rows.SetChecked(row, true);
  return changed;
}

}  // namespace clip
