#include "dialog_harness.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace dlgtest {

namespace {

struct Search {
  std::string caption;
  HWND owner = nullptr;
  bool byOwner = false;
  const std::vector<HWND>* skip = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK Look(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  if (!IsWindowVisible(w) || ClassOf(w) != "#32770") return TRUE;
  if (s->skip)
    for (HWND k : *s->skip)
      if (k == w) return TRUE;
  if (s->byOwner ? GetWindow(w, GW_OWNER) == s->owner
                 : (s->caption.empty() || WindowText(w) == s->caption)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND Wait(DWORD thread, Search& s, DWORD timeoutMs) {
  const DWORD deadline = GetTickCount() + timeoutMs;
  while (GetTickCount() < deadline) {
    s.found = nullptr;
    EnumThreadWindows(thread, Look, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      Sleep(150);  // let it finish initialising and painting
      return s.found;
    }
    Sleep(20);
  }
  return nullptr;
}

// With CLIP_DIALOG_SHOTS naming a folder, each dialog waits after opening
// until the marker file it leaves there is removed (by whoever takes the
// screenshot), at most 30 seconds.
void HoldForScreenshot(const std::string& caption) {
  char dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("CLIP_DIALOG_SHOTS", dir, sizeof dir)) return;
  static int n = 0;
  const std::string marker = std::string(dir) + "\\shot" + std::to_string(++n) + ".ready";
  WriteFileBytes(marker, caption);
  for (int i = 0; i < 300 && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);
}

}  // namespace

std::string ItemText(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id)); }

bool Checked(HWND dlg, int id) {
  return SendMessageA(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

COLORREF ShownColour(HWND dlg, int id) {
  HWND control = GetDlgItem(dlg, id);
  RECT rc;
  GetClientRect(control, &rc);
  HDC dc = GetDC(control);
  COLORREF c = GetPixel(dc, rc.right / 2, rc.bottom / 2);
  ReleaseDC(control, dc);
  return c;
}

HWND WaitForDialog(DWORD thread, const std::string& caption, std::vector<HWND> skip,
                   DWORD timeoutMs) {
  Search s;
  s.caption = caption;
  s.skip = &skip;
  return Wait(thread, s, timeoutMs);
}

HWND WaitForOwned(DWORD thread, HWND owner, DWORD timeoutMs) {
  Search s;
  s.owner = owner;
  s.byOwner = true;
  return Wait(thread, s, timeoutMs);
}

bool WaitGone(HWND w, DWORD timeoutMs) {
  const DWORD deadline = GetTickCount() + timeoutMs;
  while (GetTickCount() < deadline) {
    if (!IsWindow(w)) return true;
    Sleep(20);
  }
  return false;
}

void Click(HWND dlg, int id) {
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void ClickLater(HWND dlg, int id) {
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void SetText(HWND dlg, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void AnswerColourChooser(DWORD thread, HWND owner, bool accept, COLORREF colour) {
  HWND chooser = WaitForOwned(thread, owner);
  ASSERT_NE(chooser, nullptr) << "no colour chooser";
  if (accept) {
    // The red, green and blue fields of the chooser.
    SetText(chooser, 706, std::to_string(GetRValue(colour)));
    SetText(chooser, 707, std::to_string(GetGValue(colour)));
    SetText(chooser, 708, std::to_string(GetBValue(colour)));
  }
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(accept ? IDOK : IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(WaitGone(chooser));
}

void WithDialog(const std::string& caption, const std::function<void()>& open,
                const std::function<void(HWND dlg, DWORD uiThread)>& drive) {
  const DWORD ui = GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::thread helper([&] {
    HWND dlg = WaitForDialog(ui, caption);
    EXPECT_NE(dlg, nullptr) << "dialog " << caption << " did not open";
    if (dlg) HoldForScreenshot(caption);
    if (dlg) {
      drive(dlg, ui);
      if (!WaitGone(dlg, 3000)) {
        ADD_FAILURE() << "dialog " << caption << " left open";
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    }
    done = true;
  });
  open();
  helper.join();
}

void MainWindowTest::TearDown() { Close(); }

void MainWindowTest::Open() {
  if (!ini.empty()) ASSERT_TRUE(WriteFileBytes(folder / "dodedaru.ini", ini));
  clip::App() = clip::AppState{};
  clip::AppState& app = clip::App();
  app.programFolderOverride = folder.path();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(clip::RegisterMainClass(instance));
  ASSERT_NE(clip::CreateMainWindow(instance, SW_SHOWNORMAL), nullptr);
  MoveWindow(app.main, 100, 60, 760, 560, TRUE);
  Pump();
}

void MainWindowTest::Close() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (clip::App().main && IsWindow(clip::App().main)) DestroyWindow(clip::App().main);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  UnregisterClassA(clip::kMainClassName, instance);
  clip::App().main = nullptr;
  clip::App().list = nullptr;
  SetCurrentDirectoryA(TempRoot().c_str());
}

std::string MainWindowTest::IniValue(const char* section, const char* key) const {
  char buf[1024] = {};
  GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf,
                           (folder / "dodedaru.ini").c_str());
  return buf;
}

bool MainWindowTest::IniHas(const char* section, const char* key) const {
  return IniValue(section, key) != "<missing>";
}

int MainWindowTest::AddRow(const std::string& fileName,
                           const std::vector<std::pair<int, std::string>>& cells) {
  clip::AppState& app = clip::App();
  int r = app.rows.Insert(app.rows.Count(), fileName, app.rows.Count());
  for (const auto& [k, text] : cells)
    if (app.table.IsOn(k)) app.rows.SetCell(r, app.table.position[k], text);
  clip::RefreshRows();
  return r;
}

void MainWindowTest::Select(const std::vector<int>& rows) {
  HWND list = clip::App().list;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = 0;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  for (int r : rows) {
    item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace dlgtest
