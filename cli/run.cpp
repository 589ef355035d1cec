// The run of clipledger-cli: the rows are listed in the window's order
// first, read on --jobs threads, and handed on in that order as each one is
// ready, so that a catalogue of any length streams out with little held in
// memory (a fixed-column text list keeps its rows in a compact form until
// every column's width is known).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/cp932.h"
#include "base/file_access.h"
#include "catalogue/row_model.h"
#include "base/text.h"
#include "cli/cli.h"
#include "listfile/html_options.h"
#include "scan/pipeline.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace clip {

namespace {

constexpr const char* kName = "clipledger-cli";

// The settings of a program that has no settings file: every value its
// default, as the window starts without one.
class NoSettings : public Profile {
 public:
  std::string GetString(std::string_view, std::string_view, std::string_view def,
                        std::size_t bufferSize) override {
    if (bufferSize == 0) return {};
    return std::string(def.substr(0, bufferSize - 1));
  }
  int GetInt(std::string_view, std::string_view, int def) override { return def; }
  bool WriteString(std::string_view, std::string_view, std::string_view) override { return false; }
};

// Problems and progress on standard error: each problem on a line of its
// own, the progress on one line that is written over, and only on a
// terminal.
class Reporter {
 public:
  Reporter(CliPlatform& platform, bool progress) : platform_(platform), progress_(progress) {}

  void Problem(const std::string& path, const std::string& why) {
    ++problems_;
    Say(path + ": " + why);
  }
  void Say(const std::string& text) {
    ClearLine();
    platform_.WriteError(std::string(kName) + ": " + text + "\n");
  }
  int problems() const { return problems_; }

  void Found(std::size_t found) {
    found_ = found;
    Show(false);
  }
  void Probed(std::size_t probed) {
    probed_ = probed;
    Show(false);
  }
  void Done() {
    if (progress_ && shown_) {
      Show(true);
      platform_.WriteError("\n");
      shown_ = false;
    }
  }

 private:
  using Clock = std::chrono::steady_clock;

  void Show(bool now) {
    if (!progress_) return;
    const Clock::time_point t = Clock::now();
    // Ten updates a second at most: a terminal is slower than the scan.
    if (!now && shown_ && t - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = t;
    const double seconds = std::chrono::duration<double>(t - start_).count();
    char line[160];
    std::snprintf(line, sizeof line, "\r%zu found, %zu probed, %.0f files/s   ", found_, probed_,
                  seconds > 0 ? static_cast<double>(probed_) / seconds : 0.0);
    platform_.WriteError(line);
    shown_ = true;
  }
  void ClearLine() {
    if (progress_ && shown_) {
      platform_.WriteError("\r" + std::string(60, ' ') + "\r");
      shown_ = false;
    }
  }

  CliPlatform& platform_;
  bool progress_;
  bool shown_ = false;
  int problems_ = 0;
  std::size_t found_ = 0, probed_ = 0;
  Clock::time_point start_ = Clock::now(), lastShown_;
};

// Rows kept until a text list's column widths are known: each row's cell
// count and cells, each with its length in front, in one block.
class CompactRows {
 public:
  void Add(const std::vector<std::string>& cells) {
    Number(cells.size());
    for (const std::string& cell : cells) {
      Number(cell.size());
      bytes_ += cell;
    }
  }
  void ForEach(const std::function<void(const std::vector<std::string>&)>& row) const {
    std::vector<std::string> cells;
    std::size_t at = 0;
    while (at < bytes_.size()) {
      cells.resize(Read(at));
      for (std::string& cell : cells) {
        const std::size_t n = Read(at);
        cell.assign(bytes_, at, n);
        at += n;
      }
      row(cells);
    }
  }

