// The command line of clipledger-cli: options anywhere among the paths,
// "--name value" or "--name=value", "-o FILE" or "-oFILE", "--" before
// paths that start with "-".
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "base/version.h"
#include "cli/cli.h"
#include "listfile/listfile.h"

namespace clip {

namespace {

constexpr const char* kUsage =
    "usage: clipledger-cli [options] PATH...\n"
    "Writes the catalogue of the movie files in the folders and files given, as\n"
    "the window's saves write it.\n"
    "\n"
    "  -o, --output FILE      write the catalogue to FILE; .csv, .txt, .htm/.html\n"
    "                         choose the format (default: CSV on standard output)\n"
    "  --format csv|txt|html  choose the format explicitly\n"
    "  --append               add to a text list as the window's text-list save does\n"
    "  --settings FILE        read the categories, HTML options and modern-format\n"
    "                         switch from this settings file (default: none, the\n"
    "                         seventeen classic categories on)\n"
    "  --columns KEY,...|all  show these categories (the keys below) and no others,\n"
    "                         the file name always; all: every category\n"
    "  --encoding cp932|utf-8\n"
    "                         list file encoding (default cp932, as the window)\n"
    "  -j, --jobs N           probe N files at a time (default: one per core, four per core\n"
    "                         on a network file system)\n"
    "  --quiet                no progress\n"
    "  -h, --help, --version\n"
    "\n"
    "Exit status: 0 everything was read, 1 some files or folders could not be\n"
    "read (each is named on standard error), 2 a wrong command line or an output\n"
    "that cannot be written (an existing file is then left as it was).\n";

// The most files read at once: more threads than this only wait on the disk.
constexpr unsigned kMaxJobs = 256;
static_assert(kMaxJobs == 256, "the --jobs option's message names the limit");

bool ParseFormat(std::string_view text, ListFormat& format) {
  if (text == "csv")
    format = ListFormat::Csv;
  else if (text == "txt")
    format = ListFormat::Text;
  else if (text == "html" || text == "htm")
    format = ListFormat::Html;
  else
    return false;
  return true;
}

bool ParseEncoding(std::string_view text, ListEncoding& encoding) {
  if (text == "cp932")
    encoding = ListEncoding::Cp932;
  else if (text == "utf-8" || text == "utf8")
    encoding = ListEncoding::Utf8;
  else
    return false;
  return true;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// "--columns KEY,...": settings-file keys, compared without regard to case.
std::string ParseColumns(const std::string& text, CliOptions& o) {
  o.columns.fill(false);
  o.columns[FileName] = true;
  o.columnsGiven = true;
  if (EqualsIgnoringAsciiCase(text, "all")) {
    o.columns.fill(true);
    return {};
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string key = text.substr(start, comma == std::string::npos ? comma : comma - start);
    int found = -1;
    for (int k = 0; k < kCategoryCount; ++k)
      if (EqualsIgnoringAsciiCase(key, kCategories[static_cast<std::size_t>(k)].key)) found = k;
    if (found < 0) return "unknown category '" + key + "' (see --help for the keys)";
    o.columns[static_cast<std::size_t>(found)] = true;
    if (comma == std::string::npos) return {};
    start = comma + 1;
  }
}

bool ParseJobs(const std::string& text, unsigned& jobs) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const unsigned long n = std::strtoul(text.c_str(), nullptr, 10);
  if (n < 1 || n > kMaxJobs) return false;
  jobs = static_cast<unsigned>(n);
  return true;
}

// The options: their short and long names, whether a value follows, what
// a wrong value is told (after "option NAME"), and how each one is taken.
// apply returns "" when taken, "-" for the option's own complaint, or a
// message of its own.
struct CliOption {
  const char* shortName;  // "" when none
  const char* longName;
  bool takesValue;
  const char* wants;
  std::string (*apply)(CliOptions& o, const std::string& value);
};

const CliOption kOptions[] = {
    {"-o", "--output", true, "needs a file name",
     [](CliOptions& o, const std::string& v) -> std::string {
       if (v.empty()) return "-";
       o.output = v;
       return {};
     }},
    {"", "--format", true, "",
     [](CliOptions& o, const std::string& v) -> std::string {
       if (!ParseFormat(v, o.format)) return "unknown format '" + v + "' (csv, txt or html)";
       o.formatGiven = true;
       return {};
     }},
    {"", "--append", false, "",
     [](CliOptions& o, const std::string&) -> std::string {
       o.append = true;
       return {};
     }},
    {"", "--settings", true, "",
     [](CliOptions& o, const std::string& v) -> std::string {
       o.settings = v;
       return {};
     }},
    {"", "--columns", true, "",
     [](CliOptions& o, const std::string& v) -> std::string { return ParseColumns(v, o); }},
    {"", "--encoding", true, "",
     [](CliOptions& o, const std::string& v) -> std::string {
       if (!ParseEncoding(v, o.encoding)) return "unknown encoding '" + v + "' (cp932 or utf-8)";
       o.encodingGiven = true;
       return {};
     }},
    {"-j", "--jobs", true, "needs a number from 1 to 256",
     [](CliOptions& o, const std::string& v) -> std::string {
       return ParseJobs(v, o.jobs) ? std::string() : "-";
     }},
    {"", "--quiet", false, "",
     [](CliOptions& o, const std::string&) -> std::string {
       o.quiet = true;
       return {};
     }},
    {"-h", "--help", false, "",
     [](CliOptions& o, const std::string&) -> std::string {
       o.help = true;
       return {};
     }},
    {"", "--version", false, "",
     [](CliOptions& o, const std::string&) -> std::string {
       o.version = true;
       return {};
     }},
};

const CliOption* FindOption(const std::string& name) {
  for (const CliOption& option : kOptions)
    if (name == option.longName || (option.shortName[0] && name == option.shortName))
      return &option;
  return nullptr;
}

}  // namespace

std::string CliUsageText() {
  std::string text = kUsage;
  text += "\nCategory keys, in column order (the last six are off unless --columns or the\n"
          "settings file turns them on):\n ";
  std::size_t line = 1;
  for (const CategoryInfo& info : kCategories) {
    const std::size_t width = std::string_view(info.key).size() + 1;
    if (line + width > 79) {
      text += "\n ";
      line = 1;
    }
    text += std::string(" ") + info.key;
    line += width;
  }
  return text + "\n";
}

std::string CliVersionText() {
  // The number as the window's version box shows it.
  const std::string text = VersionText("");
  const std::size_t at = text.find("Version ");
  const std::size_t start = at == std::string::npos ? 0 : at + 8;
  const std::size_t end = text.find('\n', start);
  return "clipledger-cli " + text.substr(start, end == std::string::npos ? end : end - start);
}

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& o, std::string& error) {
  bool onlyPaths = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyPaths || arg.size() < 2 || arg[0] != '-') {
      o.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyPaths = true;
      continue;
    }
    // The option's name and, when it is joined to it, its value.
    std::string name = arg, value;
    bool joined = false;
    if (arg.compare(0, 2, "--") == 0) {
      const std::size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        joined = true;
      }
    } else if (arg.size() > 2) {
      name = arg.substr(0, 2);
      value = arg.substr(2);
      joined = true;
    }
    auto takeValue = [&]() {
      if (joined) return true;
      if (i + 1 >= args.size()) {
        error = "option " + name + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    auto noValue = [&]() {
      if (joined) error = "option " + name + " takes no value";
      return !joined;
    };
    const CliOption* option = FindOption(name);
    if (!option) {
      error = "unknown option '" + arg + "'";
      return false;
    }
    if (option->takesValue ? !takeValue() : !noValue()) return false;
    const std::string problem = option->apply(o, value);
    if (!problem.empty()) {
      error = problem == "-" ? "option " + name + " " + option->wants : problem;
      return false;
    }
  }
  if (o.help || o.version) return true;
  if (o.paths.empty()) {
    error = "no folder or movie file given";
    return false;
  }
  if (!o.formatGiven && !o.output.empty()) {
    // The window's save chooses by the name's last three letters; ".html"
    // is taken too.
    const std::optional<ListFormat> format = ListFormatOf(o.output);
    if (!format && !EndsWithNoCase(o.output, ".html")) {
      error = "cannot tell the list format of '" + o.output + "': use --format";
      return false;
    }
    o.format = format.value_or(ListFormat::Html);
  }
  if (o.append && (o.output.empty() || o.format != ListFormat::Text)) {
    error = "--append adds to a text list file: give -o FILE.txt";
    return false;
  }
  return true;
}

}  // namespace clip
