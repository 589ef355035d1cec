// The INFO list's bytes and the decision where a list may go.
#include "edit/info_list.h"

#include <gtest/gtest.h>

#include "memory_file.h"
#include "riff_build.h"

namespace clip {
namespace {

using namespace clip::test;

InfoPlan Plan(const std::string& bytes) {
  MemoryMovieFile src(bytes.data(), bytes.size());
  return PlanInfoWrite(src);
}

TEST(InfoList, TitleOnlyIsTheTwentyFourByteList) {
  const std::string expected(
      "LIST\x10\0\0\0INFOISBJ\x04\0\0\0"
      "abc\0",
      24);
  EXPECT_EQ(RenderInfoList({"abc", "", ""}), expected);
}

TEST(InfoList, EmptyTextsGiveTheTwelveByteHeader) {
  EXPECT_EQ(RenderInfoList({}), std::string("LIST\x04\0\0\0INFO", 12));
}

TEST(InfoList, EntriesArePaddedToEvenLengthsInFixedOrder) {
  // Two bytes: size 3, text, zero, pad = 12 bytes.
  const std::string two = RenderInfoList({"ab", "", ""});
  EXPECT_EQ(two.size(), 24u);
  EXPECT_EQ(two.substr(12), std::string("ISBJ\x03\0\0\0"
                                        "ab\0\0",
                                        12));
  // Four bytes: size 5 and one pad byte; the next entry starts at an even offset.
  const std::string four = RenderInfoList({"abcd", "xy", "c"});
  EXPECT_EQ(four.substr(12, 8), std::string("ISBJ\x05\0\0\0", 8));
  EXPECT_EQ(four.substr(20, 6), std::string("abcd\0\0", 6));
  EXPECT_EQ(four.substr(26, 8), std::string("ICOP\x03\0\0\0", 8));
  EXPECT_EQ(four.substr(38, 8), std::string("ICMT\x02\0\0\0", 8));
  EXPECT_EQ(four.substr(46), std::string("c\0", 2));
  EXPECT_EQ(four.size() % 2, 0u);
  EXPECT_EQ(four.substr(4, 4), U32(static_cast<std::uint32_t>(four.size() - 8)));
}

TEST(InfoList, FullCellsGiveTheLargestList) {
  const std::string t(255, 'T'), c(255, 'C'), m(255, 'M');
  const std::string list = RenderInfoList({t, c, m});
  EXPECT_EQ(list.size(), kMaxOwnInfoList);
  EXPECT_EQ(list.substr(4, 4), U32(796));
  EXPECT_EQ(list.substr(12, 8), "ISBJ" + U32(256));
  auto parsed = ParseOwnInfoList(list);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->title, t);
  EXPECT_EQ(parsed->creator, c);
  EXPECT_EQ(parsed->comment, m);
}

TEST(InfoPlan, NothingAfterIndexIsWrittenAtTheEnd) {
  const std::string avi = PlainAvi();
  InfoPlan p = Plan(avi);
  EXPECT_EQ(p.fault, InfoFault::None);
  EXPECT_EQ(p.offset, avi.size());
  EXPECT_FALSE(p.replace);
}

TEST(InfoPlan, OurOwnListAfterIndexIsReplaced) {
  const std::string avi = PlainAvi();
  InfoPlan p = Plan(avi + RenderInfoList({"old title", "", "old comment"}));
  EXPECT_EQ(p.fault, InfoFault::None);
  EXPECT_EQ(p.offset, avi.size());
  EXPECT_TRUE(p.replace);
  EXPECT_EQ(p.oldTexts.title, "old title");
  EXPECT_EQ(p.oldTexts.comment, "old comment");
  EXPECT_EQ(Plan(avi + RenderInfoList({})).replace, true);
}

TEST(InfoPlan, AnythingElseAfterIndexIsRefused) {
  const std::string avi = PlainAvi();
  // An OpenDML file: further RIFF AVIX parts follow the first RIFF chunk.
  EXPECT_EQ(Plan(avi + Riff("AVIX", ListChunk("movi", Chunk("00dc", "more")))).fault,
            InfoFault::ForeignTail);
  EXPECT_EQ(Plan(avi + Chunk("JUNK", std::string(100, '\0'))).fault, InfoFault::ForeignTail);
  EXPECT_EQ(Plan(avi + "garbage").fault, InfoFault::ForeignTail);
  // Our list followed by anything, or stopping short of the end.
  EXPECT_EQ(Plan(avi + RenderInfoList({"a", "b", "c"}) + "x").fault, InfoFault::ForeignTail);
  std::string cut = RenderInfoList({"abc", "", ""});
  cut.pop_back();
  EXPECT_EQ(Plan(avi + cut).fault, InfoFault::ForeignTail);
  // Lists that this program does not write.
  EXPECT_EQ(Plan(avi + ListChunk("INFO", Chunk("IART", "someone"))).fault, InfoFault::ForeignTail);
  EXPECT_EQ(Plan(avi + ListChunk("INFO", Chunk("ICMT", "c") + Chunk("ISBJ", "t"))).fault,
            InfoFault::ForeignTail);
  EXPECT_EQ(Plan(avi + ListChunk("INFO", Chunk("ISBJ", "t") + Chunk("ISBJ", "t"))).fault,
            InfoFault::ForeignTail);
  EXPECT_EQ(Plan(avi + ListChunk("INFO", Chunk("ISBJ", std::string(300, 't')))).fault,
            InfoFault::ForeignTail);
  EXPECT_EQ(Plan(avi + ListChunk("adtl", "")).fault, InfoFault::ForeignTail);
}

TEST(InfoPlan, AListInsideTheRiffChunkIsNotOurs) {
  // Another tool appended INFO inside the RIFF chunk and grew its size: cutting
  // that list would leave the RIFF header claiming bytes that are gone.
  const std::string avi = Riff("AVI ", MoviBody() + Index() + RenderInfoList({"t", "", ""}));
  EXPECT_EQ(Plan(avi).fault, InfoFault::ForeignTail);
}

TEST(InfoPlan, AFileShorterThanItsHeaderIsLeftAlone) {
  // Cut off, or still being written: the RIFF size runs past the end.
  const std::string body = MoviBody() + Index();
  const std::string avi =
      "RIFF" + U32(static_cast<std::uint32_t>(body.size() + 5000)) + "AVI " + body;
  EXPECT_EQ(Plan(avi).fault, InfoFault::Truncated);
  EXPECT_EQ(Plan("RIFF" + U32(0xffffffffu) + "AVI " + body).fault, InfoFault::Truncated);
  std::string plain = PlainAvi();
  EXPECT_EQ(Plan(plain.substr(0, plain.size() / 2)).fault, InfoFault::Truncated);
}

TEST(InfoPlan, BrokenStructuresAreRefused) {
  EXPECT_EQ(Plan("").fault, InfoFault::NotRiffAvi);
  EXPECT_EQ(Plan("RIFF").fault, InfoFault::NotRiffAvi);
  EXPECT_EQ(Plan(Riff("WAVE", Chunk("fmt ", "x") + Index())).fault, InfoFault::NotRiffAvi);
  EXPECT_EQ(Plan(std::string(4096, '\0')).fault, InfoFault::NotRiffAvi);
  EXPECT_EQ(Plan(Riff("AVI ", MoviBody())).fault, InfoFault::NoIndex);
  // idx1 claims more bytes than the file holds.
  EXPECT_EQ(Plan(Riff("AVI ", MoviBody() + "idx1" + U32(1000) + std::string(16, '\0'))).fault,
            InfoFault::IndexPastEnd);
  // The movie list runs past the end of the RIFF chunk: idx1 is never reached.
  EXPECT_EQ(Plan(Riff("AVI ", "LIST" + U32(4000) + "movi" + Index())).fault, InfoFault::NoIndex);
  // A chunk size of 0xffffffff steps past everything without wrapping.
  EXPECT_EQ(Plan(Riff("AVI ", "JUNK" + U32(0xffffffffu) + Index())).fault, InfoFault::NoIndex);
}

TEST(InfoPlan, TheChunkWalkIsBounded) {
  std::string many;
  for (int i = 0; i < kMaxTopLevelChunks + 10; ++i) many += "JUNK" + U32(0);
  EXPECT_EQ(Plan(Riff("AVI ", many + Index())).fault, InfoFault::TooManyChunks);
}

TEST(InfoPlan, IndexIsFoundBehindOddChunksAndOnlyAtTopLevel) {
  // An odd-sized chunk is followed by its pad byte; an idx1 inside a list is
  // not the file's index.
  const std::string body =
      Chunk("JUNK", "abc") + ListChunk("movi", Chunk("idx1", "inner")) + Index();
  const std::string avi = Riff("AVI ", body);
  InfoPlan p = Plan(avi);
  EXPECT_EQ(p.fault, InfoFault::None);
  EXPECT_EQ(p.offset, avi.size());
}

TEST(InfoTexts, UnsetTextsKeepTheReplacedOnes) {
  InfoRequest r;
  r.title = "new";
  r.comment = "";
  InfoTexts t = ResolveInfoTexts(r, {"old", "maker", "note"});
  EXPECT_EQ(t.title, "new");
  EXPECT_EQ(t.creator, "maker");
  EXPECT_EQ(t.comment, "");
}

TEST(InfoProblems, OneMessageNamesEveryFileUpToALimit) {
  EXPECT_EQ(InfoProblemsText({}), "");
  std::vector<InfoWriteProblem> problems;
  for (int i = 0; i < 25; ++i)
    problems.push_back({"D:\\m\\" + std::to_string(i) + ".avi", InfoFaultText(InfoFault::NoIndex),
                        InfoFault::NoIndex});
  std::string text = InfoProblemsText(problems);
  EXPECT_NE(text.find("D:\\m\\0.avi\n    " + InfoFaultText(InfoFault::NoIndex)), std::string::npos);
  EXPECT_NE(text.find("D:\\m\\19.avi"), std::string::npos);
  EXPECT_EQ(text.find("D:\\m\\20.avi"), std::string::npos);
  EXPECT_NE(text.find("ほか5件"), std::string::npos);
  for (int f = 1; f <= static_cast<int>(InfoFault::CutFailed); ++f)
    EXPECT_FALSE(InfoFaultText(static_cast<InfoFault>(f)).empty());
}

}  // namespace
}  // namespace clip
