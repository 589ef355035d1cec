#include "scan/mpeg_probe.h"

#include "scan/stream_headers.h"

namespace clip {

namespace {

bool TakeFour(ByteView head, std::size_t off, MpegSequence& seq) {
  if (!head.Has(off, 4)) return false;
  for (int i = 0; i < 4; ++i) seq.bytes[i] = head.U8(off + i);
  seq.found = true;
  return true;
}

}  // namespace

MpegSequence FindMpegSequence(ByteView head) {
  MpegSequence seq;
  // A rolling register over the bytes: the whole start code, wherever it
  // stands in the first 64 KB.
  std::size_t end = head.size() < kMpegHeadBytes ? head.size() : kMpegHeadBytes;
  std::uint32_t reg = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < end; ++i) {
    reg = (reg << 8) | head.U8(i);
    if (reg != 0x000001B3u) continue;
    if (TakeFour(head, i + 1, seq)) return seq;
    seq.cut = true;
  }
  // No start code: the first B3 byte in the old window, whatever precedes it.
  for (std::size_t i = 0; i < kMpegFallbackBytes; ++i) {
    std::size_t at = kMpegFallbackStart + i;
    if (at >= head.size()) break;
    if (head.U8(at) == 0xB3) {
      TakeFour(head, at + 1, seq);
      break;
    }
  }
  return seq;
}

MpegSequence ReadMpegSequence(MovieFile& file) {
  std::vector<std::uint8_t> head = ReadBytes(file, 0, kMpegHeadBytes + 4);
  return FindMpegSequence(ByteView(head));
}

MovieFacts MpegSequenceFacts(const MpegSequence& seq) {
  MovieFacts facts;
  facts.form = CellForm::SequenceHeader;
  facts.videoFormat = "MPEG1";
  facts.audioFormat = "MP2";
  if (!seq.found) {
    if (seq.cut) facts.outcome = ProbeOutcome::Truncated;
    return facts;
  }
  facts.outcome = ProbeOutcome::Whole;
  facts.width = seq.Width();
  facts.height = seq.Height();
  facts.sizeAsStored = true;
  facts.framesPerSecond = MpegFrameRate(seq.FrameRateCode());
  if (facts.width == 0 || facts.height == 0 || facts.framesPerSecond == 0)
    facts.Note(ProbeOutcome::Malformed);
  return facts;
}

MovieFacts ProbeMpegSequence(MovieFile& file) { return MpegSequenceFacts(ReadMpegSequence(file)); }

}  // namespace clip
