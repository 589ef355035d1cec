// Real FLV, transport stream, program stream and tagged AVI files made by
// ffmpeg at test time (tools/make_modern_fixtures.sh, once per build tree),
// read as the program reads them and checked against ffprobe.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "memory_file.h"
#include "scan/avi_probe.h"
#include "scan/cached_file.h"
#include "scan/codec_table.h"
#include "scan/container_kind.h"
#include "scan/flv_probe.h"
#include "scan/ps_probe.h"
#include "scan/ts_probe.h"

namespace clip {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Values = std::map<std::string, std::string>;

const std::string kDir = CLIP_MODERN_DIR;

bool MakeFiles() {
  static const bool made = [] {
    std::string cmd = std::string("bash '") + CLIP_TOOLS_DIR + "/make_modern_fixtures.sh' '" +
                      kDir + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0 || std::ifstream(kDir + "/mpeg1_mp2.mpg").good();
  }();
  return made;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string Get(const Values& m, const std::string& key) {
  auto it = m.find(key);
  return it == m.end() ? "" : it->second;
}

// ffprobe's first video stream, first audio stream and format (with its
// tags as "tag:name").
struct ProbeView {
  Values video, audio, format;
};

ProbeView Ffprobe(const std::string& path) {
  ProbeView view;
  std::string cmd =
      "ffprobe -v error -show_entries "
      "stream=codec_type,width,height,r_frame_rate,sample_rate,bit_rate:"
      "format=duration:format_tags=title,artist,genre,comment -of compact=p=0 '" +
      path + "'";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return view;
  char line[4096];
  while (std::fgets(line, sizeof line, p)) {
    Values values;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, '|')) {
      while (!field.empty() && (field.back() == '\n' || field.back() == '\r')) field.pop_back();
      auto eq = field.find('=');
      if (eq != std::string::npos) values[field.substr(0, eq)] = field.substr(eq + 1);
    }
    std::string type = Get(values, "codec_type");
    if (type == "video" && view.video.empty()) view.video = values;
    if (type == "audio" && view.audio.empty()) view.audio = values;
    if (type.empty() && values.count("duration")) view.format = values;
  }
  pclose(p);
  return view;
}

double Ratio(const std::string& r) {
  auto slash = r.find('/');
  double den = slash == std::string::npos ? 1 : std::atof(r.c_str() + slash + 1);
  return den == 0 ? 0 : std::atof(r.c_str()) / den;
}

// The program's file cache over bytes in memory; rawReads counts the reads
// that would reach the disk.
class CountedFile : public CachedMovieFile {
 public:
  explicit CountedFile(Bytes bytes) : CachedMovieFile(bytes.size()), bytes_(std::move(bytes)) {}

 protected:
  std::size_t RawRead(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    std::size_t k = std::min<std::size_t>(n, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_.data() + offset, k);
    return k;
  }

 private:
  Bytes bytes_;
};

MovieFacts ProbeAs(ContainerKind kind, MovieFile& file) {
  switch (kind) {
    case ContainerKind::Flv: return ProbeFlv(file);
    case ContainerKind::MpegTransport: return ProbeMpegTransport(file);
    case ContainerKind::MpegProgram: return ProbeMpegProgram(file);
    default: return {};
  }
}

struct StreamFile {
  const char* name;
  ContainerKind kind;
  const char* video;
  const char* audio;
  // Largest relative difference of the audio bit rate from ffprobe's: 0
  // where the file declares it, more where it is averaged over frames.
  double bitRateTolerance;
};

const StreamFile kFiles[] = {
    {"flv_h263_mp3.flv", ContainerKind::Flv, "Sorenson H.263", "MP3", 0},
    {"flv_h264_aac.flv", ContainerKind::Flv, "H.264", "AAC", 0},
    {"flv_h264_mp3_nometa.flv", ContainerKind::Flv, "H.264", "MP3", 0},
    {"ts_h264_aac.ts", ContainerKind::MpegTransport, "H.264", "AAC", 0.05},
    {"m2ts_h264_ac3.m2ts", ContainerKind::MpegTransport, "H.264", "AC-3", 0},
    {"ts_h264_bframes.ts", ContainerKind::MpegTransport, "H.264", "MP2", 0},
    {"mts_h265_eac3.mts", ContainerKind::MpegTransport, "H.265", "E-AC-3", 0},
    {"ts_mpeg2_mp2.ts", ContainerKind::MpegTransport, "MPEG2", "MP2", 0},
    {"ts_mpeg2_dts.ts", ContainerKind::MpegTransport, "MPEG2", "DTS", 0},
    {"long_mpeg2_mp2.ts", ContainerKind::MpegTransport, "MPEG2", "MP2", 0},
    {"vob_mpeg2_ac3.vob", ContainerKind::MpegProgram, "MPEG2", "AC-3", 0},
    {"mpeg2_mp2.mpeg", ContainerKind::MpegProgram, "MPEG2", "MP2", 0},
    {"mpeg1_mp2.mpg", ContainerKind::MpegProgram, "MPEG1", "MP2", 0},
    {"lpcm.mpg", ContainerKind::MpegProgram, "MPEG2", "PCM", 0},
};

void PrintTo(const StreamFile& f, std::ostream* os) { *os << f.name; }

