// In-memory stand-ins for the file system, codecs, status bar and drive
// queries, counting what the scan asks of them.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "scan/scan.h"

namespace clip::test {

class FakeFs : public FileSystem {
 public:
  struct File {
    std::string bytes;       // the first bytes; the rest up to size reads as zeros
    std::uint64_t size = 0;  // may exceed bytes (a 5 GiB file without 5 GiB of memory)
    bool locked = false;     // held open by another program
  };

  // Creates a listable folder (with no entries yet).
  FakeFs& Folder(const std::string& folder) {
    folders_[folder];
    return *this;
  }
  // Adds a file entry to folder.
  FakeFs& AddFile(const std::string& folder, const std::string& name, std::string bytes,
                  std::uint32_t attributes = 0x20) {
    std::uint64_t size = bytes.size();
    return AddSizedFile(folder, name, size, std::move(bytes), attributes);
  }
  FakeFs& AddSizedFile(const std::string& folder, const std::string& name, std::uint64_t size,
                       std::string bytes = {}, std::uint32_t attributes = 0x20) {
    folders_[folder].push_back({name, attributes});
    files_[JoinPath(folder, name)] = File{std::move(bytes), size, false};
    return *this;
  }
  // Adds a folder entry; the folder itself becomes listable too.
  FakeFs& AddDir(const std::string& folder, const std::string& name,
                 std::uint32_t attributes = 0x10) {
    folders_[folder].push_back({name, attributes});
    folders_[JoinPath(folder, name)];
    return *this;
  }
  // A link: folder\name shows the contents of target (and is target).
  FakeFs& AddLink(const std::string& folder, const std::string& name, const std::string& target) {
    folders_[folder].push_back({name, 0x10});
    links_[JoinPath(folder, name)] = target;
    return *this;
  }
  // An entry that is listed but whose file cannot be opened.
  void Lock(const std::string& path) { files_[path].locked = true; }
  // Entries listed for a path that does not exist (deleted after listing).
  FakeFs& AddGhost(const std::string& folder, const std::string& name) {
    folders_[folder].push_back({name, 0x20});
    return *this;
  }

  bool identitiesKnown = true;
  std::map<std::string, std::string> labels;  // root -> label

  // What the scan asked for (the scan asks from several threads).
  int opens = 0;
  std::vector<std::string> listed;
  std::vector<std::string> labelQueries;
  std::vector<std::string> opened;

  bool List(const std::string& folder, std::vector<Entry>& entries) override {
    std::lock_guard<std::mutex> lock(mutex_);
    listed.push_back(folder);
    auto it = folders_.find(Resolve(folder));
    if (it == folders_.end()) return false;
    entries = it->second;
    return true;
  }

  std::unique_ptr<MovieFile> Open(const std::string& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++opens;
    opened.push_back(path);
    auto it = files_.find(Resolve(path));
    if (it == files_.end() || it->second.locked) return nullptr;
    return std::make_unique<MemFile>(it->second);
  }

  std::string VolumeLabel(const std::string& root) override {
    std::lock_guard<std::mutex> lock(mutex_);
    labelQueries.push_back(root);
    auto it = labels.find(root);
    return it == labels.end() ? std::string() : it->second;
  }

  std::string FolderIdentity(const std::string& folder) override {
    return identitiesKnown ? "id:" + Resolve(folder) : std::string();
  }

  bool Exists(const std::string& path) const { return files_.count(path) != 0; }

 private:
  class MemFile : public MovieFile {
   public:
    explicit MemFile(const File& f) : f_(f) {}
    std::uint64_t Size() override { return f_.size; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
      if (offset >= f_.size) return 0;
      std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(n, f_.size - offset));
      auto* out = static_cast<unsigned char*>(buffer);
      std::memset(out, 0, got);
      if (offset < f_.bytes.size()) {
        std::size_t have =
            std::min<std::size_t>(got, f_.bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(out, f_.bytes.data() + offset, have);
      }
      return got;
    }

   private:
    const File& f_;
  };

  // Follows links in a path, innermost prefix first.
  std::string Resolve(std::string path) const {
    for (int guard = 0; guard < 1000; ++guard) {
      bool changed = false;
      for (const auto& [from, to] : links_) {
        if (path == from || (path.size() > from.size() && path.compare(0, from.size(), from) == 0 &&
                             path[from.size()] == '\\')) {
          path = to + path.substr(from.size());
          changed = true;
          break;
        }
      }
      if (!changed) break;
    }
    return path;
  }

  std::mutex mutex_;
  std::map<std::string, std::vector<Entry>> folders_;
  std::map<std::string, File> files_;
  std::map<std::string, std::string> links_;
};

using NoCodecs = BuiltInCodecNames;

class RecordingStatus : public StatusSink {
 public:
  void SetStatusText(int part, const std::string& text) override {
    writes.emplace_back(part, text);
    parts[part] = text;
  }
  std::vector<std::pair<int, std::string>> writes;
  std::map<int, std::string> parts;
};

class FakeDisk : public DiskQuery {
 public:
  bool ok = true;
  std::uint64_t total = 0, free = 0;
  std::vector<std::string> roots;
  bool SpaceKB(const std::string& root, std::uint64_t& totalKB, std::uint64_t& freeKB) override {
    roots.push_back(root);
    totalKB = ok ? total : 0;
    freeKB = ok ? free : 0;
    return ok;
  }
};

// A table with only the given categories shown.
inline CategoryTable OnlyCategories(std::initializer_list<int> on) {
  std::array<int, kCategoryCount> values{};
  for (int k : on) values[static_cast<std::size_t>(k)] = 1;
  return CategoryTable::FromValues(values);
}

// The texts of one column, top to bottom.
inline std::vector<std::string> Column(const RowModel& rows, int column) {
  std::vector<std::string> out;
  for (int r = 0; r < rows.Count(); ++r) out.push_back(rows.Cell(r, column));
  return out;
}

}  // namespace clip::test
