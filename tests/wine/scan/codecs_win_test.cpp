// Installed codec names under Wine, and the whole probe over real movie
// files opened through the Win32 file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/cp932.h"
#include "base/text.h"
#include "scan/codec_table.h"
#include "scan/probe.h"
#include "scan/fs_win.h"
#include "scan/codecs_win.h"

namespace clip {
namespace {

std::uint32_t Code(const char* s) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24);
}

TEST(Win32CodecNames, AudioCompressionManagerNames) {
  Win32CodecNames codecs;
  EXPECT_EQ(codecs.AudioFormatName(0x0001), "PCM");
  EXPECT_EQ(codecs.AudioFormatName(0x0002), "Microsoft ADPCM");
  EXPECT_EQ(codecs.AudioFormatName(0x0011), "IMA ADPCM");
  EXPECT_EQ(codecs.AudioFormatName(0x0031), "GSM 6.10");
  EXPECT_EQ(RenameAudioFormat(codecs.AudioFormatName(0x0055)), "MP3");
  EXPECT_EQ(codecs.AudioFormatName(0x7777), "");
}

TEST(Win32CodecNames, InstalledVideoCodecDescriptions) {
  Win32CodecNames codecs;
  std::string cinepak = codecs.VideoDescription(Code("cvid"));
  ASSERT_FALSE(cinepak.empty());
  EXPECT_EQ(RenameVideoCodec(cinepak), "Cinepak");
  EXPECT_EQ(codecs.VideoDescription(Code("CVID")), cinepak);
  EXPECT_LE(codecs.VideoDescription(Code("MSVC")).size(), 255u);
  EXPECT_EQ(codecs.VideoDescription(Code("ZZZZ")), "");
  // Uncompressed frames name no codec; the codec manager is not asked.
  EXPECT_EQ(codecs.VideoDescription(0), "");
  EXPECT_EQ(codecs.VideoDescription(1), "");
}

struct Expected {
  const char* name;
  const char* videoFormat;  // with the built-in tables; Wine's own codecs may answer first
  const char* audioFormat;
  const char* audioRate;
  const char* frameRate;
  const char* resolution;
  const char* playTime;
  std::uint16_t audioTag;  // 0: no audio stream
  const char* videoCode;   // handler code, or "" for none
};

const Expected kMovies[] = {
    {"xvid_mp3.avi", "MPEG-4 Xvid", "MP3", "44.10kHz/128kbit", "25.00", "160x120", "00:01", 0x55,
     "XVID"},
    {"CLIP.AVI", "MPEG-4 DivX 4", "MP3", "44.10kHz/128kbit", "25.00", "160x120", "00:01", 0x55,
     "DIVX"},
    {"audio_only.avi", "", "MP3", "44.10kHz/128kbit", "", "", "", 0x55, ""},
    {"div3_mp2.avi", "DivX Low", "MP2", "44.10kHz/128kbit", "29.97", "160x120", "00:01", 0x50,
     "DIV3"},
    {"mp43_mp3.avi", "MPEG4 V3", "MP3", "22.05kHz/64kbit", "25.00", "160x120", "00:01", 0x55,
     "MP43"},
    {"mp42_adpcm.avi", "MPEG4 V2", "ADPCM", "22.05kHz/128kbit", "25.00", "160x120", "00:01", 0x02,
     "MP42"},
    {"dx50_ac3.avi", "MPEG-4 DivX 5", "AC-3 Dolby Digital", "48.00kHz/192kbit", "23.98", "128x96",
     "00:01", 0x2000, "DX50"},
    {"divx_wma.avi", "MPEG-4 DivX 4", "DivX Audio", "44.10kHz/64kbit", "25.00", "160x120", "00:01",
     0x161, "DIVX"},
    {"cvid_ima.avi", "Cinepak", "ADPCM", "22.05kHz/128kbit", "15.00", "176x144", "00:01", 0x11,
     "cvid"},
    {"msvc_pcm.avi", "Microsoft Video 1", "PCM", "8.00kHz/128kbit", "15.00", "176x144", "00:01",
     0x01, "MSVC"},
    {"raw_pcm.avi", "Full Frames (Uncompressed)", "PCM", "8.00kHz/128kbit", "10.00", "32x24",
     "00:01", 0x01, ""},
    {"video_only.avi", "MPEG-4 Xvid", "", "", "25.00", "160x120", "00:01", 0, "XVID"},
    {"mpeg1.mpg", "MPEG1", "MP2", "44.10kHz/128kbit", "25.0", "160x120", "00:01", 0, nullptr},
    {"MPEG2.MPG", "MPEG2", "MP2", "48.00kHz/192kbit", "29.97", "160x120", "00:01", 0, nullptr},
    {"vcd.mpg", "MPEG1", "MP2", "44.10kHz/224kbit", "29.97", "352x240", "00:01", 0, nullptr},
    {"clip.rm", "RealVideo 1.0", "RealAudio 14.4", "8.00kHz/8kbit", "15.00", "176x144", "00:01", 0,
     nullptr},
    {"sub\\deeper\\deep.mpg", "MPEG1", "", "", "25.0", "160x120", "00:00", 0, nullptr},
};

