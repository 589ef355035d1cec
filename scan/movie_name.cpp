#include "scan/movie_name.h"

#include "base/text.h"

namespace clip {

namespace {

constexpr std::string_view kModernEndings[] = {"mp4",  "m4v", "mov",  "3gp", "mkv",
                                               "webm", "wmv", "asf",  "flv", "ts",
                                               "m2ts", "mts", "mpeg", "vob", "divx"};

bool SameNoCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace

bool HasClassicMovieEnding(std::string_view path) {
  return EndsWithNoCase(path, "AVI") || EndsWithNoCase(path, "MPG") || EndsWithNoCase(path, ".RM");
}

bool HasModernMovieEnding(std::string_view path) {
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view ending = path.substr(dot + 1);
  for (std::string_view candidate : kModernEndings)
    if (SameNoCase(ending, candidate)) return true;
  return false;
}

MovieKind KindOfMoviePath(std::string_view path) {
  if (!path.empty() && (path.back() == 'i' || path.back() == 'I')) return MovieKind::Avi;
  if (EndsWithNoCase(path, "MPG")) return MovieKind::Mpeg;
  return MovieKind::RealMedia;
}

}  // namespace clip
