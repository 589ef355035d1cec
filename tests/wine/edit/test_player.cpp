// A stand-in movie player for the playback tests: it writes its command
// line, its arguments as Windows splits them and its working folder into the
// file named by CLIP_PLAYER_LOG (UTF-8), then exits.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<std::size_t>(n - 1) : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

int main() {
  wchar_t log[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"CLIP_PLAYER_LOG", log, MAX_PATH)) return 1;
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string text = "cmdline=" + Utf8(GetCommandLineW()) + "\n";
  text += "argc=" + std::to_string(argc) + "\n";
  for (int i = 1; i < argc; ++i) text += "arg=" + Utf8(argv[i]) + "\n";
  text += "cwd=" + Utf8(folder) + "\n";
  // Written under another name and renamed, so a reader never sees half.
  const std::wstring part = std::wstring(log) + L".part";
  FILE* f = _wfopen(part.c_str(), L"wb");
  if (!f) return 1;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  MoveFileExW(part.c_str(), log, MOVEFILE_REPLACE_EXISTING);
  return 0;
}