TEST(ProbeUnderWine, RealFilesThroughTheWin32Layer) {
  Win32FileSystem fs;
  Win32CodecNames codecs;
  const std::string dir = CLIP_MOVIE_DIR_WIN;
  ASSERT_NE(GetFileAttributesA((dir + "\\mpeg1.mpg").c_str()), INVALID_FILE_ATTRIBUTES)
      << "movie files missing in " << dir;
  int probed = 0;
  for (const Expected& e : kMovies) {
    SCOPED_TRACE(e.name);
    const std::string path = dir + "\\" + e.name;
    std::unique_ptr<MovieFile> file = fs.Open(path);
    if (!file) continue;  // its encoder was missing when the files were made
    ++probed;
    InfoTail tail = ScanInfoTail(*file);
    EXPECT_EQ(tail.title, "");
    const ProbeFields f = ProbeMovie(path, file.get(), codecs);

    // Where Wine has a codec of its own, its name comes first.
    std::string video = e.videoFormat, audio = e.audioFormat;
    if (e.videoCode && e.videoCode[0]) {
      std::string d = codecs.VideoDescription(Code(e.videoCode));
      if (!d.empty()) video = CutCp932(RenameVideoCodec(d), kFieldMax);
    }
    if (e.audioTag) {
      std::string n = codecs.AudioFormatName(e.audioTag);
      if (!n.empty()) audio = RenameAudioFormat(n);
    }
    EXPECT_EQ(f.videoFormat, video);
    EXPECT_EQ(f.audioFormat, audio);
    EXPECT_EQ(f.audioRate, e.audioRate);
    EXPECT_EQ(f.frameRate, e.frameRate);
    EXPECT_EQ(f.resolution, e.resolution);
    EXPECT_EQ(f.playTime, e.playTime);
    // The play time cell is mm:ss of whole seconds.
    const int seconds = f.playTime.empty()
                            ? 0
                            : std::atoi(f.playTime.c_str()) * 60 +
                                  std::atoi(f.playTime.c_str() + f.playTime.find(':') + 1);
    if (seconds == 0) {
      EXPECT_EQ(f.videoRate, "None");
    } else {
      long long audioKbit = 0;
      if (f.audioRate.size())
        audioKbit = std::atoll(f.audioRate.c_str() + f.audioRate.find('/') + 1);
      EXPECT_EQ(
          f.videoRate,
          std::to_string(static_cast<long long>((file->Size() >> 10) * 8 / seconds) - audioKbit) +
              "kbit");
    }
  }
  EXPECT_GE(probed, 12);
}

}  // namespace
}  // namespace clip
