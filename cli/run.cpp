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

#include "catalogue/cp932.h"
#include "catalogue/file_io.h"
#include "catalogue/row_model.h"
#include "catalogue/text.h"
#include "cli/cli.h"
#include "listfile/html_options.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace clip {

namespace {

constexpr const char* kName = "clipledger-cli";
// Rows read ahead of the one written next, per job: enough to keep every
// thread busy while one slow file holds the line.
constexpr std::size_t kAheadPerJob = 16;

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

// Reads the rows' texts on several threads and hands them on in row order.
// With one job no thread is started.
class OrderedReader {
 public:
  using Read = std::function<MovieRowTexts(const std::string& path)>;
  using Emit = std::function<void(std::size_t index, MovieRowTexts& texts)>;

  OrderedReader(const std::vector<std::string>& paths, unsigned jobs, Read read)
      : paths_(paths), jobs_(jobs), read_(std::move(read)) {}

  void Run(const Emit& emit) {
    const std::size_t n = paths_.size();
    if (jobs_ <= 1 || n <= 1) {
      for (std::size_t i = 0; i < n; ++i) {
        MovieRowTexts texts = read_(paths_[i]);
        emit(i, texts);
      }
      return;
    }
    ring_.assign(std::max<std::size_t>(jobs_ * kAheadPerJob, 2), std::nullopt);
    std::vector<std::thread> workers;
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(jobs_, n));
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([this] { Work(); });
    try {
      for (std::size_t i = 0; i < n; ++i) {
        MovieRowTexts texts;
        {
          std::unique_lock<std::mutex> lock(mutex_);
          std::optional<MovieRowTexts>& slot = ring_[i % ring_.size()];
          ready_.wait(lock, [&] { return slot.has_value(); });
          texts = std::move(*slot);
          slot.reset();
          consumed_ = i + 1;
        }
        room_.notify_all();
        emit(i, texts);
      }
    } catch (...) {
      Stop(workers);
      throw;
    }
    Stop(workers);
  }

 private:
  void Work() {
    for (;;) {
      std::size_t i;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        // A row is read only when its slot is free: at most the ring's size
        // ahead of the row written next.
        room_.wait(lock, [&] {
          return stop_ || next_ >= paths_.size() || next_ < consumed_ + ring_.size();
        });
        if (stop_ || next_ >= paths_.size()) return;
        i = next_++;
      }
      MovieRowTexts texts = read_(paths_[i]);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ring_[i % ring_.size()] = std::move(texts);
      }
      ready_.notify_one();
    }
  }
  void Stop(std::vector<std::thread>& workers) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    room_.notify_all();
    for (std::thread& w : workers) w.join();
  }

  const std::vector<std::string>& paths_;
  unsigned jobs_;
  Read read_;
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::vector<std::optional<MovieRowTexts>> ring_;
  std::size_t next_ = 0, consumed_ = 0;
  bool stop_ = false;
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
  run.table = CategoryTable::FromValues(settings.categoryValues);
  run.sizeInfo = settings.sizeInfo;
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

}  // namespace

