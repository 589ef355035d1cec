// Files named in any script, through the real window: every file gets its
// row with its facts, every folder is entered, the names read back from the
// list equal the names on disk, and lists keep every name.
#include "main_window_test.h"

#include <set>

#include "base/cp932.h"
#include "res/resource.h"

namespace wintest {
namespace {

class Names : public MainWindowTest {
 protected:
  // The folder of the report, and a few more: a name ending in ソ (83 5C in
  // code page 932), a name in decomposed form and a folder path far beyond
  // MAX_PATH. All are copies of one good AVI file.
  std::string MakeTree() {
    const std::string dir = files / "names";
    EXPECT_TRUE(MakeFolder(dir));
    EXPECT_TRUE(MakeFolder(dir + "\\sub"));
    EXPECT_TRUE(MakeFolder(dir + "\\Café"));
    std::string deep = dir;
    for (int i = 0; i < 6; ++i) {
      deep += "\\" + std::string(50, static_cast<char>('a' + i)) + "フォルダ";
      EXPECT_TRUE(MakeFolder(deep));
    }
    EXPECT_GT(clip::Wide(deep).size(), 300u);
    for (const std::string& name :
         {dir + "\\Amélie.avi", dir + "\\한국영화.avi", dir + "\\emoji😀.avi", dir + "\\日本語.avi",
          dir + "\\sub\\Ω-omega.avi", dir + "\\Café\\in_cafe.avi", dir + "\\ソ.avi",
          dir + "\\Ame\u0301lie.avi", deep + "\\deep.avi"})
      EXPECT_TRUE(CopySample("xvid_mp3.avi", name)) << name;
    return dir;
  }
  std::set<std::string> NamesShown() const {
    auto c = Column(0);
    return {c.begin(), c.end()};
  }
};

TEST_F(Names, EveryFileHasItsRowWithItsFactsAndItsOwnName) {
  commandLine = "\"" + MakeTree() + "\"";
  Open();
  EXPECT_EQ(NamesShown(), (std::set<std::string>{"Amélie.avi", "한국영화.avi", "emoji😀.avi",
                                                 "日本語.avi", "Ω-omega.avi", "in_cafe.avi",
                                                 "ソ.avi", "Ame\u0301lie.avi", "deep.avi"}));
  const clip::CategoryTable& t = clip::App().table;
  for (int r = 0; r < Rows(); ++r) {
    SCOPED_TRACE(Cell(r, 0));
    EXPECT_EQ(Cell(r, t.position[clip::FileSizeBT]), "16,842");
    EXPECT_EQ(Cell(r, t.position[clip::MoveInfo]).empty(), false);
    EXPECT_EQ(Cell(r, t.position[clip::PlayTime]), "00:01");
    EXPECT_EQ(Cell(r, t.position[clip::AudioInfo]), "MP3");
  }
}

TEST_F(Names, ACodePage932SaveAsksFirstAndUtf8KeepsEveryName) {
  commandLine = "\"" + MakeTree() + "\"";
  Open();
  const std::string csv = files / "list.csv";
  {
    // Cancelled: nothing is written and the list keeps its name.
    ChooseFiles({csv});
    BoxAnswerer answer(IDCANCEL);
    Command(IDM_SAVEAS);
    ASSERT_EQ(answer.Seen().size(), 1u);
    EXPECT_EQ(answer.Seen()[0].caption, "ﾘｽﾄの文字ｺｰﾄﾞ");
    // Amélie, 한국영화, emoji😀, the decomposed é and the folder Café.
    EXPECT_EQ(answer.Seen()[0].text.rfind("5行", 0), 0u) << answer.Seen()[0].text;
  }
  EXPECT_FALSE(FileExists(csv));
  EXPECT_EQ(Caption(), "Clipledger - <NewFile.csv>");
  {
    // Saved as UTF-8: the names come back whole.
    ChooseFiles({csv});
    BoxAnswerer answer(IDYES);
    Command(IDM_SAVEAS);
  }
  ASSERT_EQ(ReadFileBytes(csv).substr(0, 3), "\xEF\xBB\xBF");
  const std::set<std::string> names = NamesShown();
  Command(IDM_NEW);
  ChooseFiles({csv});
  Command(IDM_OPEN);
  EXPECT_EQ(NamesShown(), names);
  {
    // With the characters replaced: a code page 932 list, as lists were.
    const std::string replaced = files / "replaced.csv";
    ChooseFiles({replaced});
    BoxAnswerer answer(IDNO);
    Command(IDM_SAVEAS);
    const std::string bytes = ReadFileBytes(replaced);
    EXPECT_NE(bytes.find(clip::Utf8ToCp932("日本語.avi")), std::string::npos);
    EXPECT_NE(bytes.find("\"????.avi\""), std::string::npos);  // 한국영화
  }
}

}  // namespace
}  // namespace wintest
