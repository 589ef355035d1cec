// Helpers shared by the Wine suites: scratch folders, whole-file reads and
// writes, window texts and the message pump. Paths and texts are UTF-8, as
// in the program.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

// The temporary folder, without a final backslash.
std::string TempRoot();

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  explicit TempFolder(const char* prefix = "clipwine");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool MakeFolder(const std::string& path);
bool CopyOneFile(const std::string& from, const std::string& to);

std::string WindowText(HWND w);
std::string ClassOf(HWND w);

// Handles the messages waiting for this thread (a WM_QUIT is dropped).
void Pump();

}  // namespace wintest
