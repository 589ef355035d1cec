// The Win32 side of scanning under Wine: listing attributes, paths with
// double-byte names, link loops, locked and missing files, 64-bit sizes,
// volume labels, drive figures and the folder browser.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "catalogue/row_model.h"
#include "scan/scan.h"
#include "win/dialog_helpers_win.h"
#include "base/wide_win.h"
#include "scan/fs_win.h"
#include "scan/codecs_win.h"
#include "scan/disk_win.h"
#include "scan_rows.h"
#include "settings/settings.h"
#include "win_files.h"

namespace clip {
namespace {

using test::AddFileRow;
using test::ScanInto;
using test::TestScan;

class RecordingStatus : public StatusSink {
 public:
  void SetStatusText(int part, const std::string& text) override { parts[part] = text; }
  std::map<int, std::string> parts;
};

struct Win32Scan {
  Win32FileSystem fs;
  Win32CodecNames codecs;
  RowModel rows;
  RecordingStatus status;
  CategoryTable table = CategoryTable::AllOn();
  TestScan ctx{rows, table, fs, codecs};

  std::string Cell(int row, int category) const { return rows.Cell(row, table.position[category]); }
  int Find(const std::string& name) const {
    for (int r = 0; r < rows.Count(); ++r)
      if (rows.Cell(r, 0) == name) return r;
    return -1;
  }
};

bool Exists(const std::string& path) { return wintest::FileExists(path); }

void WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return root + "\\" + name; }

  wintest::TempFolder folder{"clipscan"};
  const std::string root = folder.path();
};

TEST_F(TempFolder, ListingGivesTheAttributeValuesOfFilesAndFolders) {
  ASSERT_TRUE(CreateDirectoryA(Path("plain").c_str(), nullptr));
  // Wine shows a folder whose name starts with "." as hidden.
  ASSERT_TRUE(CreateDirectoryA(Path(".hidden").c_str(), nullptr));
  WriteFile(Path("a.avi"), "x");

  Win32FileSystem fs;
  std::vector<FileSystem::Entry> entries;
  ASSERT_TRUE(fs.List(root, entries));
  std::map<std::string, std::uint32_t> attrs;
  for (const auto& e : entries) attrs[e.name] = e.attributes;
  EXPECT_EQ(attrs.count("."), 1u);
  EXPECT_EQ(attrs.count(".."), 1u);
  EXPECT_EQ(attrs["plain"], 0x10u);
  EXPECT_EQ(attrs[".hidden"], 0x12u);
  EXPECT_EQ(attrs["a.avi"] & FILE_ATTRIBUTE_DIRECTORY, 0u);

  // With a trailing separator the same entries come back.
  std::vector<FileSystem::Entry> again;
  ASSERT_TRUE(fs.List(root + "\\", again));
  EXPECT_EQ(again.size(), entries.size());
  EXPECT_FALSE(fs.List(Path("missing"), entries));
}

