#include "catalogue/duplicates.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// True when the two sizes differ by at most 1% of the larger.
bool WithinOnePercent(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t hi = std::max(a, b), lo = std::min(a, b);
  return static_cast<unsigned __int128>(hi - lo) * 100 <= hi;
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  return (h ^ v) * 0x9E3779B97F4A7C15u + (h >> 29);
}

// Rows are grouped by sorting small entries on a hash of what they share;
// texts are compared only where hashes agree, so neither a map with one
// node per row nor a sort that reads cells is needed.

struct NameEntry {
  std::uint64_t hash;      // of the folded name and the size
  std::size_t at, length;  // the folded name in the names buffer
  ByteRange size;
  int row;
};

struct NearEntry {
  std::uint64_t hash;  // of the play time and resolution
  std::string_view time, frame;
  std::uint64_t size;
  int row;
};

// Rule (a): equal folded names and equal sizes.
void JoinSameNames(std::vector<NameEntry>& entries, std::string_view names, RowSets& sets) {
  auto name = [names](const NameEntry& e) { return names.substr(e.at, e.length); };
  // Equal names sort together within a hash.
  std::sort(entries.begin(), entries.end(), [&](const NameEntry& x, const NameEntry& y) {
    if (x.hash != y.hash) return x.hash < y.hash;
    const int byName = name(x).compare(name(y));
    return byName != 0 ? byName < 0 : x.row < y.row;
  });
  for (std::size_t i = 1; i < entries.size(); ++i) {
    const NameEntry &x = entries[i - 1], &y = entries[i];
    if (x.hash == y.hash && x.size == y.size && name(x) == name(y)) sets.Join(x.row, y.row);
  }
}

// Rule (b): equal play time and resolution, sizes within 1%. Rows are
// sorted by their (time, resolution) group and size. When two sizes are
// within 1% of each other, every size between them is within 1% of both,
// so joining neighbours in that order builds the same sets as comparing
// all pairs.
void JoinNearSizes(std::vector<NearEntry>& entries, RowSets& sets) {
  std::sort(entries.begin(), entries.end(), [](const NearEntry& x, const NearEntry& y) {
    return x.hash != y.hash ? x.hash < y.hash : x.size < y.size;
  });
  // Two groups whose hashes collide are told apart by their texts.
  auto sameGroup = [](const NearEntry& x, const NearEntry& y) {
    return x.hash == y.hash && x.time == y.time && x.frame == y.frame;
  };
  for (std::size_t begin = 0, end = 0; begin < entries.size(); begin = end) {
    bool mixed = false;
    for (end = begin + 1; end < entries.size() && entries[end].hash == entries[begin].hash; ++end)
      mixed |= !sameGroup(entries[begin], entries[end]);
    if (mixed) {
      std::sort(entries.begin() + static_cast<std::ptrdiff_t>(begin),
                entries.begin() + static_cast<std::ptrdiff_t>(end),
                [](const NearEntry& x, const NearEntry& y) {
                  if (x.time != y.time) return x.time < y.time;
                  return x.frame != y.frame ? x.frame < y.frame : x.size < y.size;
                });
    }
  }
  for (std::size_t i = 1; i < entries.size(); ++i) {
    const NearEntry &x = entries[i - 1], &y = entries[i];
    if (sameGroup(x, y) && WithinOnePercent(x.size, y.size)) sets.Join(x.row, y.row);
  }
}

}  // namespace

std::vector<int> FindDuplicateRows(const RowModel& rows, const CategoryTable& table,
                                   DuplicateChoice choice) {
  std::vector<int> result;
  const int n = rows.Count();
  if (n == 0 || !table.AnySizeOn()) return result;
  const bool nearRule = table.IsOn(PlayTime) && table.IsOn(Resolusion);
  const int timeColumn = table.position[PlayTime];
  const int frameColumn = table.position[Resolusion];

  // One pass over the rows gathers what both rules compare; the folded
  // names share one buffer.
  std::vector<NameEntry> named;
  std::vector<NearEntry> timed;
  std::string names, buffer;
  const std::hash<std::string_view> hashText;
  for (int r = 0; r < n; ++r) {
    rows.PrefetchAhead(r);
    const std::string& name = rows.Cell(r, FileName);
    if (name.empty()) continue;
    const ByteRange size = RowByteRange(rows, table, r);
    if (!size.known) continue;
    FoldForFindInto(name, false, buffer);
    named.push_back(
        {Mix(Mix(hashText(buffer), size.low), size.high), names.size(), buffer.size(), size, r});
    names += buffer;
    if (!nearRule) continue;
    const std::string& time = rows.Cell(r, timeColumn);
    const std::string& frame = rows.Cell(r, frameColumn);
    if (!time.empty() && !frame.empty())
      timed.push_back({Mix(hashText(time), hashText(frame)), time, frame, size.Middle(), r});
  }

  RowSets sets(n);
  JoinSameNames(named, names, sets);
  JoinNearSizes(timed, sets);

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
