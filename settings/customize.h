// The Customize dialog's state as data: what it reads from the settings
// file when it opens, the reset values, and what OK writes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/profile.h"
#include "settings/settings.h"

namespace clip {

constexpr int kCustomizeBoxCount = 26;

// A check box of the dialog and the [Customize] key it carries, in the
// order OK writes them (the box order differs from the category order).
struct CustomizeBox {
  int id;
  const char* key;
  int missing = 0;  // the value a missing key counts as
  // Written only once it is on or the file has it, so the files of those
  // who never turn it on keep the keys they had.
  bool writtenWhenSet = false;
};
extern const std::array<CustomizeBox, kCustomizeBoxCount> kCustomizeBoxes;

struct CustomizeState {
  std::array<bool, kCustomizeBoxCount> boxes{};
  std::array<bool, kCustomizeBoxCount> inFile{};  // the key was in the file at opening
  std::string autoScan;
  std::string mainFace, listFace;  // the faces to store at OK
  std::string mainSize, listSize;
  std::uint32_t mainColor = 0, listFore = 0, listBack = 0xffffff;
};

// The dialog's opening state: boxes checked where the key is exactly 1
// (default 0), folder, faces and sizes from the in-memory settings, the
// three colours from the file.
CustomizeState LoadCustomizeState(Profile& profile, const Settings& settings);

// The reset: only FileSizeKB, MovieTitle, Resolusion, PlayTime, DirPath and
// SizeInfo checked, both sizes "12". Colours, folder and faces stay.
void ResetCustomizeBoxes(CustomizeState& state);

// OK: writes every value in its fixed order and updates the in-memory
// settings (folder, faces, sizes cut to three characters, ListClear,
// SizeInfo).
void SaveCustomizeState(Profile& profile, Settings& settings, const CustomizeState& state);

// One font family as the enumeration reports it.
struct FontFamily {
  std::string face;
  int charset = 0;
};
constexpr int kShiftJisCharset = 128;
// The Japanese faces offered in the face boxes: Shift-JIS families without
// the vertical-writing "@" faces, in enumeration order, each once.
std::vector<std::string> JapaneseFaces(const std::vector<FontFamily>& families);
// The index to select for face: the last entry equal to it, or -1.
int FaceIndex(const std::vector<std::string>& faces, const std::string& face);

}  // namespace clip
