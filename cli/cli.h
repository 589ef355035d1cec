// clipledger-cli, the catalogue from a command line: the options, the run
// that lists, reads and writes the rows, and what it needs of the platform.
// Every rule of the rows and the lists is the window's own (scan, listfile,
// settings); this layer only orders the work and streams the rows out.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/categories.h"
#include "listfile/list_format.h"
#include "scan/scan.h"

namespace clip {

// What the platform lends the run: files, codec names, paths as the window
// makes them, and the two standard streams.
class CliPlatform {
 public:
  virtual ~CliPlatform() = default;
  virtual FileSystem& Files() = 0;
  // Codec names, asked by one thread at a time.
  virtual CodecNames& Codecs() = 0;
  // A command-line path as the window makes it: full, without "." and "..".
  virtual std::string FullPath(const std::string& arg) = 0;
  // The attributes the window's command line goes by; kMissingPath when
  // nothing is there.
  virtual std::uint32_t Attributes(const std::string& path) = 0;
  // A full path as the folder walk takes it, and a walked path as the rows
  // name it (on Linux the walk joins with "\" and rows show "/").
  virtual std::string WalkPath(const std::string& full) = 0;
  virtual std::string RowPath(const std::string& walked) = 0;
  // Why a folder cannot be listed or a file opened now; empty when it can.
  virtual std::string WhyNotListed(const std::string& folder) = 0;
  virtual std::string WhyNotOpened(const std::string& path) = 0;
  virtual unsigned Cores() = 0;
  // Standard error: a terminal (progress is shown), and UTF-8 text to it.
  virtual bool ErrorIsTerminal() = 0;
  virtual void WriteError(const std::string& text) = 0;
  // Standard output, in binary mode.
  virtual std::FILE* Output() = 0;
};

constexpr std::uint32_t kMissingPath = 0xFFFFFFFF;

// Exit statuses: everything read; some files or folders could not be read;
// a wrong command line or an output that cannot be written.
enum CliStatus { kCliOk = 0, kCliPartial = 1, kCliUsage = 2 };

struct CliOptions {
  std::vector<std::string> paths;
  std::string output;  // empty: standard output
  bool formatGiven = false;
  ListFormat format = ListFormat::Csv;
  bool append = false;
  std::string settings;
  // --columns: the categories to show (FileName always is); overrides the
  // settings file's choice.
  bool columnsGiven = false;
  std::array<bool, kCategoryCount> columns{};
  bool encodingGiven = false;
  ListEncoding encoding = ListEncoding::Cp932;
  unsigned jobs = 0;  // 0: as many as the first path's disk suits (see ScanThreadCount)
  bool quiet = false;
  bool help = false, version = false;
};

// Reads the arguments after the program name; false with a message for a
// wrong command line.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);
std::string CliUsageText();
// "clipledger-cli 0.98t": the window's version number.
std::string CliVersionText();

// The whole run over the arguments after the program name; returns the
// exit status.
int RunCli(const std::vector<std::string>& args, CliPlatform& platform);

// The platform of this build and the arguments as UTF-8 texts.
std::unique_ptr<CliPlatform> MakeCliPlatform();
std::vector<std::string> CliArguments(int argc, char** argv);

}  // namespace clip
