#include "catalogue/rescan.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "catalogue/size_cells.h"

namespace clip {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

// The folder text a new row shows: the walk's spelling without trailing
// separators, as the scan writes folder cells.
std::string_view FolderText(std::string_view folder) {
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.remove_suffix(1);
  return folder;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// The enclosing folder of a folder key, or an empty view at the top (a
// drive such as "d:", or a server such as "\\server": the separators that
// start a network path name no folder).
std::string_view ParentKey(std::string_view key) {
  const std::size_t at = key.rfind('\\');
  if (at == std::string_view::npos) return {};
  const std::string_view parent = key.substr(0, at);
  return parent.find_first_not_of('\\') == std::string_view::npos ? std::string_view() : parent;
}

// Smallest first row and largest last row over a run of folders sorted by
// key; a folder's subfolders (key + "\...") are one such run.
class FolderSpans {
 public:
  struct Span {
    std::string key;
    int first, last;
  };

  explicit FolderSpans(std::vector<Span> spans) : spans_(std::move(spans)) {
    std::sort(spans_.begin(), spans_.end(),
              [](const Span& a, const Span& b) { return a.key < b.key; });
    size_ = spans_.size();
    tree_.assign(2 * size_, {kNone, -1});
    for (std::size_t i = 0; i < size_; ++i) tree_[size_ + i] = {spans_[i].first, spans_[i].last};
    for (std::size_t i = size_; i-- > 1;) tree_[i] = Merge(tree_[2 * i], tree_[2 * i + 1]);
  }

  // The first and last rows in folders below key; first is kNone when
  // there are none.
  std::pair<int, int> Below(std::string_view key) const {
    // Keys below start with key + "\"; "]" is the byte after "\".
    std::string from(key), to(key);
    from += '\\';
    to += ']';
    std::size_t l = Lower(from) + size_, r = Lower(to) + size_;
    std::pair<int, int> result{kNone, -1};
    for (; l < r; l /= 2, r /= 2) {
      if (l & 1) result = Merge(result, tree_[l++]);
      if (r & 1) result = Merge(result, tree_[--r]);
    }
    return result;
  }

  static constexpr int kNone = std::numeric_limits<int>::max();

 private:
  static std::pair<int, int> Merge(std::pair<int, int> a, std::pair<int, int> b) {
    return {std::min(a.first, b.first), std::max(a.second, b.second)};
  }
  std::size_t Lower(const std::string& key) const {
    return static_cast<std::size_t>(
        std::lower_bound(spans_.begin(), spans_.end(), key,
                         [](const Span& s, const std::string& k) { return s.key < k; }) -
        spans_.begin());
  }

  std::vector<Span> spans_;
  std::size_t size_ = 0;
  std::vector<std::pair<int, int>> tree_;  // a bottom-up segment tree over spans_
};

}  // namespace

std::string RescanFolderKey(std::string_view folder) {
  while (!folder.empty() && IsSeparator(folder.back())) folder.remove_suffix(1);
  std::string key(folder);
  for (char& c : key) c = c == '/' ? '\\' : LowerAscii(c);
  return key;
}

namespace {

// Folder keys numbered as they are met, so that files and rows refer to
// their folder by a number. Walk files and rows of one folder mostly come
// together: a text like the one before is not keyed again.
class FolderIds {
 public:
  int Of(std::string_view text) {
    if (last_ >= 0 && text == lastText_) return last_;
    lastText_ = text;
    const auto [it, added] = ids_.emplace(RescanFolderKey(text), static_cast<int>(keys_.size()));
    if (added) keys_.push_back(it->first);
    return last_ = it->second;
  }
  // The number of a key, or -1.
  int Find(std::string_view key) const {
    const auto it = ids_.find(std::string(key));
    return it == ids_.end() ? -1 : it->second;
  }
  const std::string& Key(int id) const { return keys_[static_cast<std::size_t>(id)]; }
  int Count() const { return static_cast<int>(keys_.size()); }

