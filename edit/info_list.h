// The RIFF LIST INFO that carries a movie's title (ISBJ), creator (ICOP) and
// comment (ICMT) behind the idx1 chunk of an AVI file, and the decision
// where, if anywhere, such a list may be written without damaging the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "edit/info_writer.h"
#include "scan/scan.h"

namespace clip {

// The texts of an INFO list as the file holds them: code page 932 bytes,
// as other programs read the list.
struct InfoTexts {
  std::string title, creator, comment;
};

// The list's bytes: "LIST", content size, "INFO", then ISBJ, ICOP and ICMT
// for the texts that are not empty; each entry holds the text, a zero byte
// and a pad byte when that makes its length odd.
std::string RenderInfoList(const InfoTexts& texts);

// A largest list this program writes: three texts of a full cell each.
constexpr std::uint64_t kMaxOwnInfoList = 12 + 3 * (8 + 256);

// Where a list goes. fault is None when the file may be written: then the
// list starts at offset (the end of idx1's data) and, when replace is set,
// an INFO list of ours runs from there to oldEnd, the end of the file.
struct InfoPlan {
  InfoFault fault = InfoFault::None;
  std::uint64_t offset = 0;
  bool replace = false;
  std::uint64_t oldEnd = 0;
  InfoTexts oldTexts;  // the texts of the list being replaced
};

// The chunk walk stops after this many top-level chunks.
constexpr int kMaxTopLevelChunks = 1 << 16;

// Walks the top-level chunks of RIFF 'AVI ' to idx1 and looks at what
// follows it. Only an empty tail or an INFO list of ours (entries ISBJ,
// ICOP, ICMT in that order, each at most once, outside the RIFF chunk's
// declared extent, ending exactly at the end of the file) may be written.
InfoPlan PlanInfoWrite(MovieFile& file);

// Reads a whole tail as one of our INFO lists; nullopt when it is not.
std::optional<InfoTexts> ParseOwnInfoList(std::string_view tail);

// The user-facing reason for a fault (code page 932).
std::string InfoFaultText(InfoFault fault);

// What to write into one file, in code page 932 bytes. A text left unset
// keeps the text of the list being replaced (empty when there is none): a
// category the catalogue does not show must not wipe what the file holds.
struct InfoRequest {
  std::optional<std::string> title, creator, comment;
};
InfoTexts ResolveInfoTexts(const InfoRequest& request, const InfoTexts& old);

// Writes the list into the file at path, or leaves the file untouched and
// says why. A replaced list that was longer is cut off at the new end, so no
// stale entry remains for the next tail scan.
InfoFault WriteInfoToFile(const std::string& path, const InfoRequest& request);

// One message over the problems of a run (empty when there were none);
// at most maxListed files are named.
std::string InfoProblemsText(const std::vector<InfoWriteProblem>& problems,
                             std::size_t maxListed = 20);

constexpr const char* kInfoConfirmCaption = "ｲﾝﾌｫﾃﾞｰﾀ書込確認";
constexpr const char* kInfoConfirmText =
    "ﾁｪｯｸされた動画に対しｲﾝﾌｫﾃﾞｰﾀの書込み作業を行います\nよろしいですか？";
constexpr const char* kInfoProblemsCaption = "ｲﾝﾌｫﾃﾞｰﾀ書込失敗";

}  // namespace clip