TEST_F(TempFolder, TheWalkEntersEveryFolderInAnyScriptWhateverItsAttributes) {
  // ソ was 83 5C in code page 932; Café cannot be named in it at all.
  const std::string so = Path("Mソ");
  ASSERT_TRUE(wintest::MakeFolder(so));
  WriteFile(so + "\\in-so.avi", std::string(3000, 's'));
  ASSERT_TRUE(wintest::MakeFolder(Path("Café")));
  WriteFile(Path("Café\\한국영화😀.avi"), std::string(100, 'k'));
  ASSERT_TRUE(CreateDirectoryA(Path(".hidden").c_str(), nullptr));
  WriteFile(Path(".hidden\\h.avi"), "h");
  // A folder customised with a desktop.ini is read-only; others are system,
  // archive or not indexed: each is a folder all the same.
  const std::pair<const char*, DWORD> marked[] = {
      {"readonly", FILE_ATTRIBUTE_READONLY},
      {"system", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN},
      {"archive", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED}};
  for (const auto& [name, attributes] : marked) {
    ASSERT_TRUE(CreateDirectoryA(Path(name).c_str(), nullptr));
    WriteFile(Path(name) + "\\" + name + ".avi", "m");
    SetFileAttributesA(Path(name).c_str(), attributes);
  }
  WriteFile(Path("top.MPG"), std::string(1234567, 'm'));
  WriteFile(Path("note.txt"), "t");

  Win32Scan s;
  ScanInto(s.ctx, root);
  for (const char* name : {"h.avi", "readonly.avi", "system.avi", "archive.avi"})
    EXPECT_GE(s.Find(name), 0) << name;
  for (const auto& [name, attributes] : marked) SetFileAttributesA(Path(name).c_str(), 0x80);
  ASSERT_EQ(s.rows.Count(), 7);
  EXPECT_EQ(s.rows.Cell(0, 0), "top.MPG");
  EXPECT_EQ(s.Cell(0, FileSizeBT), "1,234,567");
  EXPECT_EQ(s.Cell(0, FileSizeMB), "1.18");
  EXPECT_EQ(s.Cell(0, FileSizeKB), "1,205");
  const int k = s.Find("한국영화😀.avi");
  ASSERT_GE(k, 0);
  EXPECT_EQ(s.Cell(k, FileSizeBT), "100");
  EXPECT_EQ(s.Cell(k, DirPath), Path("Café"));
  const int m = s.Find("in-so.avi");
  ASSERT_GE(m, 0);
  EXPECT_EQ(s.Cell(m, FileSizeBT), "3,000");
  EXPECT_EQ(s.Cell(m, DirPath), so);
}

TEST_F(TempFolder, ALockedFileGivesARowWithEmptySizesAndAMissingOneIsNeverCreated) {
  std::string locked = Path("locked.avi");
  WriteFile(locked, std::string(5000, 'l'));
  HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  Win32Scan s;
  AddFileRow(s.ctx, locked, 0);
  CloseHandle(hold);
  ASSERT_EQ(s.rows.Count(), 1);
  EXPECT_EQ(s.rows.Cell(0, 0), "locked.avi");
  EXPECT_EQ(s.Cell(0, FileSizeBT), "");
  EXPECT_EQ(s.Cell(0, FileSizeMB), "");
  EXPECT_EQ(s.Cell(0, FileSizeKB), "");
  EXPECT_EQ(s.Cell(0, DirPath), root);

  // Once released, the same file reads normally.
  AddFileRow(s.ctx, locked, 1);
  EXPECT_EQ(s.Cell(1, FileSizeBT), "5,000");

  std::string missing = Path("missing.avi");
  AddFileRow(s.ctx, missing, 2);
  EXPECT_EQ(s.rows.Cell(2, 0), "missing.avi");
  EXPECT_EQ(s.Cell(2, FileSizeBT), "");
  EXPECT_FALSE(Exists(missing));
}

TEST_F(TempFolder, AFileAbove4GiBShowsItsSizeAndItsTailIsRead) {
  // A sparse file of 5 GiB whose last bytes hold an ISBJ entry.
  std::string big = Path("big.avi");
  HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const std::string tail = std::string("ISBJ\x06\0\0\0", 8) + std::string("Large", 6);
  LARGE_INTEGER at;
  at.QuadPart = (5LL << 30) - static_cast<LONGLONG>(tail.size());
  ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(h, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr));
  CloseHandle(h);

  Win32FileSystem fs;
  auto file = fs.Open(big);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), 5ull << 30);
  char bytes[4] = {};
  EXPECT_EQ(file->ReadAt((5ull << 30) - tail.size(), bytes, 4), 4u);
  EXPECT_EQ(std::string(bytes, 4), "ISBJ");
  file.reset();

  Win32Scan s;
  AddFileRow(s.ctx, big, 0);
  EXPECT_EQ(s.Cell(0, FileSizeBT), "5,368,709,120");
  EXPECT_EQ(s.Cell(0, FileSizeMB), "5120.0");
  EXPECT_EQ(s.Cell(0, FileSizeKB), "5,242,880");
  EXPECT_EQ(s.Cell(0, MovieTitle), "Large");
  DeleteFileA(big.c_str());
}

