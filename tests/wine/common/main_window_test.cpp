#include "main_window_test.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "base/cp932.h"
#include "base/wide_win.h"
#include "res/resource.h"

namespace wintest {

std::string SamplePath(const std::string& sample) {
  return std::string(CLIP_SAMPLES_DIR) + "\\" + sample;
}

bool CopySample(const std::string& sample, const std::string& to) {
  return CopyOneFile(SamplePath(sample), to);
}

BoxAnswerer::BoxAnswerer(int button, int count, DWORD thread)
    : button_(button), count_(count), thread_(thread), worker_([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
  stop_ = true;
  worker_.join();
}

std::vector<SeenBox> BoxAnswerer::Seen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

void BoxAnswerer::Run() {
  DWORD deadline = GetTickCount() + 20000;
  while (!stop_ && GetTickCount() < deadline) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (static_cast<int>(seen_.size()) >= count_) return;
    }
    std::vector<HWND> boxes;
    EnumThreadWindows(
        thread_,
        [](HWND w, LPARAM p) -> BOOL {
          if (IsWindowVisible(w) && ClassOf(w) == "#32770")
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes) {
      bool known = false;
      for (HWND a : answered_) known = known || a == box;
      if (known) continue;
      Sleep(50);  // let the box finish showing its texts
      SeenBox seen;
      seen.caption = WindowText(box);
      std::vector<std::string> texts;
      EnumChildWindows(
          box,
          [](HWND w, LPARAM p) -> BOOL {
            if (ClassOf(w) == "Static") {
              std::string t = WindowText(w);
              if (!t.empty()) reinterpret_cast<std::vector<std::string>*>(p)->push_back(t);
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&texts));
      for (std::size_t i = 0; i < texts.size(); ++i) seen.text += (i ? "\n" : "") + texts[i];
      answered_.push_back(box);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(seen);
      }
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
    }
    Sleep(20);
  }
}

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

}  // namespace

void HoldForScreenshot(HWND window) {
  char dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("CLIP_DIALOG_SHOTS", dir, sizeof dir)) return;
  static std::vector<std::string> taken;
  const std::string caption = WindowText(window);
  for (const std::string& c : taken)
    if (c == caption) return;
  taken.push_back(caption);
  RECT r{};
  GetWindowRect(window, &r);
  const std::string marker = std::string(dir) + "\\shot" + std::to_string(taken.size()) + ".ready";
  WriteFileBytes(marker, caption + "\n" + std::to_string(r.left) + " " + std::to_string(r.top) +
                             " " + std::to_string(r.right - r.left) + " " +
                             std::to_string(r.bottom - r.top) + "\n");
  for (int i = 0; i < 300 && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);
}

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
  SendMessageW(GetDlgItem(dlg, id), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(clip::Wide(text).c_str()));
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
    if (dlg) HoldForScreenshot(dlg);
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

void MainWindowTest::Open(bool large) {
  if (!ini.empty()) ASSERT_TRUE(WriteFileBytes(folder / "dodedaru.ini", ini));
  clip::App() = clip::AppState{};
  clip::AppState& app = clip::App();
  app.programFolderOverride = folder.path();
  app.commandLine = "clipledger.exe " + commandLine;
  app.onScanProgress = scanProgress;
  app.chooseListFile = [this](HWND, bool) -> std::optional<std::string> {
    ++dialogsAsked;
    if (chosen.empty()) return std::nullopt;
    std::string path = chosen.front();
    chosen.erase(chosen.begin());
    if (path.empty()) return std::nullopt;
    return path;
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(clip::RegisterMainClass(instance));
  ASSERT_NE(clip::CreateMainWindow(instance, SW_SHOWNORMAL), nullptr);
  if (large) MoveWindow(app.main, 100, 60, 760, 560, TRUE);
  Pump();
}

void MainWindowTest::Close() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (clip::App().main && IsWindow(clip::App().main)) DestroyWindow(clip::App().main);
  // The window posts its quit request when destroyed; take it out of the
  // queue so that later modal loops of this thread do not end at once.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  UnregisterClassW(clip::kMainClassName, instance);
  clip::App().main = nullptr;
  clip::App().list = nullptr;
  SetCurrentDirectoryA(TempRoot().c_str());
}

