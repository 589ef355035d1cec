// Facts of an ASF file (WMV, WMA, ASF) from its header object, and the short
// names of the Windows codec codes that ASF and Matroska files carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/movie_facts.h"
#include "scan/movie_file.h"

namespace clip {

// The first read; the header object of a typical file fits in it.
constexpr std::size_t kAsfFirstRead = 64 * 1024;
// The header object is read whole up to this size (it sits at the start of
// the file, before the data packets); a larger one is read this far.
constexpr std::size_t kAsfMaxHeader = 1024 * 1024;

// Reads the header object's children: file and stream properties, the
// content descriptions and the header extension's extended stream
// properties. recognised is false when the file does not start with the
// header object's GUID.
MovieFacts ProbeAsf(MovieFile& file);

// Short name of a BITMAPINFOHEADER compression code (a fourcc, compared
// without regard to case), such as "WMV3" or "VC-1"; the fourcc itself when
// it is not a known one.
std::string WindowsVideoName(std::uint32_t fourcc);
// Short name of a WAVEFORMATEX format tag, such as "WMA" or "MP3"; the tag as
// "0x" and four hex digits when it is not a known one.
std::string WindowsAudioName(std::uint16_t formatTag);

}  // namespace clip
