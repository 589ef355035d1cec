#include "app/rescan_run.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"

namespace clip {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

std::string LowerText(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

// True when key is below folder (both keys): "d:\a\b" is below "d:\a", and
// so is everything of a volume below its root "d:".
bool IsBelow(std::string_view key, std::string_view folder) {
  return key.size() > folder.size() + 1 && key.compare(0, folder.size(), folder) == 0 &&
         key[folder.size()] == '\\';
}

bool IsAtOrBelow(std::string_view key, std::string_view folder) {
  return key == folder || IsBelow(key, folder);
}

// The folders a folder key lies in, nearest first, up to its volume's root.
std::vector<std::string_view> Ancestors(std::string_view key) {
  std::vector<std::string_view> up;
  for (std::size_t at = key.rfind('\\'); at != std::string_view::npos && at > 0;
       at = key.rfind('\\', at - 1)) {
    const std::string_view parent = key.substr(0, at);
    if (parent.find_first_not_of('\\') == std::string_view::npos) break;  // "\\server"
    up.push_back(parent);
  }
  return up;
}

// The cells a changed file gets again: everything read from the file. The
// name, the folder and the volume label stand for the file itself; title,
// genre, creator and comment may have been typed by the user.
constexpr std::array<int, 10> kReadAgain = {FileSizeBT, FileSizeMB, FileSizeKB, MoveInfo,
                                            AudioInfo,  VideoRate,  AudioRate,  FlameRate,
                                            Resolusion, PlayTime};

std::string VolumeName(const std::string& root, const std::optional<std::string>& label) {
  return label ? root + " (" + *label + ")" : root;
}

// The folder a walk starts at: the root itself for a folder cell that names
// the root ("D:" is the current folder of drive D:, not its root).
std::string WalkStart(const std::string& folder, const std::string& root) {
  return RescanFolderKey(folder) == RescanFolderKey(root) ? root : folder;
}

struct WalkedVolume {
  const RescanVolume* volume;
  RescanWalk walk;
};

// Adds to the walk the folders of rows of this volume that lie in a walked
// folder but were not listed and are not there any more: their rows are
// gone. A folder that is there but was not entered (a hidden folder, one
// too deep) keeps its rows untouched.
void AddVanishedFolders(const RowModel& rows, const CategoryTable& table, WalkedVolume& walked,
                        RescanDisk& disk) {
  const RescanVolume& volume = *walked.volume;
  std::unordered_set<std::string> listed;
  for (const std::string& f : walked.walk.folders) listed.insert(RescanFolderKey(f));
  for (const FoundFile& f : walked.walk.files) listed.insert(RescanFolderKey(f.folder));
  std::vector<std::string> tops;
  for (const std::string& f : volume.folders) tops.push_back(RescanFolderKey(f));
  const int folderColumn = table.position[DirPath];
  const int labelColumn = table.IsOn(VolLabel) ? table.position[VolLabel] : -1;
  std::unordered_set<std::string> asked;
  std::string previous;
  for (int r = 0; r < rows.Count(); ++r) {
    const std::string& folder = rows.Cell(r, folderColumn);
    if (folder.empty() || folder == previous) continue;
    previous = folder;
    if (labelColumn > 0 &&
        LowerText(rows.Cell(r, labelColumn)) != LowerText(walked.walk.volumeLabel))
      continue;
    std::string key = RescanFolderKey(folder);
    if (listed.count(key) || !asked.insert(key).second) continue;
    const bool inWalk = std::any_of(tops.begin(), tops.end(),
                                    [&](const std::string& top) { return IsAtOrBelow(key, top); });
    if (inWalk && !disk.FolderExists(folder)) walked.walk.folders.push_back(folder);
  }
}

// Plans, reads and applies one walked volume; false when the rescan was
// stopped while reading.
bool ApplyVolume(RowModel& rows, const CategoryTable& table, const RescanWalk& walk,
                 RescanDisk& disk, RescanOutcome& out) {
  RescanPlan plan = PlanRescan(rows, table, walk);
  const int folderColumn = table.position[DirPath];
  bool stopped = false;

  out.kept += static_cast<int>(std::count(plan.fates.begin(), plan.fates.end(), RowFate::Keep));
  // The rows whose files changed, read again in place, then the new files
  // in their final order: one reading, so that a disk may read several at
  // once. Only the files read whole get their cells or rows.
  std::vector<int> changedRows;
  std::vector<std::string> paths;
  for (int r = 0; r < rows.Count(); ++r) {
    if (plan.fates[static_cast<std::size_t>(r)] != RowFate::Update) continue;
    changedRows.push_back(r);
    paths.push_back(JoinPath(rows.Cell(r, folderColumn), rows.Cell(r, FileName)));
  }
  for (const NewRowPlace& place : plan.added) {
    const FoundFile& file = walk.files[static_cast<std::size_t>(place.file)];
    paths.push_back(JoinPath(file.folder, file.name));
  }
  std::vector<MovieRowTexts> texts = disk.ReadAll(paths);
  stopped = texts.size() < paths.size();
  std::vector<std::pair<int, MovieRowTexts>> changed;
  std::vector<NewRowPlace> read;
  std::vector<MovieRowTexts> readTexts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i < changedRows.size()) {
      changed.emplace_back(changedRows[i], std::move(texts[i]));
    } else {
      read.push_back(plan.added[i - changedRows.size()]);
      readTexts.push_back(std::move(texts[i]));
    }
  }