TEST(Win32Scan, LinksBackToAncestorsEndTheWalkWithEveryFileOnce) {
  std::string tree = CLIP_SCAN_TREE "\\loop";
  ASSERT_TRUE(Exists(tree + "\\S\\up"))
      << "the tree is made by the wine_scan_tree test: run through ctest";
  Win32FileSystem fs;
  EXPECT_EQ(fs.FolderIdentity(tree + "\\S\\up"), fs.FolderIdentity(tree));
  EXPECT_EQ(fs.FolderIdentity(tree + "\\S\\T\\top"), fs.FolderIdentity(tree));
  EXPECT_NE(fs.FolderIdentity(tree + "\\S"), fs.FolderIdentity(tree));
  EXPECT_FALSE(fs.FolderIdentity(tree).empty());
  EXPECT_EQ(fs.FolderIdentity(tree + "\\missing"), "");

  Win32Scan s;
  ScanInto(s.ctx, tree);
  std::vector<std::string> names;
  for (int r = 0; r < s.rows.Count(); ++r) names.push_back(s.rows.Cell(r, 0));
  EXPECT_EQ(names, (std::vector<std::string>{"a.avi", "s.mpg", "t.rm"}));
  EXPECT_EQ(s.Cell(1, DirPath), tree + "\\S");
  EXPECT_EQ(s.Cell(1, FileSizeBT), "8,192");
}

TEST(Win32Scan, PathsBeyondTheClassicLimitGetTheirFacts) {
  std::string tree = CLIP_SCAN_TREE "\\long";
  ASSERT_TRUE(Exists(tree + "\\short.rm"))
      << "the tree is made by the wine_scan_tree test: run through ctest";
  Win32Scan s;
  ScanInto(s.ctx, tree);
  std::map<std::string, std::string> sizes;
  for (int r = 0; r < s.rows.Count(); ++r) sizes[s.rows.Cell(r, 0)] = s.Cell(r, FileSizeBT);
  // Paths past MAX_PATH are listed and opened through their long form.
  std::string longName = std::string(130, 'c') + ".rm";
  EXPECT_EQ(sizes, (std::map<std::string, std::string>{
                       {"short.rm", "2,784"}, {longName, "2,784"}, {"deep.rm", "2,784"}}));
  int r = s.Find(longName);
  ASSERT_GE(r, 0);
  EXPECT_EQ(s.Cell(r, DirPath), tree + "\\" + std::string(120, 'a'));
  // A folder cell past 255 characters is whole, so the row names its folder.
  r = s.Find("deep.rm");
  ASSERT_GE(r, 0);
  EXPECT_EQ(s.Cell(r, DirPath), tree + "\\" + std::string(120, 'a') + "\\" + std::string(120, 'b'));
}

TEST(Win32Scan, TheSamplesGiveTheirRowsWithTitleAndProbeFields) {
  std::string samples = CLIP_SAMPLES_WIN;
  Win32Scan s;
  ScanInto(s.ctx, samples);
  ASSERT_EQ(s.rows.Count(), 5);
  EXPECT_EQ(s.rows.Cell(4, 0), "video_only.avi");
  int titled = s.Find("titled.avi");
  ASSERT_GE(titled, 0);
  EXPECT_EQ(s.Cell(titled, MovieTitle), "サンプル動画");
  EXPECT_EQ(s.Cell(titled, Comment), "ソフトの見本です");
  EXPECT_EQ(s.Cell(titled, Resolusion), "64x48");
  int mpeg = s.Find("mpeg1.mpg");
  ASSERT_GE(mpeg, 0);
  EXPECT_EQ(s.Cell(mpeg, MoveInfo), "MPEG1");
}

TEST(Win32Scan, VolumeLabelsComeFromTheDrivesRoot) {
  Win32FileSystem fs;
  char expected[128] = {};
  BOOL ok = GetVolumeInformationA("C:\\", expected, sizeof expected, nullptr, nullptr, nullptr,
                                  nullptr, 0);
  EXPECT_EQ(fs.VolumeLabel("C:\\"), ok ? std::string(expected) : std::string());
  EXPECT_EQ(fs.VolumeLabel("Q:\\"), "");
  EXPECT_EQ(fs.VolumeLabel("\\\\s"), "");

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  Win32Scan s;
  s.table = CategoryTable::FromValues([] {
    std::array<int, kCategoryCount> v{};
    v[VolLabel] = 1;
    return v;
  }());
  AddFileRow(s.ctx, std::string(temp) + "none.avi", 0);
  EXPECT_EQ(s.rows.Cell(0, 1), fs.VolumeLabel(std::string(temp).substr(0, 3)));
}

