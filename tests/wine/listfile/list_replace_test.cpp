// Saving list files on Windows: replacing an existing file, refusing a
// read-only one or a missing folder without harm, and code page 932 names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/cp932.h"
#include "listfile/listfile.h"

namespace clip {
namespace {

std::string ReadAll(const std::string& path) {
  std::string data;
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
  CloseHandle(h);
  return data;
}

void WriteAll(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD put = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
  CloseHandle(h);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ListReplace : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "clip-listfile-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    rows_.Insert(0, "a.avi", 0);
    rows_.SetCell(0, 1, "1,234");
    rows_.Insert(1, "b.avi", 1);
    table_ = CategoryTable::FromValues({0, 1});
  }
  void TearDown() override {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = dir_ + "\\" + found.cFileName;
        SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(name.c_str());
      } while (FindNextFileA(h, &found));
      FindClose(h);
    }
    RemoveDirectoryA(dir_.c_str());
  }
  std::string File(const std::string& name) const { return dir_ + "\\" + name; }

  std::string dir_;
  RowModel rows_;
  CategoryTable table_;
};

const char kCsv[] =
    "\"ファイル名\",\"サイズ(Byte)\"\r\n"
    "\"a.avi\",\"1,234\"\r\n"
    "\"b.avi\",\"\"\r\n";

TEST_F(ListReplace, SavingOverAnExistingFileReplacesIt) {
  std::string path = File("list.csv");
  WriteAll(path, std::string(10000, 'x'));
  SaveResult r = SaveListFile(rows_, table_, path, ListFormat::Csv, false);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(ReadAll(path), clip::Utf8ToCp932(kCsv));
  EXPECT_FALSE(Exists(path + ".tmp"));
  // Again over the file just written, and as HTML and a new text list.
  ASSERT_TRUE(SaveListFile(rows_, table_, path, ListFormat::Csv, false).ok);
  EXPECT_EQ(ReadAll(path), clip::Utf8ToCp932(kCsv));
  ASSERT_TRUE(SaveListFile(rows_, table_, File("list.htm"), ListFormat::Html, false).ok);
  EXPECT_EQ(ReadAll(File("list.htm")).substr(0, 8), "<html>\r\n");
  std::string text = File("list.txt");
  WriteAll(text, "old text\r\n");
  ASSERT_TRUE(SaveListFile(rows_, table_, text, ListFormat::Text, false).ok);
  EXPECT_EQ(ReadAll(text).substr(0, 10), clip::Utf8ToCp932("ファイル名"));
  ASSERT_TRUE(SaveListFile(rows_, table_, text, ListFormat::Text, true).ok);
  EXPECT_EQ(ReadAll(text), clip::Utf8ToCp932(std::string("ファイル名 サイズ(Byte) \r\n") +
                                             "a.avi      1,234 \r\nb.avi       \r\n"
                                             "a.avi      1,234 \r\nb.avi       \r\n"));
}

TEST_F(ListReplace, ReadOnlyFileIsKeptAndTheFailureNamed) {
  std::string path = File("locked.csv");
  WriteAll(path, "old");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  for (ListFormat f : {ListFormat::Csv, ListFormat::Html, ListFormat::Text}) {
    for (bool append : {false, true}) {
      SaveResult r = SaveListFile(rows_, table_, path, f, append);
      EXPECT_FALSE(r.ok);
      EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
      EXPECT_NE(r.error.find("書き込みが許可されていません"), std::string::npos) << r.error;
    }
  }
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_FALSE(Exists(path + ".tmp"));
}

TEST_F(ListReplace, MissingFolderFailsWithAMessage) {
  std::string path = File("no such folder\\list.csv");
  SaveResult r = SaveListFile(rows_, table_, path, ListFormat::Csv, false);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(path), std::string::npos);
  EXPECT_NE(r.error.find("ﾌｫﾙﾀﾞが見つかりません"), std::string::npos) << r.error;
  EXPECT_FALSE(Exists(path));
}

TEST_F(ListReplace, CodePage932FileNamesAreWrittenAndReadBack) {
  // "ソ" and "表" end in the byte 0x5C, the code of "\".
  std::string path = File("ソフト表の一覧.csv");
  SaveResult r = SaveListFile(rows_, table_, path, ListFormat::Csv, false);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_TRUE(SaveListFile(rows_, table_, path, ListFormat::Csv, false).ok);
  // The name on disk is the Japanese name, not its bytes taken one by one.
  std::wstring wide = std::wstring(L"\\") + L"\u30BD\u30D5\u30C8\u8868\u306E\u4E00\u89A7.csv";
  wchar_t wdir[MAX_PATH];
  MultiByteToWideChar(932, 0, dir_.c_str(), -1, wdir, MAX_PATH);
  EXPECT_NE(GetFileAttributesW((std::wstring(wdir) + wide).c_str()), INVALID_FILE_ATTRIBUTES);
  RowModel loaded;
  ASSERT_EQ(LoadCsvList(loaded, table_, path), kCsvLoaded);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.Cell(0, 1), "1,234");
  EXPECT_EQ(LoadCsvList(loaded, table_, File("無い.csv")), kCsvCannotOpen);
}

}  // namespace
}  // namespace clip
