// Both programs carry the application manifest as resource 1 of type
// RT_MANIFEST (24), and a process started with it gets common controls 6
// and per-monitor DPI awareness.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "base/wide_win.h"

namespace wintest {
namespace {

// The manifest text of a program file, or empty.
std::string ManifestOf(const char* path) {
  HMODULE module = LoadLibraryExW(clip::Wide(path).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return {};
  std::string text;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    const void* bytes = LockResource(LoadResource(module, found));
    if (bytes) text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

TEST(Manifest, IsInTheResourcesOfBothPrograms) {
  for (const char* program : {CLIP_WINDOW_EXE_WIN, CLIP_CLI_EXE_WIN}) {
    SCOPED_TRACE(program);
    const std::string manifest = ManifestOf(program);
    ASSERT_FALSE(manifest.empty());
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true</dpiAware>",
                             ">true</longPathAware>", "level=\"asInvoker\"",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // Windows 7
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // Windows 10 and 11
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

TEST(Manifest, GivesTheProcessCommonControls6AndPerMonitorAwareness) {
  // Common controls 6 come from their side-by-side assembly, not from
  // system32 (Wine's comctl32 tells its version by the same path).
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(comctl, path, MAX_PATH);
  std::wstring lower(path);
  for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << clip::Narrow(path);
  EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos)
      << clip::Narrow(path);

  // Per-monitor aware (Windows 10 gives the v2 context; Wine 8 reads the
  // declaration but has per-monitor v1 only). Asked by name: these calls
  // are newer than the Windows 7 headers.
  HMODULE user = GetModuleHandleW(L"user32.dll");
  using GetContext = HANDLE(WINAPI*)();
  using AwarenessOf = int(WINAPI*)(HANDLE);
  auto getContext = reinterpret_cast<GetContext>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
  auto awarenessOf = reinterpret_cast<AwarenessOf>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_TRUE(getContext && awarenessOf);
  EXPECT_EQ(awarenessOf(getContext()), 2);  // DPI_AWARENESS_PER_MONITOR_AWARE
}

}  // namespace
}  // namespace wintest
