#include "app_harness.h"

#include <cstdio>
#include <shlobj.h>

#include <cstring>

#include "res/resource.h"

namespace apptest {

std::string SamplePath(const std::string& sample) {
  return std::string(CLIP_SAMPLES_DIR) + "\\" + sample;
}

bool CopySample(const std::string& sample, const std::string& to) {
  return CopyFileA(SamplePath(sample).c_str(), to.c_str(), FALSE) != 0;
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

void AppWindow::SetUp() {}

void AppWindow::TearDown() { Close(); }

void AppWindow::Open() {
  if (!ini.empty()) ASSERT_TRUE(WriteFileBytes(folder / "dodedaru.ini", ini));
  clip::App() = clip::AppState{};
  clip::AppState& app = clip::App();
  app.programFolderOverride = folder.path();
  app.commandLine = commandLine;
  app.chooseListFile = [this](HWND, bool, std::string& path) {
    ++dialogsAsked;
    if (chosen.empty()) return false;
    path = chosen.front();
    chosen.erase(chosen.begin());
    return !path.empty();
  };
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(clip::RegisterMainClass(instance));
  ASSERT_NE(clip::CreateMainWindow(instance, SW_SHOWNORMAL), nullptr);
  Pump();
}

void AppWindow::Close() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (clip::App().main && IsWindow(clip::App().main)) DestroyWindow(clip::App().main);
  // The window posts its quit request when destroyed; take it out of the
  // queue so that later modal loops of this thread do not end at once.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  UnregisterClassA(clip::kMainClassName, instance);
  clip::App().main = nullptr;
  clip::App().list = nullptr;
  SetCurrentDirectoryA(TempRoot().c_str());
}

void AppWindow::Command(int id) { SendMessageA(main(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

int AppWindow::Rows() const {
  return static_cast<int>(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
}

std::string AppWindow::Cell(int row, int column) const {
  char buf[260] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  SendMessageA(list(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buf;
}

std::vector<std::string> AppWindow::Column(int column) const {
  std::vector<std::string> out;
  for (int r = 0; r < Rows(); ++r) out.push_back(Cell(r, column));
  return out;
}

std::string AppWindow::Status(int part) const {
  char buf[512] = {};
  SendMessageA(status(), SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buf));
  return buf;
}

std::string AppWindow::Caption() const { return WindowText(main()); }

UINT AppWindow::MenuBits(int id) const { return ::GetMenuState(GetMenu(main()), id, MF_BYCOMMAND); }
bool AppWindow::MenuHas(int id) const { return MenuBits(id) != static_cast<UINT>(-1); }
bool AppWindow::MenuGrayed(int id) const { return MenuHas(id) && (MenuBits(id) & MF_GRAYED) != 0; }
bool AppWindow::MenuChecked(int id) const {
  return MenuHas(id) && (MenuBits(id) & MF_CHECKED) != 0;
}

BYTE AppWindow::ToolbarState(int id) const {
  return static_cast<BYTE>(SendMessageA(toolbar(), TB_GETSTATE, static_cast<WPARAM>(id), 0));
}

std::vector<int> AppWindow::Selected() const {
  std::vector<int> out;
  int r = -1;
  while ((r = static_cast<int>(
              SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(r), LVNI_SELECTED))) >= 0)
    out.push_back(r);
  return out;
}

void AppWindow::Select(const std::vector<int>& wanted) {
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

void AppWindow::ClickList() {
  NMITEMACTIVATE nm{};
  nm.hdr.hwndFrom = list();
  nm.hdr.idFrom = IDC_CATALOGUE_LIST;
  nm.hdr.code = NM_CLICK;
  nm.iItem = -1;
  nm.ptAction = POINT{-100, -100};
  SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
}

void AppWindow::HeaderClick(int column) {
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = list();
  nm.hdr.idFrom = IDC_CATALOGUE_LIST;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = column;
  SendMessageA(main(), WM_NOTIFY, IDC_CATALOGUE_LIST, reinterpret_cast<LPARAM>(&nm));
}

void AppWindow::Drop(const std::vector<std::string>& paths) {
  std::size_t chars = 1;
  for (const auto& p : paths) chars += p.size() + 1;
  HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char* out = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const auto& p : paths) {
    std::memcpy(out, p.c_str(), p.size() + 1);
    out += p.size() + 1;
  }
  *out = '\0';
  GlobalUnlock(mem);
  SendMessageA(main(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
}

std::string AppWindow::IniValue(const char* section, const char* key) const {
  char buf[512] = {};
  GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf,
                           (folder / "dodedaru.ini").c_str());
  return buf;
}

void AppWindow::ChooseFiles(std::vector<std::string> paths) { chosen = std::move(paths); }

}  // namespace apptest