void MainWindowTest::Command(int id) { SendMessageA(main(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

int MainWindowTest::Rows() const {
  return static_cast<int>(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
}

std::string MainWindowTest::Cell(int row, int column) const {
  wchar_t buf[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buf;
  item.cchTextMax = 1024;
  SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return clip::Narrow(buf);
}

std::vector<std::string> MainWindowTest::Column(int column) const {
  std::vector<std::string> out;
  for (int r = 0; r < Rows(); ++r) out.push_back(Cell(r, column));
  return out;
}

std::string MainWindowTest::Status(int part) const {
  wchar_t buf[1024] = {};
  SendMessageW(status(), SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buf));
  return clip::Narrow(buf);
}

std::string MainWindowTest::Caption() const { return WindowText(main()); }

UINT MainWindowTest::MenuBits(int id) const {
  return ::GetMenuState(GetMenu(main()), id, MF_BYCOMMAND);
}
bool MainWindowTest::MenuHas(int id) const { return MenuBits(id) != static_cast<UINT>(-1); }
bool MainWindowTest::MenuGrayed(int id) const {
  return MenuHas(id) && (MenuBits(id) & MF_GRAYED) != 0;
}
bool MainWindowTest::MenuChecked(int id) const {
  return MenuHas(id) && (MenuBits(id) & MF_CHECKED) != 0;
}

BYTE MainWindowTest::ToolbarState(int id) const {
  return static_cast<BYTE>(SendMessageA(toolbar(), TB_GETSTATE, static_cast<WPARAM>(id), 0));
}

std::vector<int> MainWindowTest::Selected() const {
  std::vector<int> out;
  int r = -1;
  while ((r = static_cast<int>(
              SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(r), LVNI_SELECTED))) >= 0)
    out.push_back(r);
  return out;
}

void MainWindowTest::Select(const std::vector<int>& wanted) {
  for (int r : Selected()) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
  }
  for (int r : wanted) {
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageA(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
  }
}

void MainWindowTest::ClickList() {
  NMITEMACTIVATE nm{};
  nm.hdr.hwndFrom = list();
  nm.hdr.idFrom = IDC_CATALOGUE_LIST;
  nm.hdr.code = NM_CLICK;
  nm.iItem = -1;
  nm.ptAction = POINT{-100, -100};
  SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
}

void MainWindowTest::HeaderClick(int column) {
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = list();
  nm.hdr.idFrom = IDC_CATALOGUE_LIST;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = column;
  SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
}

void MainWindowTest::Drop(const std::vector<std::string>& paths) {
  std::wstring all;
  for (const auto& p : paths) all += clip::Wide(p) + L'\0';
  all += L'\0';
  HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + all.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), all.data(),
              all.size() * sizeof(wchar_t));
  GlobalUnlock(mem);
  SendMessageW(main(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
}

std::string MainWindowTest::IniValue(const char* section, const char* key) const {
  // The settings file is code page 932; the test reads it as the platform
  // does and compares UTF-8.
  char buf[1024] = {};
  GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf,
                           clip::Utf8ToCp932(folder / "dodedaru.ini").c_str());
  return clip::Cp932ToUtf8(buf);
}

bool MainWindowTest::IniHas(const char* section, const char* key) const {
  return IniValue(section, key) != "<none>";
}

int MainWindowTest::AddRow(const std::string& fileName,
                           const std::vector<std::pair<int, std::string>>& cells) {
  clip::AppState& app = clip::App();
  int r = app.rows.Insert(app.rows.Count(), fileName, app.rows.Count());
  for (const auto& [k, text] : cells)
    if (app.table.IsOn(k)) app.rows.SetCell(r, app.table.position[k], text);
  clip::SyncRowCount();
  return r;
}

void MainWindowTest::ChooseFiles(std::vector<std::string> paths) { chosen = std::move(paths); }

}  // namespace wintest