  for (auto& [row, texts] : changed) {
    for (int k : kReadAgain)
      if (table.IsOn(k))
        rows.SetCell(row, table.position[k], texts.cells[static_cast<std::size_t>(k)]);
  }
  out.updated += static_cast<int>(changed.size());

  for (std::size_t k = 0; k < read.size(); ++k) read[k].row = read[k].before + static_cast<int>(k);
  plan.added = read;
  const std::vector<int> moved = ApplyRescan(rows, table, walk, plan);
  for (std::size_t k = 0; k < read.size(); ++k) {
    const MovieRowTexts& texts = readTexts[k];
    for (int c = 1; c < kCategoryCount; ++c) {
      if (c == DirPath || c == VolLabel || !table.IsOn(c)) continue;
      const std::string& text = texts.cells[static_cast<std::size_t>(c)];
      if (!text.empty()) rows.SetCell(read[k].row, table.position[c], text);
    }
  }
  out.added += static_cast<int>(read.size());

  // Gone rows of the volumes before move with their rows.
  if (!moved.empty())
    for (int& r : out.goneRows) r = moved[static_cast<std::size_t>(r)];
  for (std::size_t r = 0; r < plan.fates.size(); ++r) {
    if (plan.fates[r] == RowFate::Gone)
      out.goneRows.push_back(moved.empty() ? static_cast<int>(r) : moved[r]);
  }
  return !stopped;
}

}  // namespace

std::vector<MovieRowTexts> RescanDisk::ReadAll(const std::vector<std::string>& paths) {
  std::vector<MovieRowTexts> texts;
  for (const std::string& path : paths) {
    std::optional<MovieRowTexts> one = Read(path);
    if (!one) break;
    texts.push_back(std::move(*one));
  }
  return texts;
}

std::string RescanRoot(std::string_view folder) {
  const auto first = static_cast<unsigned char>(folder.empty() ? 0 : folder[0]);
  if (folder.size() >= 2 && folder[1] == ':' && first < 0x80 && first != '\\' && first != '/')
    return std::string(folder.substr(0, 2)) + "\\";
  // A network folder: the share it is on, as the scan asks its label.
  if (folder.size() > 2 && IsSeparator(folder[0]) && IsSeparator(folder[1]))
    return VolumeRoot(std::string(folder));
  return {};
}