TEST(Win32Scan, DriveFiguresAreWholeKilobytesOfTheDrive) {
  Win32DiskQuery disk;
  std::uint64_t total = 0, free = 0;
  ASSERT_TRUE(disk.SpaceKB("C:", total, free));
  EXPECT_GT(total, 0u);
  EXPECT_LE(free, total);
  ULARGE_INTEGER avail, bytes, freeBytes;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &avail, &bytes, &freeBytes));
  EXPECT_EQ(total, bytes.QuadPart / 1024);

  RecordingStatus status;
  RowModel rows;
  ShowScanTotals(rows, CategoryTable::AllOn(), disk, status, "C:\\Movies");
  EXPECT_EQ(status.parts[0], "0file(s) 0KB(0.0MB)");
  EXPECT_EQ(status.parts[1].rfind("DiskMax: ", 0), 0u);
  EXPECT_NE(status.parts[1], "DiskMax: 0.0MB");
  EXPECT_EQ(status.parts[3].rfind("Per: ", 0), 0u);

  EXPECT_FALSE(disk.SpaceKB("\\\\", total, free));
  EXPECT_EQ(total, 0u);
  ShowScanTotals(rows, CategoryTable::AllOn(), disk, status, "\\\\server\\share");
  EXPECT_EQ(status.parts[1], "DiskMax: 0.0MB");
  EXPECT_EQ(status.parts[3], "Per:Non");
}

// Finds the browser dialog of this process, then acts on it.
struct BrowserDriver {
  std::string select;  // empty: cancel
  std::string title;   // the static text seen in the dialog
  bool found = false;

  static BOOL CALLBACK Child(HWND child, LPARAM param) {
    auto* self = reinterpret_cast<BrowserDriver*>(param);
    const std::string text = wintest::WindowText(child);
    if (text == "ｽｷｬﾝするﾄﾞﾗｲﾌﾞ･ﾌｫﾙﾀﾞ") self->title = text;
    return TRUE;
  }
  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<BrowserDriver*>(param);
    for (int i = 0; i < 200; ++i) {
      Sleep(50);
      HWND dialog = nullptr;
      while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(dialog, &pid);
        if (pid == GetCurrentProcessId()) break;
      }
      if (!dialog) continue;
      self->found = true;
      Sleep(300);  // let the tree fill
      EnumChildWindows(dialog, Child, reinterpret_cast<LPARAM>(self));
      if (self->select.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      } else {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(self->select.c_str()));
        Sleep(200);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      }
      return 0;
    }
    return 0;
  }
};

TEST(Win32Scan, TheFolderPickerGivesNothingOnCancelAndThePathOnOk) {
  BrowserDriver cancel;
  HANDLE t = CreateThread(nullptr, 0, BrowserDriver::Run, &cancel, 0, nullptr);
  EXPECT_EQ(PickFolder(nullptr, kScanFolderTitle), std::nullopt);
  WaitForSingleObject(t, 15000);
  CloseHandle(t);
  EXPECT_TRUE(cancel.found);
  EXPECT_EQ(cancel.title, "ｽｷｬﾝするﾄﾞﾗｲﾌﾞ･ﾌｫﾙﾀﾞ");

  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  BrowserDriver ok;
  ok.select = windows;
  t = CreateThread(nullptr, 0, BrowserDriver::Run, &ok, 0, nullptr);
  std::string chosen = PickFolder(nullptr, kScanFolderTitle).value_or("");
  WaitForSingleObject(t, 15000);
  CloseHandle(t);
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, chosen.c_str(), -1, windows, -1),
            CSTR_EQUAL)
      << chosen;
}

}  // namespace
}  // namespace clip
