// The codec names one scan asks for, each once.
#include "scan/movie_file.h"

namespace clip {

std::string CodecCache::VideoDescription(std::uint32_t handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = video_.find(handler);
  if (it == video_.end()) it = video_.emplace(handler, names_.VideoDescription(handler)).first;
  return it->second;
}

std::string CodecCache::AudioFormatName(std::uint16_t formatTag) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = audio_.find(formatTag);
  if (it == audio_.end()) it = audio_.emplace(formatTag, names_.AudioFormatName(formatTag)).first;
  return it->second;
}

}  // namespace clip