class StreamFiles : public ::testing::TestWithParam<StreamFile> {
 protected:
  void SetUp() override {
    if (!MakeFiles()) GTEST_SKIP() << "ffmpeg could not make the files";
    bytes_ = ReadFile(kDir + "/" + GetParam().name);
    if (bytes_.empty()) GTEST_SKIP() << GetParam().name << " was not made (encoder missing)";
  }
  Bytes bytes_;
};

// Codec names as given; size, average frame rate to 0.01, play time within
// 0.05 s and in whole seconds as the mm:ss cell shows it, sample rate, bit
// rate within the file's tolerance, tags; a handful of reads.
TEST_P(StreamFiles, AgreeWithFfprobe) {
  const StreamFile& m = GetParam();
  const std::string path = kDir + "/" + m.name;
  CountedFile file(bytes_);
  EXPECT_EQ(SniffContainer(ByteView(ReadBytes(file, 0, 64 * 1024))), m.kind);
  const MovieFacts f = ProbeAs(m.kind, file);
  const ProbeView view = Ffprobe(path);
  ASSERT_FALSE(view.format.empty());

  EXPECT_TRUE(f.Recognised());
  EXPECT_EQ(f.videoFormat, m.video);
  EXPECT_EQ(f.audioFormat, m.audio);
  EXPECT_EQ(std::to_string(f.width), Get(view.video, "width"));
  EXPECT_EQ(std::to_string(f.height), Get(view.video, "height"));
  // ffprobe's own guess of the rate: its average counts a file without a
  // rate in its headers by its play time, frames left out and all.
  EXPECT_EQ(FormatFixed2(f.framesPerSecond), FormatFixed2(Ratio(Get(view.video, "r_frame_rate"))));
  const double duration = std::atof(Get(view.format, "duration").c_str());
  EXPECT_NEAR(f.seconds, duration, 0.05);
  EXPECT_EQ(FormatPlayTime(static_cast<std::int32_t>(f.seconds)),
            FormatPlayTime(static_cast<std::int32_t>(duration)));
  EXPECT_EQ(std::to_string(f.audioSamplesPerSecond), Get(view.audio, "sample_rate"));
  const double bits = std::atof(Get(view.audio, "bit_rate").c_str());
  EXPECT_NEAR(static_cast<double>(f.audioBitsPerSecond), bits, bits * m.bitRateTolerance + 0.5);
  EXPECT_EQ(f.title, Get(view.format, "tag:title"));
  EXPECT_EQ(f.creator, Get(view.format, "tag:artist"));
  EXPECT_EQ(f.genre, Get(view.format, "tag:genre"));
  EXPECT_EQ(f.comment, Get(view.format, "tag:comment"));

  // The sniffer's 64 KB (the whole of a small file), then for a larger one
  // the head and, past the head, the tail.
  const std::size_t size = bytes_.size();
  EXPECT_LE(file.rawReads, size <= 64 * 1024 ? 1 : size <= kTsHeadBytes ? 2 : 3);
}

// The file cut at every length through its first headers (and at larger
// steps beyond): no fact that the whole file does not give.
TEST_P(StreamFiles, CutAnywhereInventsNothing) {
  const StreamFile& m = GetParam();
  MemoryMovieFile whole(bytes_);
  const MovieFacts full = ProbeAs(m.kind, whole);
  for (std::size_t n = 0; n <= bytes_.size(); n += n < 4096 ? 1 : 4099 + n / 8) {
    MemoryMovieFile cut(Bytes(bytes_.begin(), bytes_.begin() + static_cast<long>(n)));
    const MovieFacts f = ProbeAs(m.kind, cut);
    ASSERT_TRUE(f.videoFormat.empty() || f.videoFormat == full.videoFormat) << n;
    ASSERT_TRUE(f.width == 0 || (f.width == full.width && f.height == full.height)) << n;
    ASSERT_TRUE(f.framesPerSecond == 0 || f.framesPerSecond == full.framesPerSecond) << n;
    ASSERT_TRUE(f.audioFormat.empty() || f.audioFormat == full.audioFormat) << n;
    ASSERT_TRUE(f.audioSamplesPerSecond == 0 ||
                f.audioSamplesPerSecond == full.audioSamplesPerSecond)
        << n;
    if (m.bitRateTolerance == 0)
      ASSERT_TRUE(f.audioBitsPerSecond == 0 || f.audioBitsPerSecond == full.audioBitsPerSecond)
          << n;
    ASSERT_LE(f.seconds, full.seconds + 1e-9) << n;
    ASSERT_TRUE(f.title.empty() || f.title == full.title) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, StreamFiles, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<StreamFile>& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

TEST(StreamFilesAvi, HeaderInfoWrittenByFfmpeg) {
  if (!MakeFiles()) GTEST_SKIP() << "ffmpeg could not make the files";
  MemoryMovieFile file(ReadFile(kDir + "/tagged.avi"));
  const AviHeader h = ReadAviHeader(file);
  const ProbeView view = Ffprobe(kDir + "/tagged.avi");
  EXPECT_EQ(h.info.name, Get(view.format, "tag:title"));
  EXPECT_EQ(h.info.artist, Get(view.format, "tag:artist"));
  EXPECT_EQ(h.info.comment, Get(view.format, "tag:comment"));
  EXPECT_EQ(h.info.genre, Get(view.format, "tag:genre"));
  EXPECT_TRUE(h.video.present);
  EXPECT_EQ(file.reads, 1);
}

}  // namespace
}  // namespace clip
