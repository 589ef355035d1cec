// The video and audio probes. An AVI file is read through its stream
// headers, an MPEG file through its sequence header; RealMedia files only
// get fixed names. Every field is set for the file in hand: what cannot be
// measured is left empty rather than kept from the file before.
#include "scan/probe.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "catalogue/cp932.h"
#include "catalogue/text.h"
#include "catalogue/unicode.h"
#include "scan/avi_probe.h"
#include "scan/codec_table.h"
#include "scan/mpeg_probe.h"

namespace clip {

namespace {

// The renaming rules look at bytes of a name as the codec managers gave it
// in code page 932; a name outside it keeps its characters.
std::string RenamedOnCp932(std::string (*rename)(std::string_view), const std::string& utf8) {
  if (AsciiPrefixLength(utf8) == utf8.size()) return rename(utf8);
  if (!FitsCp932(utf8)) return rename(utf8);
  return Cp932ToUtf8(rename(Utf8ToCp932(utf8)));
}

std::string Resolution(long long width, long long height) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lldx%lld", width, height);
  return buf;
}

void ProbeAviVideo(const AviVideoStream& v, CodecNames& codecs, ProbeFields& fields,
                   std::int32_t& playSeconds) {
  playSeconds = 0;
  if (!v.present) return;

  // A stream that names no handler is described by its format's compression.
  std::uint32_t code = v.handler != 0 ? v.handler : v.compression;
  std::string description = codecs.VideoDescription(code);
  if (description.empty()) description = BuiltInVideoDescription(code);
  if (description.empty()) description = kUnknownCodec;
  // The rules look at the whole description (its last bytes may lie past
  // what the field can hold); only the result is cut to the field.
  fields.videoFormat = CutCp932(RenamedOnCp932(RenameVideoCodec, description), kFieldMax);

  // Frames per second = rate / scale (rate unsigned, scale signed); without
  // a positive rate the frame rate and play time are unknown.
  const std::int32_t scale = static_cast<std::int32_t>(v.scale);
  if (v.rate != 0 && scale > 0) {
    const double fps = static_cast<double>(v.rate) / scale;
    fields.frameRate = FormatFixed2(fps);
    const double seconds = v.length / fps;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    playSeconds = seconds >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(seconds);
    fields.playTime = FormatPlayTime(playSeconds);
  }

  // The header's frame rectangle; a writer that left it empty still gives
  // the size in the bitmap format (whose height is negative for top-down
  // frames).
  if (v.hasFrame && (v.frameRight != 0 || v.frameBottom != 0)) {
    fields.resolution = Resolution(v.frameRight, v.frameBottom);
  } else if (v.hasBitmap) {
    fields.resolution =
        Resolution(v.bitmapWidth, std::llabs(static_cast<long long>(v.bitmapHeight)));
  } else if (v.hasFrame) {
    fields.resolution = Resolution(v.frameRight, v.frameBottom);
  }
}

ProbeFields ProbeAvi(MovieFile* file, CodecNames& codecs) {
  ProbeFields fields;
  AviHeader header;
  std::uint64_t size = 0;
  if (file) {
    header = ReadAviHeader(*file);
    size = file->Size();
  }
  std::int32_t playSeconds = 0;
  ProbeAviVideo(header.video, codecs, fields, playSeconds);

  // Audio bit rate in kbit/s from the stream format's average bytes per
  // second; 0 for a file without audio.
  std::uint64_t audioKbit = 0;
  const AviAudioStream& a = header.audio;
  if (a.present) {
    std::string name = codecs.AudioFormatName(a.formatTag);
    if (name.empty()) name = BuiltInAudioFormatName(a.formatTag);
    if (name.empty()) name = kUnknownCodec;
    name = CutCp932(name, kFieldMax);
    fields.audioFormat = CutCp932(RenamedOnCp932(RenameAudioFormat, name), kFieldMax);
    audioKbit = static_cast<std::uint64_t>(a.avgBytesPerSec) * 8 / 1000;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2fkHz/%llukbit", a.samplesPerSec / 1000.0,
                  static_cast<unsigned long long>(audioKbit));
    fields.audioRate = buf;
  }

  // Video bit rate: the whole file's kbit per second less the audio's. A
  // file in which no stream was found (not an AVI file at all) leaves the
  // cell empty like the other probe cells.
  if (playSeconds != 0) {
    const std::uint64_t sizeKB = size >> 10;
    const long long kbit =
        static_cast<long long>(sizeKB * 8 / static_cast<std::uint64_t>(playSeconds)) -
        static_cast<long long>(audioKbit);
    fields.videoRate = std::to_string(kbit) + "kbit";
  } else if (header.video.present || header.audio.present) {
    fields.videoRate = "None";
  }
  return fields;
}

ProbeFields ProbeMpeg(MovieFile* file) {
  ProbeFields fields;
  fields.videoFormat = "MPEG1";
  fields.audioFormat = "MP2";
  if (!file) return fields;
  MpegSequence seq = ReadMpegSequence(*file);
  if (!seq.found) return fields;
  fields.frameRate = MpegFrameRateText(seq.FrameRateCode());
  fields.resolution = Resolution(seq.Width(), seq.Height());
  return fields;
}

}  // namespace

MovieKind KindOfMoviePath(std::string_view path) {
  if (!path.empty() && (path.back() == 'i' || path.back() == 'I')) return MovieKind::Avi;
  if (EndsWithNoCase(path, "MPG")) return MovieKind::Mpeg;
  return MovieKind::RealMedia;
}

ProbeFields ProbeMovie(std::string_view path, MovieFile* file, CodecNames& codecs) {
  switch (KindOfMoviePath(path)) {
    case MovieKind::Avi: return ProbeAvi(file, codecs);
    case MovieKind::Mpeg: return ProbeMpeg(file);
    case MovieKind::RealMedia: break;
  }
  ProbeFields fields;
  fields.videoFormat = "RealVideo";
  fields.audioFormat = "RealAudio";
  return fields;
}

}  // namespace clip
