#include "edit/info_list.h"

#include <algorithm>
#include <array>

#include "catalogue/row_model.h"
#include "scan/byte_reader.h"

namespace clip {

namespace {

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void PutEntry(std::string& out, const char* id, const std::string& text) {
  if (text.empty()) return;
  out.append(id, 4);
  std::uint32_t size = static_cast<std::uint32_t>(text.size() + 1);
  PutU32(out, size);
  out += text;
  out.push_back('\0');
  if (size & 1) out.push_back('\0');
}

// The n bytes at offset, or an empty view when the file holds fewer.
ByteView ReadExactly(MovieFile& file, std::uint64_t offset, std::size_t n,
                     std::vector<std::uint8_t>& bytes) {
  bytes = ReadBytes(file, offset, n);
  return bytes.size() == n ? ByteView(bytes) : ByteView();
}

constexpr std::array<std::uint32_t, 3> kEntryIds = {FourCC("ISBJ"), FourCC("ICOP"), FourCC("ICMT")};

}  // namespace

std::string RenderInfoList(const InfoTexts& texts) {
  std::string entries;
  PutEntry(entries, "ISBJ", texts.title);
  PutEntry(entries, "ICOP", texts.creator);
  PutEntry(entries, "ICMT", texts.comment);
  std::string out = "LIST";
  PutU32(out, static_cast<std::uint32_t>(4 + entries.size()));
  out += "INFO";
  out += entries;
  return out;
}

std::optional<InfoTexts> ParseOwnInfoList(std::string_view tail) {
  const ByteView p(reinterpret_cast<const std::uint8_t*>(tail.data()), tail.size());
  const std::uint64_t n = tail.size();
  if (n < 12 || n > kMaxOwnInfoList || !p.Is(0, "LIST") || !p.Is(8, "INFO")) return std::nullopt;
  if (std::uint64_t{p.U32(4)} + 8 != n) return std::nullopt;
  InfoTexts texts;
  std::string* slots[3] = {&texts.title, &texts.creator, &texts.comment};
  std::size_t next = 0;  // entries come in the order ISBJ, ICOP, ICMT, each at most once
  std::uint64_t pos = 12;
  while (pos < n) {
    if (n - pos < 8) return std::nullopt;
    std::size_t which = next;
    const std::size_t at = static_cast<std::size_t>(pos);
    while (which < kEntryIds.size() && p.U32(at) != kEntryIds[which]) ++which;
    if (which == kEntryIds.size()) return std::nullopt;
    const std::uint64_t size = p.U32(at + 4);
    if (size > kInfoTextMax + 1) return std::nullopt;  // longer than any cell we write
    const std::uint64_t padded = size + (size & 1);
    if (padded > n - pos - 8) return std::nullopt;
    // The value ends at its first zero byte, as the tail scan reads it.
    std::string_view data(tail.data() + pos + 8, static_cast<std::size_t>(size));
    data = data.substr(0, data.find('\0'));
    *slots[which] = std::string(data.substr(0, std::min<std::size_t>(data.size(), kInfoTextMax)));
    next = which + 1;
    pos += 8 + padded;
  }
  return texts;
}

InfoPlan PlanInfoWrite(MovieFile& file) {
  InfoPlan plan;
  const std::uint64_t fileSize = file.Size();
  std::vector<std::uint8_t> bytes;
  const ByteView head = fileSize < 12 ? ByteView() : ReadExactly(file, 0, 12, bytes);
  if (!head.Is(0, "RIFF") || !head.Is(8, "AVI ")) {
    plan.fault = InfoFault::NotRiffAvi;
    return plan;
  }
  const std::uint64_t riffEnd = 8 + std::uint64_t{head.U32(4)};
  // A file shorter than its header says is incomplete (cut off, or still
  // being written): leave it alone.
  if (riffEnd > fileSize) {
    plan.fault = InfoFault::Truncated;
    return plan;
  }
  const std::uint64_t limit = riffEnd;

  // Step over the chunks directly inside the RIFF chunk. Positions are
  // 64-bit and every step adds at least 8, so nothing wraps.
  std::uint64_t pos = 12;
  bool found = false;
  std::uint64_t dataEnd = 0;
  for (int chunks = 0; pos <= limit && limit - pos >= 8; ++chunks) {
    if (chunks >= kMaxTopLevelChunks) {
      plan.fault = InfoFault::TooManyChunks;
      return plan;
    }
    const ByteView header = ReadExactly(file, pos, 8, bytes);
    if (header.size() != 8) {
      plan.fault = InfoFault::ReadFailed;
      return plan;
    }
    const std::uint64_t size = header.U32(4);
    if (header.Is(0, "idx1")) {
      found = true;
      dataEnd = pos + 8 + size;
      break;
    }
    pos += 8 + size + (size & 1);
  }
  if (!found) {
    plan.fault = InfoFault::NoIndex;
    return plan;
  }
  if (dataEnd > fileSize) {
    plan.fault = InfoFault::IndexPastEnd;
    return plan;
  }
  plan.offset = dataEnd;
  const std::uint64_t tailSize = fileSize - dataEnd;
  if (tailSize == 0) return plan;

  // Something follows idx1. Only a list this program wrote may be replaced:
  // it lies outside the RIFF chunk (the writer never changes the RIFF size),
  // fits the largest list we write and holds nothing but our three entries.
  if (dataEnd < riffEnd || tailSize > kMaxOwnInfoList) {
    plan.fault = InfoFault::ForeignTail;
    return plan;
  }
  const ByteView tail = ReadExactly(file, dataEnd, static_cast<std::size_t>(tailSize), bytes);
  if (tail.size() != tailSize) {
    plan.fault = InfoFault::ReadFailed;
    return plan;
  }
  std::optional<InfoTexts> old =
      ParseOwnInfoList(std::string_view(reinterpret_cast<const char*>(tail.data()), tail.size()));
  if (!old) {
    plan.fault = InfoFault::ForeignTail;
    return plan;
  }
  plan.replace = true;
  plan.oldEnd = fileSize;
  plan.oldTexts = std::move(*old);
  return plan;
}

InfoTexts ResolveInfoTexts(const InfoRequest& request, const InfoTexts& old) {
  InfoTexts t;
  t.title = request.title ? *request.title : old.title;
  t.creator = request.creator ? *request.creator : old.creator;
  t.comment = request.comment ? *request.comment : old.comment;
  return t;
}

std::string InfoFaultText(InfoFault fault) {
  switch (fault) {
    case InfoFault::None: return "";
    case InfoFault::NoFullPath: return "ﾌｫﾙﾀﾞが完全なﾊﾟｽではありません";
    case InfoFault::NotFileName: return "ﾌｧｲﾙ名に使えない文字があります";
    case InfoFault::Missing: return "ﾌｧｲﾙが見つかりません";
    case InfoFault::CannotOpen: return "書込み用に開けません (使用中か、権限がありません)";
    case InfoFault::ReadOnly: return "読み取り専用のﾌｧｲﾙです";
    case InfoFault::NotRiffAvi: return "RIFF AVI形式のﾌｧｲﾙではありません";
    case InfoFault::NoIndex: return "idx1ﾁｬﾝｸがありません";
    case InfoFault::Truncated: return "ﾌｧｲﾙが途中で切れています";
    case InfoFault::IndexPastEnd: return "idx1ﾁｬﾝｸがﾌｧｲﾙの終わりを越えています";
    case InfoFault::ForeignTail: return "idx1の後ろに別のﾃﾞｰﾀがあります (OpenDML形式など)";
    case InfoFault::NotCp932:
      return "ｺｰﾄﾞﾍﾟｰｼﾞ932で表せない文字がﾀｲﾄﾙ、製作者名かｺﾒﾝﾄにあります";
    case InfoFault::TooManyChunks: return "ﾁｬﾝｸが多すぎて読み切れません";
    case InfoFault::ReadFailed: return "読み込みに失敗しました";
    case InfoFault::WriteFailed: return "書込みに失敗しました";
    case InfoFault::CutFailed: return "古いｲﾝﾌｫﾃﾞｰﾀの残りを切り詰められませんでした";
  }
  return "";
}

std::string InfoProblemsText(const std::vector<InfoWriteProblem>& problems, std::size_t maxListed) {
  if (problems.empty()) return {};
  std::string text = "次のﾌｧｲﾙにはｲﾝﾌｫﾃﾞｰﾀを書込みませんでした\n";
  std::size_t listed = 0;
  for (const InfoWriteProblem& p : problems) {
    if (listed == maxListed) break;
    text += "\n" + p.path + "\n    " + p.reason;
    ++listed;
  }
  if (listed < problems.size()) {
    text += "\n\nほか" + std::to_string(problems.size() - listed) + "件";
  }
  return text;
}

}  // namespace clip
