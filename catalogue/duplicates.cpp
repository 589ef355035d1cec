#include "catalogue/duplicates.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "catalogue/find.h"
#include "catalogue/size_cells.h"

namespace clip {

namespace {

// Sets of rows; a set's root is its smallest row, the one that stays when
// all but one are chosen.
class RowSets {
 public:
  explicit RowSets(int n) : parent_(static_cast<std::size_t>(n)) {
    for (int i = 0; i < n; ++i) parent_[static_cast<std::size_t>(i)] = i;
  }
  int Root(int x) {
    while (parent_[static_cast<std::size_t>(x)] != x) {
      int& p = parent_[static_cast<std::size_t>(x)];
      p = parent_[static_cast<std::size_t>(p)];  // path halving
      x = p;
    }
    return x;
  }
  void Join(int a, int b) {
    a = Root(a);
    b = Root(b);
    if (a != b) parent_[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
  }

 private:
  std::vector<int> parent_;
};

struct NameSize {
  std::string_view name;
  ByteRange size;
  bool operator==(const NameSize& o) const { return name == o.name && size == o.size; }
};

struct NameSizeHash {
  std::size_t operator()(const NameSize& k) const {
    return std::hash<std::string_view>()(k.name) ^ (k.size.low * 0x9E3779B97F4A7C15u) ^
           (k.size.high * 0xC2B2AE3D27D4EB4Fu);
  }
};

struct TimeAndFrame {
  std::string_view time, resolution;
  bool operator==(const TimeAndFrame& o) const {
    return time == o.time && resolution == o.resolution;
  }
};

struct TimeAndFrameHash {
  std::size_t operator()(const TimeAndFrame& k) const {
    const std::hash<std::string_view> h;
    return h(k.time) * 31 + h(k.resolution);
  }
};

// True when the two sizes differ by at most 1% of the larger.
bool WithinOnePercent(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t hi = std::max(a, b), lo = std::min(a, b);
  return static_cast<unsigned __int128>(hi - lo) * 100 <= hi;
}

// Rule (a): equal folded names and equal sizes.
void JoinSameNames(const RowModel& rows, const std::vector<ByteRange>& sizes, RowSets& sets) {
  // The folded names live in one buffer so that the map holds views, not
  // one allocation per row.
  std::string folded, buffer;
  std::vector<std::pair<std::size_t, std::size_t>> spans(sizes.size());
  for (int r = 0; r < rows.Count(); ++r) {
    const std::string& name = rows.Cell(r, FileName);
    if (name.empty() || !sizes[static_cast<std::size_t>(r)].known) continue;
    FoldForFindInto(name, false, buffer);
    spans[static_cast<std::size_t>(r)] = {folded.size(), buffer.size()};
    folded += buffer;
  }
  std::unordered_map<NameSize, int, NameSizeHash> first;
  first.reserve(sizes.size());
  for (int r = 0; r < rows.Count(); ++r) {
    const auto [at, length] = spans[static_cast<std::size_t>(r)];
    if (length == 0) continue;
    const NameSize key{std::string_view(folded).substr(at, length),
                       sizes[static_cast<std::size_t>(r)]};
    const auto [it, added] = first.emplace(key, r);
    if (!added) sets.Join(it->second, r);
  }
}

// Rule (b): equal play time and resolution, sizes within 1%. Rows are
// sorted by their (time, resolution) group and size. When two sizes are
// within 1% of each other, every size between them is within 1% of both,
// so joining neighbours in that order builds the same sets as comparing
// all pairs.
void JoinNearSizes(const RowModel& rows, const CategoryTable& table,
                   const std::vector<ByteRange>& sizes, RowSets& sets) {
  if (!table.IsOn(PlayTime) || !table.IsOn(Resolusion)) return;
  const int timeColumn = table.position[PlayTime];
  const int frameColumn = table.position[Resolusion];
  struct Entry {
    int group;
    std::uint64_t size;
    int row;
  };
  std::vector<Entry> entries;
  std::unordered_map<TimeAndFrame, int, TimeAndFrameHash> groups;
  for (int r = 0; r < rows.Count(); ++r) {
    const ByteRange& size = sizes[static_cast<std::size_t>(r)];
    const std::string& time = rows.Cell(r, timeColumn);
    const std::string& frame = rows.Cell(r, frameColumn);
    if (!size.known || time.empty() || frame.empty() || rows.Cell(r, FileName).empty()) continue;
    const int group =
        groups.emplace(TimeAndFrame{time, frame}, static_cast<int>(groups.size())).first->second;
    entries.push_back({group, size.Middle(), r});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.group != b.group ? a.group < b.group : a.size < b.size;
  });
  for (std::size_t i = 1; i < entries.size(); ++i) {
    const Entry &before = entries[i - 1], &e = entries[i];
    if (before.group == e.group && WithinOnePercent(before.size, e.size))
      sets.Join(before.row, e.row);
  }
}

}  // namespace

std::vector<int> FindDuplicateRows(const RowModel& rows, const CategoryTable& table,
                                   DuplicateChoice choice) {
  std::vector<int> result;
  const int n = rows.Count();
  if (n == 0 || !table.AnySizeOn()) return result;
  std::vector<ByteRange> sizes(static_cast<std::size_t>(n));
  for (int r = 0; r < n; ++r) sizes[static_cast<std::size_t>(r)] = RowByteRange(rows, table, r);

  RowSets sets(n);
  JoinSameNames(rows, sizes, sets);
  JoinNearSizes(rows, table, sizes, sets);

  std::vector<int> members(static_cast<std::size_t>(n), 0);
  for (int r = 0; r < n; ++r) ++members[static_cast<std::size_t>(sets.Root(r))];
  for (int r = 0; r < n; ++r) {
    const int root = sets.Root(r);
    if (members[static_cast<std::size_t>(root)] < 2) continue;
    if (choice == DuplicateChoice::AllButOne && root == r) continue;
    result.push_back(r);
  }
  return result;
}

}  // namespace clip