std::vector<RescanVolume> VolumesOfRows(const RowModel& rows, const CategoryTable& table) {
  std::vector<RescanVolume> volumes;
  if (!CanRescan(table)) return volumes;
  const int folderColumn = table.position[DirPath];
  const int labelColumn = table.IsOn(VolLabel) ? table.position[VolLabel] : -1;
  // Each volume's distinct folders by key; rows of one folder mostly come
  // together, so a row like the one before is skipped at once.
  std::unordered_map<std::string, std::size_t> volumeOf;
  std::vector<std::unordered_map<std::string, std::string>> folders;
  static const std::string kNoLabel;
  const std::string* previousFolder = nullptr;
  const std::string* previousLabel = nullptr;
  for (int r = 0; r < rows.Count(); ++r) {
    const std::string& folder = rows.Cell(r, folderColumn);
    const std::string& label = labelColumn > 0 ? rows.Cell(r, labelColumn) : kNoLabel;
    if (previousFolder && folder == *previousFolder && label == *previousLabel) continue;
    previousFolder = &folder;
    previousLabel = &label;
    const std::string root = RescanRoot(folder);
    if (root.empty()) continue;
    std::string volumeKey = RescanFolderKey(root);
    if (labelColumn > 0) volumeKey += '\n' + LowerText(label);
    auto [it, added] = volumeOf.emplace(volumeKey, volumes.size());
    if (added) {
      volumes.push_back({root, {}, std::nullopt});
      if (labelColumn > 0) volumes.back().label = label;
      folders.emplace_back();
    }
    folders[it->second].emplace(RescanFolderKey(folder), folder);
  }
  for (std::size_t v = 0; v < volumes.size(); ++v) {
    std::vector<std::pair<std::string, std::string>> tops;
    for (const auto& [key, spelling] : folders[v]) {
      const std::vector<std::string_view> up = Ancestors(key);
      const bool covered = std::any_of(up.begin(), up.end(), [&](std::string_view a) {
        return folders[v].count(std::string(a)) != 0;
      });
      if (!covered) tops.emplace_back(key, spelling);
    }
    std::sort(tops.begin(), tops.end());
    for (auto& [key, spelling] : tops) volumes[v].folders.push_back(std::move(spelling));
  }
  return volumes;
}

RescanVolume VolumeOfFolder(const std::string& folder) {
  return {RescanRoot(folder), {folder}, std::nullopt};
}

RescanOutcome Rescan(RowModel& rows, const CategoryTable& table,
                     const std::vector<RescanVolume>& volumes, RescanDisk& disk) {
  RescanOutcome out;
  if (!CanRescan(table)) return out;
  std::vector<WalkedVolume> walked;
  for (const RescanVolume& volume : volumes) {
    const std::optional<std::string> label =
        volume.root.empty() ? std::nullopt : disk.PresentLabel(volume.root);
    if (!label || (volume.label && LowerText(*volume.label) != LowerText(*label))) {
      out.skipped.push_back(VolumeName(volume.root, volume.label));
      continue;
    }
    WalkedVolume w{&volume, {}};
    w.walk.volumeLabel = *label;
    w.walk.labelKnown = true;
    for (const std::string& folder : volume.folders) {
      if (!disk.Walk(WalkStart(folder, volume.root), w.walk)) {
        out.stopped = true;
        return out;
      }
    }
    walked.push_back(std::move(w));
  }
  for (WalkedVolume& w : walked) AddVanishedFolders(rows, table, w, disk);
  for (const WalkedVolume& w : walked) {
    if (!ApplyVolume(rows, table, w.walk, disk, out)) {
      out.stopped = true;
      break;
    }
  }
  std::sort(out.goneRows.begin(), out.goneRows.end());
  out.gone = static_cast<int>(out.goneRows.size());
  return out;
}

std::string RescanSummaryText(const RescanOutcome& o) {
  std::string text = o.stopped ? "更新ｽｷｬﾝを中止しました(読み終えたﾌｧｲﾙの分だけ反映しています)\n\n"
                               : "更新ｽｷｬﾝが終わりました\n\n";
  text += "そのままの行: " + std::to_string(o.kept) + "\n";
  text += "更新した行: " + std::to_string(o.updated) + "\n";
  text += "追加した行: " + std::to_string(o.added) + "\n";
  text += "ﾌｧｲﾙがない行: " + std::to_string(o.gone);
  if (o.gone > 0) text += " (選択しています)";
  return text;
}

std::string SkippedVolumesText(const std::vector<std::string>& skipped) {
  if (skipped.empty()) return {};
  std::string text = "ﾎﾞﾘｭｰﾑがないため飛ばしました: ";
  for (std::size_t i = 0; i < skipped.size(); ++i) text += (i ? ", " : "") + skipped[i];
  return text;
}

}  // namespace clip
