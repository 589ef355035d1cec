// clipledger-cli as a Windows console program: files through the Win32
// file system, codec names from the installed codecs like the window, full
// paths and attributes as the window's command line takes them.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "base/wide_win.h"
#include "cli/cli.h"
#include "scan/fs_win.h"
#include "scan/codecs_win.h"

namespace clip {

namespace {

std::string LastErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n > 0 && text ? Narrow(text, static_cast<int>(n)) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : message;
}

class WinCliPlatform : public CliPlatform {
 public:
  WinCliPlatform() {
    // Codec drivers are loaded by name while movies are read: never from
    // the current folder, which may be a folder of movies from others.
    SetDllDirectoryW(L"");
    // The list's bytes go out as they are: no CR is added before an LF.
    _setmode(_fileno(stdout), _O_BINARY);
  }

  FileSystem& Files() override { return files_; }
  CodecNames& Codecs() override { return codecs_; }

  // As the window makes its command line's paths full: the current folder
  // is the one the program was started in.
  std::string FullPath(const std::string& arg) override { return clip::FullPath(arg); }
  std::uint32_t Attributes(const std::string& path) override {
    return GetFileAttributesW(WidePath(path).c_str());
  }
  std::string WalkPath(const std::string& full) override { return full; }
  std::string RowPath(const std::string& walked) override { return walked; }

  std::string WhyNotListed(const std::string& folder) override {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(WidePath(JoinPath(folder, "*")).c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return LastErrorText(GetLastError());
    FindClose(find);
    return {};
  }
  std::string WhyNotOpened(const std::string& path) override {
    HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastErrorText(GetLastError());
    CloseHandle(handle);
    return {};
  }

  unsigned Cores() override { return std::thread::hardware_concurrency(); }
  bool ErrorIsTerminal() override { return _isatty(_fileno(stderr)) != 0; }
  void WriteError(const std::string& text) override {
    // A console shows every script through the wide call; a file or pipe
    // gets the UTF-8 bytes.
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
      const std::wstring wide = Wide(text);
      DWORD written = 0;
      WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
      return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
  std::FILE* Output() override { return stdout; }

 private:
  Win32FileSystem files_;
  // Asked by one thread at a time: the scan's row reader sees to that (the
  // codec and audio managers make no promise about threads).
  Win32CodecNames codecs_;
};

}  // namespace

std::unique_ptr<CliPlatform> MakeCliPlatform() { return std::make_unique<WinCliPlatform>(); }

std::vector<std::string> CliArguments(int, char**) {
  // The wide command line, split as Windows splits it, so that names in any
  // script arrive whole; the first item is the program.
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

}  // namespace clip
