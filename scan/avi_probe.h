// The stream headers of an AVI file, read straight from its RIFF layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/byte_reader.h"
#include "scan/movie_file.h"

namespace clip {

// The first stream header of type 'vids' (AVISTREAMHEADER) and its format
// (BITMAPINFOHEADER).
struct AviVideoStream {
  bool present = false;  // the header is there and holds at least dwLength
  std::uint32_t handler = 0;
  std::uint32_t scale = 0;
  std::uint32_t rate = 0;
  std::uint32_t length = 0;
  bool hasFrame = false;  // the header holds rcFrame
  std::int16_t frameRight = 0, frameBottom = 0;
  bool hasBitmap = false;  // the format holds width and height
  std::int32_t bitmapWidth = 0, bitmapHeight = 0;
  std::uint32_t compression = 0;  // biCompression; 0 when the format is shorter
};

// The format (WAVEFORMATEX) of the first stream of type 'auds'.
struct AviAudioStream {
  bool present = false;  // the format is there and at least 16 bytes long
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
};

// The text entries of a LIST 'INFO' chunk at the top level of the file
// (before 'movi'), where tagging tools and ffmpeg put them. Each is the raw
// bytes of the entry up to its first NUL, at most kAviInfoEntryMax of them,
// in whatever code page the writer used; the first entry of each kind counts.
struct AviHeaderInfo {
  bool present = false;   // the list was there
  std::string name;       // INAM
  std::string artist;     // IART
  std::string comment;    // ICMT
  std::string subject;    // ISBJ
  std::string copyright;  // ICOP
  std::string genre;      // IGNR
};

struct AviHeader {
  bool isAvi = false;  // starts with RIFF ... 'AVI '
  AviVideoStream video;
  AviAudioStream audio;
  AviHeaderInfo info;
};

// The header list is read in one piece up to this size.
constexpr std::size_t kAviFirstRead = 64 * 1024;
constexpr std::size_t kAviMaxHeaderList = 1024 * 1024;
// An INFO list outside the first read is read up to this size.
constexpr std::size_t kAviMaxInfoList = 64 * 1024;
constexpr std::size_t kAviInfoEntryMax = 255;

// Reads the file's first 64 KB and finds LIST 'hdrl' among the top-level
// chunks; a header list larger than that first read is read once more, whole
// up to 1 MB. The list is taken by its own size, cut to the file. The walk
// goes on up to 'movi' for a LIST 'INFO' (usually within the first read).
AviHeader ReadAviHeader(MovieFile& file);
// The same over the file's first bytes already read (at least
// kAviFirstRead of them, or the whole file; else they are read again).
AviHeader ReadAviHeader(MovieFile& file, ByteView head);

// The streams of a header list body (the bytes after the 'hdrl' type): the
// first 'vids' stream and the first 'auds' stream. A stream whose header or
// format is too short is not taken, and the search does not go on to a later
// stream of the same type.
void ParseAviHeaderList(ByteView hdrl, AviHeader& header);

// The entries of an INFO list body (the bytes after the 'INFO' type).
void ParseAviInfoList(ByteView info, AviHeaderInfo& entries);

}  // namespace clip
