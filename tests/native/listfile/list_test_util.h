// Helpers shared by the list-file suites: scratch folders, whole-file
// reads and writes, tables with a chosen set of categories.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "catalogue/categories.h"

namespace clip::testing {

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/clip-listfile-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "/tmp";
  }
  ~ScratchDir() {
    std::string cmd = "chmod -R u+w '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) {
    }
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// A table with exactly the given optional categories shown (value 1) and
// the others at 0.
inline CategoryTable TableWith(std::initializer_list<int> shown) {
  std::array<int, kCategoryCount> values{};
  for (int k : shown) values[static_cast<std::size_t>(k)] = 1;
  return CategoryTable::FromValues(values);
}

}  // namespace clip::testing
