#include <windows.h>

#include "app/app_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int show) {
  clip::AppState& app = clip::App();
  app.commandLine = args ? args : "";
  app.accel = LoadAcceleratorsA(instance, "ACCEL");
  if (!clip::RegisterMainClass(instance)) return 0;
  if (!clip::CreateMainWindow(instance, show)) return 0;
  return clip::RunMessageLoop();
}
