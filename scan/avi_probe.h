// AVI files: the stream headers and the INFO list, read straight from the
// RIFF layout, and the facts a row takes from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"
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
  // The speaker mask of an extensible format (tag 0xFFFE) long enough to
  // hold one; 0 when there is none.
  std::uint32_t speakerMask = 0;
};

// The text entries of a LIST 'INFO' chunk at the top level of the file
// (before 'movi'), where tagging tools and ffmpeg put them. Each is the raw
// bytes of the entry up to its first NUL, at most kAviMaxInfoEntryBytes of them,
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
  // NotThis unless the file starts with RIFF ... 'AVI '; then Whole, or the
  // first problem the walk met.
  ProbeOutcome outcome = ProbeOutcome::NotThis;
  AviVideoStream video;
  AviAudioStream audio;
  AviHeaderInfo info;
  // The streams of each kind the header list names ('auds' and 'txts'
  // stream headers), and whether the whole list was at hand, so that the
  // counts are all of them.
  int audioStreams = 0, textStreams = 0;
  bool streamsListed = false;
};

// The first read; a header list within it costs no other.
constexpr std::size_t kAviHeadBytes = 64 * 1024;
// A header list is read whole up to this size, and an INFO list outside the
// first read up to this one.
constexpr std::size_t kAviMaxHeaderListBytes = 1024 * 1024;
constexpr std::size_t kAviMaxInfoListBytes = 64 * 1024;
constexpr std::size_t kAviMaxInfoEntryBytes = 255;

// Reads the file's first 64 KB and finds LIST 'hdrl' among the top-level
// chunks; a header list larger than that first read is read once more, whole
// up to 1 MB. The list is taken by its own size, cut to the file. The walk
// goes on up to 'movi' for a LIST 'INFO' (usually within the first read).
AviHeader ReadAviHeader(MovieFile& file);
// The same over the file's first bytes already read (at least
// kAviHeadBytes of them, or the whole file; else they are read again).
//
// The outcome: Truncated when a chunk (the RIFF chunk itself included) runs
// past the end of the file or the file ends inside a chunk header;
// Malformed when a list is too short for its type, a chunk runs past its
// list, no header list comes before 'movi' or a stream's header or format
// is too short; BudgetSpent when the header list is larger than the cap or
// is not among the first 64 chunks.
AviHeader ReadAviHeader(MovieFile& file, ByteView head);

// The streams of a header list body (the bytes after the 'hdrl' type): the
// first 'vids' stream and the first 'auds' stream. A stream whose header or
// format is too short is not taken, and the search does not go on to a later
// stream of the same type. Every stream is counted by its type. Problems
// are noted in header.outcome.
void ParseAviHeaderList(ByteView hdrl, AviHeader& header);

// The entries of an INFO list body (the bytes after the 'INFO' type).
// Returns false when an entry runs past the list.
bool ParseAviInfoList(ByteView info, AviHeaderInfo& entries);

// The facts of an AVI file: codec names from the installed codecs, else the
// built-in tables, turned into short names by the renaming rules; the size
// and rates as the headers store them; the header's INFO texts. head as for
// ReadAviHeader.
MovieFacts ProbeAvi(MovieFile& file, CodecNames& codecs, ByteView head = {});

// Text of an AVI INFO entry as stored: UTF-8 when the bytes are valid
// UTF-8, else code page 932.
std::string InfoEntryText(std::string_view bytes);

}  // namespace clip
