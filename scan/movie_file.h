// What the container parsers read through: an open movie file and the
// names of installed codecs. Nothing here knows rows or categories.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace clip {

// An open movie file: its size and positioned reads.
class MovieFile {
 public:
  virtual ~MovieFile() = default;
  virtual std::uint64_t Size() = 0;
  // Reads up to n bytes at offset; returns the number of bytes read.
  virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
};

// Names of installed codecs; an empty result means "not known here".
class CodecNames {
 public:
  virtual ~CodecNames() = default;
  virtual std::string VideoDescription(std::uint32_t handler) = 0;
  virtual std::string AudioFormatName(std::uint16_t formatTag) = 0;
};

// Knows no installed codec: the probes name streams by the program's own
// tables, as where no codec managers exist (the native build).
class BuiltInCodecNames : public CodecNames {
 public:
  std::string VideoDescription(std::uint32_t) override { return {}; }
  std::string AudioFormatName(std::uint16_t) override { return {}; }
};

// Codec names asked for during one scan: a system lookup per handler code
// or format tag rather than per file. Safe to ask from several threads.
class CodecCache : public CodecNames {
 public:
  explicit CodecCache(CodecNames& names) : names_(names) {}
  std::string VideoDescription(std::uint32_t handler) override;
  std::string AudioFormatName(std::uint16_t formatTag) override;

 private:
  CodecNames& names_;
  std::mutex mutex_;
  std::map<std::uint32_t, std::string> video_;
  std::map<std::uint16_t, std::string> audio_;
};

}  // namespace clip