int RunCli(const std::vector<std::string>& args, CliPlatform& platform) {
  CliOptions options;
  std::string error;
  const bool parsed = ParseCliOptions(args, options, error);
  if (parsed && options.help) {
    const std::string usage = CliUsageText();
    std::fwrite(usage.data(), 1, usage.size(), platform.Output());
    std::fflush(platform.Output());
    return kCliOk;
  }
  if (parsed && options.version) {
    const std::string version = CliVersionText() + "\n";
    std::fwrite(version.data(), 1, version.size(), platform.Output());
    std::fflush(platform.Output());
    return kCliOk;
  }
  RunSettings run;
  if (!parsed || !LoadRunSettings(options, run, error)) {
    platform.WriteError(std::string(kName) + ": " + error + "\nTry '" + kName + " --help'.\n");
    return kCliUsage;
  }
  const unsigned jobs = options.jobs > 0 ? options.jobs : std::max(1u, platform.Cores());

  Reporter report(platform, !options.quiet && platform.ErrorIsTerminal());

  // A code page 932 list replaces what it cannot hold; the window asks
  // first, the command line says so afterwards.
  ListEncoding written = run.encoding;
  if (options.append) written = ExistingListEncoding(options.output, written);
  const bool countLosses = written == ListEncoding::Cp932 && options.format != ListFormat::Html;
  long long changedRows = 0;

  std::string lastFolder, lastLabel;
  bool labelKnown = false;
  FileSystem& files = platform.Files();
  CodecNames& codecs = platform.Codecs();
  // Lists and reads every row and hands its cells, in column order, to
  // row(). A list file is opened before this runs, so that an output that
  // cannot be written stops the run before any folder is listed.
  auto readRows = [&](const std::function<void(const std::vector<std::string>&)>& row) {
    const std::vector<std::string> paths = PlanRows(options, run, platform, report);
    OrderedReader reader(paths, jobs, [&](const std::string& path) {
      return ReadMovieRow(files, codecs, run.table, run.sizeInfo, path);
    });
    RowModel one;
    reader.Run([&](std::size_t i, MovieRowTexts& texts) {
      const std::string& path = paths[i];
      if (!texts.opened) {
        const std::string why = platform.WhyNotOpened(path);
        if (!why.empty()) report.Problem(path, why);
      }
      if (run.table.IsOn(VolLabel)) {
        // Consecutive rows mostly share a folder: the volume is asked for
        // once per folder run, and the platform asks once per volume.
        const std::string folder =
            texts.cells[DirPath].empty() ? PathDirectory(path) : texts.cells[DirPath];
        if (!labelKnown || folder != lastFolder) {
          lastLabel = platform.VolumeLabelOf(folder);
          lastFolder = folder;
          labelKnown = true;
        }
        texts.cells[VolLabel] = lastLabel;
      }
      // The cells as the window's list holds them (cut to the cell limit,
      // in column order).
      one.Clear();
      InsertMovieRow(one, run.table, 0, std::move(texts));
      const std::vector<std::string>& cells = one.Row(0).cells;
      if (countLosses && std::any_of(cells.begin(), cells.end(),
                                     [](const std::string& c) { return !FitsCp932(c); }))
        ++changedRows;
      row(cells);
      report.Probed(i + 1);
    });
  };

  ListLayout layout;
  layout.format = options.format;
  layout.html = run.html;
  std::function<void(ListWriter&)> fill;
  CompactRows kept;
  if (options.format == ListFormat::Text) {
    // Every row's widths first; the rows wait in their compact form.
    TextColumnWidths widths(run.table);
    readRows([&](const std::vector<std::string>& cells) {
      widths.Add(cells);
      kept.Add(cells);
    });
    layout.textWidths = widths.widths();
    fill = [&](ListWriter& writer) {
      kept.ForEach([&](const std::vector<std::string>& cells) { writer.Row(cells); });
    };
  } else {
    fill = [&](ListWriter& writer) {
      readRows([&](const std::vector<std::string>& cells) { writer.Row(cells); });
    };
  }

  int status = kCliOk;
  if (options.output.empty()) {
    int writeError = 0;
    if (!WriteListStream(platform.Output(), run.table, layout, run.encoding, fill, writeError)) {
      report.Say(std::string("cannot write to standard output: ") + std::strerror(writeError));
      status = kCliUsage;
    }
  } else {
    const SaveResult saved =
        SaveListStream(options.output, run.table, layout, options.append, run.encoding, fill);
    if (!saved.ok) {
      std::string text = saved.error;
      std::replace(text.begin(), text.end(), '\n', ' ');
      report.Say(text);
      status = kCliUsage;
    }
  }
  report.Done();
  if (status == kCliOk && changedRows > 0)
    report.Say(std::to_string(changedRows) + (changedRows == 1 ? " row holds" : " rows hold") +
               " characters code page 932 lacks; they were written replaced "
               "(--encoding utf-8 keeps them)");
  if (status == kCliOk && report.problems() > 0) status = kCliPartial;
  return status;
}

}  // namespace clip
