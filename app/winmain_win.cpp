#include <windows.h>

#include "app/app_win.h"
#include "catalogue/wide_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  clip::AppState& app = clip::App();
  app.commandLine = clip::Narrow(GetCommandLineW());
  if (!clip::RegisterMainClass(instance)) return 0;
  if (!clip::CreateMainWindow(instance, show)) return 0;
  return clip::RunMessageLoop();
}
