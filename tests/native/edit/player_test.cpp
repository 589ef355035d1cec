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

TEST(CheckPlayable, OnlyMovieNamesInAFullFolderArePlayed) {
  for (const char* name : {"a.avi", "MOVIEAVI", "a.MPG", "a.rm", "a.mkv", "a.MP4"})
    EXPECT_EQ(CheckPlayable("D:\\m", name, true), PlayCheck::Playable) << name;
  // Programs, scripts, shortcuts and installers, and today's containers
  // when the scan is not to find them.
  for (const char* name : {"setup.exe", "x.bat", "x.cmd", "x.js", "x.vbs", "x.lnk", "x.url",
                           "x.scr", "x.msi", "x.avi.exe", "xrm", ""})
    EXPECT_EQ(CheckPlayable("D:\\m", name, true), PlayCheck::NotMovie) << name;
  EXPECT_EQ(CheckPlayable("D:\\m", "a.mkv", false), PlayCheck::NotMovie);
  // A name that reaches into another folder or a file's stream.
  for (const char* name : {"..\\x.avi", "sub/x.avi", "x.exe:s.avi", "a\"b.avi", "a\tb.avi"})
    EXPECT_EQ(CheckPlayable("D:\\m", name, true), PlayCheck::NotMovie) << name;
  for (const char* folder : {"", "movies", "D:m", "\\m"})
    EXPECT_EQ(CheckPlayable(folder, "a.avi", true), PlayCheck::NoFullFolder) << folder;
  EXPECT_EQ(CheckPlayable("D:", "a.avi", true), PlayCheck::Playable);
  EXPECT_EQ(CheckPlayable("\\\\server\\share", "a.avi", true), PlayCheck::Playable);
  EXPECT_NE(NotMovieText("D:\\m\\setup.exe").find("D:\\m\\setup.exe"), std::string::npos);
}

TEST(PlanPlayback, TheMovieItselfOpensAsTheTypeItsEndingCataloguesItAs) {
  EXPECT_EQ(PlanPlayback("", "D:\\m", "a.AVI").fileType, ".avi");
  // Without a point the shell would look for "MOVIEAVI.exe".
  EXPECT_EQ(PlanPlayback("", "D:\\m", "MOVIEAVI").fileType, ".avi");
  EXPECT_EQ(PlanPlayback("", "D:\\m", "a.Rm").fileType, ".rm");
  EXPECT_EQ(PlanPlayback("p.exe", "D:\\m", "a.M2TS").fileType, ".m2ts");
  EXPECT_EQ(PlanPlayback("p.exe", "D:\\m", "a.avi").fileType, "");
}

TEST(PlanPlayback, AProgramThatRunsItsArgumentIsNoPlayer) {
  // The movie would stand where rundll32 expects the library to load.
  for (const char* command :
       {"C:\\WINDOWS\\rundll32.exe amovie.ocx,RunDll /play %1", "RUNDLL32 amovie.ocx,RunDll %1",
        "cmd.exe /c start %1", "\"C:\\W\\mshta.exe\" %1"}) {
    const PlayLaunch l = PlanPlayback(command, "D:\\m", "a.avi");
    EXPECT_EQ(l.file, "D:\\m\\a.avi") << command;
    EXPECT_EQ(l.parameters, "") << command;
    EXPECT_EQ(l.fileType, ".avi") << command;
  }
  EXPECT_EQ(PlanPlayback("C:\\cmdplayer\\play.exe %1", "D:\\m", "a.avi").file,
            "C:\\cmdplayer\\play.exe");
}

}  // namespace
}  // namespace clip