 private:
  std::unordered_map<std::string, int> ids_;
  std::vector<std::string> keys_;
  std::string lastText_;
  int last_ = -1;
};

struct FileKey {
  int folder;
  std::string_view name;
  bool operator==(const FileKey& o) const { return folder == o.folder && name == o.name; }
};

struct FileKeyHash {
  std::size_t operator()(const FileKey& k) const {
    return std::hash<std::string_view>()(k.name) ^
           (static_cast<std::size_t>(k.folder) * 0x9E3779B97F4A7C15u);
  }
};

}  // namespace

RescanPlan PlanRescan(const RowModel& rows, const CategoryTable& table, const RescanWalk& walk) {
  const int n = rows.Count();
  RescanPlan plan;
  plan.fates.assign(static_cast<std::size_t>(n), RowFate::Untouched);
  if (!CanRescan(table)) return plan;
  const int folderColumn = table.position[DirPath];
  const int labelColumn = table.IsOn(VolLabel) && walk.labelKnown ? table.position[VolLabel] : -1;

  // The found files by folder and name. A file listed twice (the same
  // folder reached under two spellings) counts once.
  FolderIds folders;
  std::vector<char> walked;
  // A folder without a name (a row loaded from a list without folders)
  // is never walked.
  auto markWalked = [&](int id) {
    if (folders.Key(id).empty()) return;
    if (static_cast<std::size_t>(id) >= walked.size())
      walked.resize(static_cast<std::size_t>(id) + 1);
    walked[static_cast<std::size_t>(id)] = 1;
  };
  for (const std::string& folder : walk.folders) markWalked(folders.Of(folder));
  std::unordered_map<FileKey, int, FileKeyHash> found;
  found.reserve(walk.files.size());
  std::vector<char> isNew(walk.files.size(), 1);
  std::vector<int> fileFolders(walk.files.size());
  for (std::size_t i = 0; i < walk.files.size(); ++i) {
    const int id = folders.Of(walk.files[i].folder);
    fileFolders[i] = id;
    markWalked(id);
    if (!found.emplace(FileKey{id, walk.files[i].name}, static_cast<int>(i)).second) isNew[i] = 0;
  }

  // Each row's fate; the rows of this volume also tell where folders are.
  std::vector<std::pair<int, int>> spans;  // first and last row of each folder, or -1
  const bool sizesShown = table.AnySizeOn();
  for (int r = 0; r < n; ++r) {
    if (labelColumn > 0 && !EqualNoCase(rows.Cell(r, labelColumn), walk.volumeLabel)) continue;
    const int id = folders.Of(rows.Cell(r, folderColumn));
    if (static_cast<std::size_t>(id) >= spans.size())
      spans.resize(static_cast<std::size_t>(id) + 1, {-1, -1});
    auto& span = spans[static_cast<std::size_t>(id)];
    if (span.first < 0) span.first = r;
    span.second = r;
    if (static_cast<std::size_t>(id) >= walked.size() || !walked[static_cast<std::size_t>(id)])
      continue;
    const auto hit = found.find(FileKey{id, rows.Cell(r, FileName)});
    RowFate& fate = plan.fates[static_cast<std::size_t>(r)];
    if (hit == found.end()) {
      fate = RowFate::Gone;
      continue;
    }
    isNew[static_cast<std::size_t>(hit->second)] = 0;
    const bool sameSize =
        !sizesShown || RowByteRange(rows, table, r)
                           .Contains(walk.files[static_cast<std::size_t>(hit->second)].size);
    fate = sameSize ? RowFate::Keep : RowFate::Update;
  }
  spans.resize(static_cast<std::size_t>(folders.Count()), {-1, -1});

  // Places of the new files, one search per folder.
  std::vector<FolderSpans::Span> spanList;
  for (int id = 0; id < folders.Count(); ++id) {
    const auto& span = spans[static_cast<std::size_t>(id)];
    if (span.first >= 0) spanList.push_back({folders.Key(id), span.first, span.second});
  }
  const FolderSpans tree(std::move(spanList));
  auto place = [&](int id) {
    if (spans[static_cast<std::size_t>(id)].first >= 0)
      return spans[static_cast<std::size_t>(id)].second + 1;
    const std::string& key = folders.Key(id);
    if (const int below = tree.Below(key).first; below != FolderSpans::kNone) return below;
    for (std::string_view up = ParentKey(key); !up.empty(); up = ParentKey(up)) {
      int last = tree.Below(up).second;
      if (const int upId = folders.Find(up); upId >= 0)
        last = std::max(last, spans[static_cast<std::size_t>(upId)].second);
      if (last >= 0) return last + 1;
    }
    return n;
  };
  std::vector<int> places(static_cast<std::size_t>(folders.Count()), -1);
  for (std::size_t i = 0; i < walk.files.size(); ++i) {
    if (!isNew[i]) continue;
    int& at = places[static_cast<std::size_t>(fileFolders[i])];
    if (at < 0) at = place(fileFolders[i]);
    plan.added.push_back({static_cast<int>(i), at, 0});
  }
  std::stable_sort(plan.added.begin(), plan.added.end(),
                   [](const NewRowPlace& a, const NewRowPlace& b) { return a.before < b.before; });
  for (std::size_t k = 0; k < plan.added.size(); ++k)
    plan.added[k].row = plan.added[k].before + static_cast<int>(k);
  return plan;
}

std::vector<int> ApplyRescan(RowModel& rows, const CategoryTable& table, const RescanWalk& walk,
                             const RescanPlan& plan) {
  const int n = rows.Count();
  if (plan.fates.size() != static_cast<std::size_t>(n)) return {};
  int previous = 0;
  for (const NewRowPlace& a : plan.added) {
    if (a.file < 0 || static_cast<std::size_t>(a.file) >= walk.files.size() ||
        a.before < previous || a.before > n)
      return {};
    previous = a.before;
  }
  const int folderColumn = table.IsOn(DirPath) ? table.position[DirPath] : -1;
  const int labelColumn = table.IsOn(VolLabel) && walk.labelKnown ? table.position[VolLabel] : -1;

  std::vector<int> moved(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) moved[static_cast<std::size_t>(i)] = i;
  if (plan.added.empty()) return moved;

  // The new rows go to the end first and then, with every old row, to
  // their places in one reordering: no row is moved more than once.
  for (const NewRowPlace& a : plan.added) {
    const FoundFile& file = walk.files[static_cast<std::size_t>(a.file)];
    const int r = rows.Insert(rows.Count(), file.name, rows.Count());
    if (folderColumn > 0) rows.SetCell(r, folderColumn, FolderText(file.folder));
    if (labelColumn > 0) rows.SetCell(r, labelColumn, walk.volumeLabel);
  }
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(n) + plan.added.size());
  std::size_t k = 0;
  for (int i = 0; i < n; ++i) {
    for (; k < plan.added.size() && plan.added[k].before == i; ++k)
      order.push_back(n + static_cast<int>(k));
    moved[static_cast<std::size_t>(i)] = static_cast<int>(order.size());
    order.push_back(i);
  }
  for (; k < plan.added.size(); ++k) order.push_back(n + static_cast<int>(k));
  rows.Reorder(order);
  return moved;
}

}  // namespace clip
