// The player program taken from the registered open command.
#include "edit/player.h"

#include <gtest/gtest.h>

namespace clip {
namespace {

TEST(PlayerFromCommand, QuotedPath) {
  EXPECT_EQ(PlayerFromCommand("\"C:\\Program Files\\Player\\play.exe\" /open \"%1\""),
            "C:\\Program Files\\Player\\play.exe");
  EXPECT_EQ(PlayerFromCommand("  \"C:\\a b\\p.exe\""), "C:\\a b\\p.exe");
  EXPECT_EQ(PlayerFromCommand("\"C:\\unclosed\\p.exe"), "C:\\unclosed\\p.exe");
}

TEST(PlayerFromCommand, UnquotedPathEndsAtTheFirstExe) {
  EXPECT_EQ(PlayerFromCommand("C:\\WINDOWS\\rundll32.exe amovie.ocx,RunDll /play %1"),
            "C:\\WINDOWS\\rundll32.exe");
  EXPECT_EQ(PlayerFromCommand("C:\\Program Files\\P\\PLAY.EXE %1"),
            "C:\\Program Files\\P\\PLAY.EXE");
  // Several "exe": the player ends at the first one, the rest are arguments.
  EXPECT_EQ(PlayerFromCommand("C:\\bin\\a.exe /with C:\\other.exe"), "C:\\bin\\a.exe");
  // "exe" inside a name is not an extension.
  EXPECT_EQ(PlayerFromCommand("C:\\exemplar\\p.exe %1"), "C:\\exemplar\\p.exe");
  // Double-byte folder names pass through whole.
  EXPECT_EQ(PlayerFromCommand("C:\\動画ソフト\\再生.exe %1"), "C:\\動画ソフト\\再生.exe");
}

TEST(PlayerFromCommand, WithoutExeTheFirstWordIsTheProgram) {
  EXPECT_EQ(PlayerFromCommand("mplayer %1"), "mplayer");
  EXPECT_EQ(PlayerFromCommand("C:\\tools\\play.com"), "C:\\tools\\play.com");
}

TEST(PlayerFromCommand, EmptyCommandsNameNoProgram) {
  EXPECT_EQ(PlayerFromCommand(""), "");
  EXPECT_EQ(PlayerFromCommand("   "), "");
  EXPECT_EQ(PlayerFromCommand("\"\""), "");
}

TEST(PlanPlayback, TheMoviePathIsQuoted) {
  PlayLaunch l = PlanPlayback("\"C:\\P\\play.exe\" \"%1\"", "D:\\My Movies", "a b.avi");
  EXPECT_EQ(l.file, "C:\\P\\play.exe");
  EXPECT_EQ(l.parameters, "\"D:\\My Movies\\a b.avi\"");
  EXPECT_EQ(l.directory, "D:\\My Movies");
}

TEST(PlanPlayback, NoPlayerOrTodaysContainersOpenTheMovieItself) {
  PlayLaunch l = PlanPlayback("", "D:\\m", "a.mpg");
  EXPECT_EQ(l.file, "D:\\m\\a.mpg");
  EXPECT_EQ(l.parameters, "");
  EXPECT_EQ(l.directory, "D:\\m");
  l = PlanPlayback("p.exe %1", "D:\\m", "a.mkv");
  EXPECT_EQ(l.file, "D:\\m\\a.mkv");
  EXPECT_EQ(l.parameters, "");
}

TEST(PlanPlayback, ARootFolderWorksInTheDrivesRoot) {
  PlayLaunch l = PlanPlayback("p.exe", "D:", "a.avi");
  EXPECT_EQ(l.parameters, "\"D:\\a.avi\"");
  EXPECT_EQ(l.directory, "D:\\");
}

}  // namespace
}  // namespace clip