 private:
  void Number(std::size_t n) {
    while (n >= 0x80) {
      bytes_.push_back(static_cast<char>((n & 0x7F) | 0x80));
      n >>= 7;
    }
    bytes_.push_back(static_cast<char>(n));
  }
  std::size_t Read(std::size_t& at) const {
    std::size_t n = 0;
    for (int shift = 0; at < bytes_.size(); shift += 7) {
      const unsigned char b = static_cast<unsigned char>(bytes_[at++]);
      n |= static_cast<std::size_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) break;
    }
    return n;
  }
  std::string bytes_;
};

struct RunSettings {
  CategoryTable table;
  int sizeInfo = 0;
  unsigned scanThreads = 0;  // from the settings file; 0: automatic
  bool modernFormats = true;
  ListEncoding encoding = ListEncoding::Cp932;
  HtmlOptions html;
};

bool LoadRunSettings(const CliOptions& options, RunSettings& run, std::string& error) {
  Settings settings;
  NoSettings none;
  if (options.settings.empty()) {
    LoadSettings(none, settings);
  } else {
    // A settings file named on the command line must be there: a script
    // with a wrong name would quietly get every column.
    std::FILE* file = OpenFile(options.settings, "rb");
    if (!file) {
      error = "cannot read the settings file '" + options.settings + "'";
      return false;
    }
    std::fclose(file);
    IniFile ini(options.settings);
    LoadSettings(ini, settings);
    run.html = LoadHtmlOptions(ini);
  }
  if (options.columnsGiven)
    for (int k = 1; k < kCategoryCount; ++k)
      settings.categoryValues[static_cast<std::size_t>(k)] =
          options.columns[static_cast<std::size_t>(k)] ? 1 : 0;
  run.table = CategoryTable::FromValues(settings.categoryValues);
  run.sizeInfo = settings.sizeInfo;
  run.scanThreads = settings.scanThreads;
  run.modernFormats = settings.modernFormats == 1;
  run.encoding = options.encodingGiven    ? options.encoding
                 : settings.listUtf8 == 1 ? ListEncoding::Utf8
                                          : ListEncoding::Cp932;
  return true;
}

// The rows' paths in the order the window's command line gives them: a
// folder's files go to the end, a movie file to the row of its place among
// the arguments (or the end when there are fewer rows).
std::vector<std::string> PlanRows(const CliOptions& options, const RunSettings& run,
                                  CliPlatform& platform, Reporter& report) {
  std::vector<std::string> rows;
  for (std::size_t i = 0; i < options.paths.size(); ++i) {
    const std::string& arg = options.paths[i];
    if (arg.empty()) {
      report.Problem("''", "an empty path names nothing");
      continue;
    }
    const std::string full = platform.FullPath(arg);
    const std::uint32_t attributes = platform.Attributes(full);
    switch (ClassifyCommandLinePath(attributes, full, run.modernFormats)) {
      case PathKind::Folder: {
        std::vector<std::string> unreadable;
        std::vector<std::string> listed = ListMovieFiles(platform.Files(), platform.WalkPath(full),
                                                         run.modernFormats, &unreadable);
        // Taken over one by one, so that a large tree's paths are not held
        // twice.
        for (std::string& file : listed) {
          rows.push_back(platform.RowPath(file));
          std::string().swap(file);
        }
        for (const std::string& folder : unreadable) {
          const std::string path = platform.RowPath(folder);
          const std::string why = platform.WhyNotListed(path);
          report.Problem(path, why.empty() ? "the folder could not be listed" : why);
        }
        break;
      }
      case PathKind::Movie: {
        // A movie that is not there still gets its row, as in the window;
        // it is named when it is read.
        const int at =
            RowIndexForItem(static_cast<int>(std::min<std::size_t>(i, 0x7FFFFFFF)),
                            static_cast<int>(std::min<std::size_t>(rows.size(), 0x7FFFFFFF)));
        rows.insert(rows.begin() + at, full);
        break;
      }
      case PathKind::Ignored:
        if (attributes == kMissingPath) {
          const std::string why = platform.WhyNotOpened(full);
          report.Problem(arg, why.empty() ? "no such file or folder" : why);
        } else {
          report.Say(arg + ": skipped: neither a folder nor a movie file");
        }
        break;
    }
    report.Found(rows.size());
  }
  return rows;
}

// What a reading says of a file it could read only in part; empty for a
// file read whole.
const char* OutcomeProblem(ProbeOutcome outcome) {
  switch (outcome) {
    case ProbeOutcome::Truncated: return "the file ends before its headers say: it is cut short";
    case ProbeOutcome::Malformed: return "a structure in the file is broken";
    default: return nullptr;
  }
}

// Reads every planned row through the scan pipeline and hands its cells,
// in column order, to row(), in the planned order.
class RowStream {
 public:
  RowStream(const CliOptions& options, const RunSettings& run, CliPlatform& platform,
            Reporter& report)
      : options_(options), run_(run), platform_(platform), report_(report) {}

