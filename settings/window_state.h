// The window state kept in [MainSeting]: the window's rectangle and the
// view switches of the ﾂｰﾙ and 編集 menus. The menus show this state; they
// do not hold it.
#pragma once

#include <string>

namespace clip {

class Profile;

struct ViewState {
  bool toolbar = true;
  bool statusBar = true;
  bool gridLines = true;
  bool saveAtExit = true;        // 終了時の状態を保存
  bool sortByExtension = false;  // the file-name column sorts by its type
};

// The rectangle is a screen position and a size at 96 DPI (the window
// scales the size to its display).
struct WindowState {
  int left = 64, top = 64, width = 320, height = 240;
  // Whether the file holds the rectangle (any of its four values; the
  // others keep the values above). Without it the window finds its own
  // place on the screen.
  bool saved = false;
  ViewState view;
};

// Reads the rectangle and the switches; a switch is on when its value is
// exactly 1 (the file stores 1 for on and 2 for off).
WindowState LoadWindowState(Profile& profile);

// Writes what the program keeps at exit, in its fixed order: rectangle,
// bars, grid lines, then the two list-file folders.
void SaveWindowState(Profile& profile, const WindowState& state, const std::string& loadDir,
                     const std::string& saveDir);

// The value 終了時の状態を保存 writes at once when it is switched.
const char* SaveAtExitValue(bool on);

}  // namespace clip
