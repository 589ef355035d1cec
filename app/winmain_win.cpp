#include <windows.h>

#include "app/app_win.h"
#include "base/wide_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  // Codec drivers and shell extensions are loaded by name while the
  // program runs: never from the current folder, which the automatic scan
  // sets to a folder of movies that may come from others.
  SetDllDirectoryW(L"");
  clip::AppState& app = clip::App();
  app.commandLine = clip::Narrow(GetCommandLineW());
  if (!clip::RegisterMainClass(instance)) return 0;
  if (!clip::CreateMainWindow(instance, show)) return 0;
  return clip::RunMessageLoop();
}