  void Read(const std::function<void(const std::vector<std::string>&)>& row) {
    const std::vector<std::string> paths = PlanRows(options_, run_, platform_, report_);
    FileSystem& files = platform_.Files();
    const unsigned jobs = options_.jobs > 0
                              ? options_.jobs
                              : ScanThreadCount(run_.scanThreads, platform_.Cores(),
                                                !paths.empty() && files.IsNetwork(paths[0]));
    RowReader reader(files, platform_.Codecs(), run_.table, run_.sizeInfo);
    ScanPipeline pipeline(reader, jobs);
    RowModel one;
    pipeline.Run(
        [&](const ScanPipeline::AddPath& add) {
          for (const std::string& path : paths)
            if (!add(path)) return;
        },
        [&](std::size_t i, const std::string& path, MovieRowTexts& texts) {
          if (!texts.opened) {
            const std::string why = platform_.WhyNotOpened(path);
            if (!why.empty()) report_.Problem(path, why);
          } else if (const char* why = OutcomeProblem(texts.outcome)) {
            report_.Say(path + ": " + why + " (its row holds what could be read)");
          }
          // The cells as the window's list holds them (cut to the cell
          // limit, in column order).
          one.Clear();
          InsertMovieRow(one, run_.table, 0, std::move(texts));
          const std::vector<std::string>& cells = one.Row(0).cells;
          if (countLosses && std::any_of(cells.begin(), cells.end(),
                                         [](const std::string& c) { return !FitsCp932(c); }))
            ++changedRows;
          row(cells);
          report_.Probed(i + 1);
        });
  }

  bool countLosses = false;
  long long changedRows = 0;

 private:
  const CliOptions& options_;
  const RunSettings& run_;
  CliPlatform& platform_;
  Reporter& report_;
};

// Writes the list to the output file or standard output; false when it
// could not be written (said on standard error).
bool WriteRows(const CliOptions& options, const RunSettings& run, RowStream& rows,
               std::FILE* standardOutput, Reporter& report) {
  ListLayout layout;
  layout.format = options.format;
  layout.html = run.html;
  std::function<void(ListWriter&)> fill;
  CompactRows kept;
  if (options.format == ListFormat::Text) {
    // Every row's widths first; the rows wait in their compact form.
    TextColumnWidths widths(run.table);
    rows.Read([&](const std::vector<std::string>& cells) {
      widths.Add(cells);
      kept.Add(cells);
    });
    layout.textWidths = widths.widths();
    fill = [&](ListWriter& writer) {
      kept.ForEach([&](const std::vector<std::string>& cells) { writer.Row(cells); });
    };
  } else {
    // A list file is opened before the rows are read, so that an output
    // that cannot be written stops the run before any folder is listed.
    fill = [&](ListWriter& writer) {
      rows.Read([&](const std::vector<std::string>& cells) { writer.Row(cells); });
    };
  }
  if (options.output.empty()) {
    int writeError = 0;
    if (!WriteListStream(standardOutput, run.table, layout, run.encoding, fill, writeError)) {
      report.Say(std::string("cannot write to standard output: ") + std::strerror(writeError));
      return false;
    }
    return true;
  }
  const SaveResult saved =
      SaveListStream(options.output, run.table, layout, options.append, run.encoding, fill);
  if (!saved.ok) {
    std::string text = saved.error;
    std::replace(text.begin(), text.end(), '\n', ' ');
    report.Say(text);
    return false;
  }
  return true;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliPlatform& platform) {
  CliOptions options;
  std::string error;
  const bool parsed = ParseCliOptions(args, options, error);
  if (parsed && (options.help || options.version)) {
    const std::string text = options.help ? CliUsageText() : CliVersionText() + "\n";
    std::fwrite(text.data(), 1, text.size(), platform.Output());
    std::fflush(platform.Output());
    return kCliOk;
  }
  RunSettings run;
  if (!parsed || !LoadRunSettings(options, run, error)) {
    platform.WriteError(std::string(kName) + ": " + error + "\nTry '" + kName + " --help'.\n");
    return kCliUsage;
  }
  Reporter report(platform, !options.quiet && platform.ErrorIsTerminal());
  RowStream rows(options, run, platform, report);
  // A code page 932 list replaces what it cannot hold; the window asks
  // first, the command line says so afterwards.
  ListEncoding written = run.encoding;
  if (options.append) written = ExistingListEncoding(options.output, written);
  rows.countLosses = written == ListEncoding::Cp932 && options.format != ListFormat::Html;

  const bool ok = WriteRows(options, run, rows, platform.Output(), report);
  report.Done();
  if (!ok) return kCliUsage;
  if (rows.changedRows > 0)
    report.Say(std::to_string(rows.changedRows) +
               (rows.changedRows == 1 ? " row holds" : " rows hold") +
               " characters code page 932 lacks; they were written replaced "
               "(--encoding utf-8 keeps them)");
  return report.problems() > 0 ? kCliPartial : kCliOk;
}

}  // namespace clip
