// Starts the real program, finds its main window and closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Startup, RunsWithCodePage932) { EXPECT_EQ(GetACP(), 932u); }

TEST(Startup, MainWindowHasClassAndCaptionAndQuitsCleanly) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = std::string("\"") + CLIP_EXE_PATH + "\"";
  ASSERT_TRUE(
      CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND main = nullptr;
  for (int i = 0; i < 300 && !main; ++i) {
    Sleep(50);
    main = FindWindowA("VidaRarevov", nullptr);
  }
  ASSERT_NE(main, nullptr);
  char caption[512] = {};
  GetWindowTextA(main, caption, sizeof caption);
  // The title comes from [MainSeting] mvTitle, default Clipledger.
  EXPECT_STREQ(caption, "Clipledger - <NewFile.csv>");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
