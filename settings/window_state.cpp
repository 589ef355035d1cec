#include "settings/window_state.h"

#include "settings/profile.h"

namespace clip {

namespace {

constexpr const char* kSection = "MainSeting";

void WriteInt(Profile& profile, const char* key, int value) {
  profile.WriteString(kSection, key, std::to_string(value));
}

int SwitchValue(bool on) { return on ? 1 : 2; }

// A key the file holds reads the same whatever the default.
bool Holds(Profile& profile, const char* key) {
  return profile.GetInt(kSection, key, 0) == profile.GetInt(kSection, key, 1);
}

}  // namespace

WindowState LoadWindowState(Profile& p) {
  WindowState s;
  s.view.toolbar = p.GetInt(kSection, "ToolBar", 1) == 1;
  s.view.statusBar = p.GetInt(kSection, "StatusBar", 1) == 1;
  s.view.gridLines = p.GetInt(kSection, "GridLine", 1) == 1;
  s.view.saveAtExit = p.GetInt(kSection, "EndSet", 1) == 1;
  const WindowState d;
  s.left = p.GetInt(kSection, "Left", d.left);
  s.top = p.GetInt(kSection, "Top", d.top);
  s.width = p.GetInt(kSection, "Width", d.width);
  s.height = p.GetInt(kSection, "Height", d.height);
  s.saved = Holds(p, "Left") || Holds(p, "Top") || Holds(p, "Width") || Holds(p, "Height");
  return s;
}

void SaveWindowState(Profile& p, const WindowState& s, const std::string& loadDir,
                     const std::string& saveDir) {
  WriteInt(p, "Left", s.left);
  WriteInt(p, "Top", s.top);
  WriteInt(p, "Width", s.width);
  WriteInt(p, "Height", s.height);
  WriteInt(p, "ToolBar", SwitchValue(s.view.toolbar));
  WriteInt(p, "StatusBar", SwitchValue(s.view.statusBar));
  WriteInt(p, "GridLine", SwitchValue(s.view.gridLines));
  p.WriteString(kSection, "LoadPath", loadDir);
  p.WriteString(kSection, "SavePath", saveDir);
}

const char* SaveAtExitValue(bool on) { return on ? "1" : "2"; }

}  // namespace clip
