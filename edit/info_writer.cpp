// The INFO writer over plain file I/O.
#include <cerrno>
#include <cstdio>

#include "base/cp932.h"
#include "base/file_access.h"
#include "base/text.h"
#include "edit/info_list.h"
#include "edit/info_writer.h"

namespace clip {

namespace {

// The open file as the byte reader reads movie files.
class StdioFile : public MovieFile {
 public:
  explicit StdioFile(std::FILE* f) : f_(f) {}
  std::uint64_t Size() override { return OpenFileSize(f_); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (!SeekTo(f_, offset)) return 0;
    return std::fread(buffer, 1, n, f_);
  }

 private:
  std::FILE* f_;
};

InfoFault Write(std::FILE* f, const InfoRequest& request) {
  StdioFile source(f);
  InfoPlan plan = PlanInfoWrite(source);
  if (plan.fault != InfoFault::None) return plan.fault;
  const std::string list = RenderInfoList(ResolveInfoTexts(request, plan.oldTexts));
  // A read and a write on one stream need a positioning call between them.
  if (!SeekTo(f, plan.offset)) return InfoFault::WriteFailed;
  if (std::fwrite(list.data(), 1, list.size(), f) != list.size()) return InfoFault::WriteFailed;
  if (std::fflush(f) != 0) return InfoFault::WriteFailed;
  const std::uint64_t newEnd = plan.offset + list.size();
  if (plan.replace && plan.oldEnd > newEnd && !CutFile(f, newEnd)) return InfoFault::CutFailed;
  return InfoFault::None;
}

}  // namespace

InfoFault WriteInfoToFile(const std::string& path, const InfoRequest& request) {
  errno = 0;
  std::FILE* probe = OpenFile(path, "rb");
  if (!probe) return errno == ENOENT ? InfoFault::Missing : InfoFault::CannotOpen;
  std::fclose(probe);
  if (IsReadOnlyFile(path)) return InfoFault::ReadOnly;
  std::FILE* f = OpenFile(path, "r+b");
  if (!f) return InfoFault::CannotOpen;
  InfoFault fault = Write(f, request);
  if (std::fclose(f) != 0 && fault == InfoFault::None) fault = InfoFault::WriteFailed;
  return fault;
}

std::vector<InfoWriteProblem> WriteCheckedInfo(const RowModel& rows, const CategoryTable& table) {
  return WriteCheckedInfo(rows, table, '\\');
}

std::vector<InfoWriteProblem> WriteCheckedInfo(const RowModel& rows, const CategoryTable& table,
                                               char separator) {
  std::vector<InfoWriteProblem> problems;
  // Without the folder category there is no path, and no check boxes.
  if (!table.IsOn(DirPath)) return problems;
  // The list is written in code page 932, as other programs read it; a text
  // it cannot hold is not written as question marks.
  bool fits = true;
  auto text = [&](int row, int category) -> std::optional<std::string> {
    if (!table.IsOn(category)) return std::nullopt;
    const std::string& cell = rows.Cell(row, table.position[category]);
    std::size_t changed = 0;
    // An INFO value holds at most kInfoTextMax bytes (a cell loaded from a
    // list may hold more): cut on a character boundary, as typing it would.
    std::string bytes = Utf8ToCp932(CutCp932(cell, kInfoTextMax), &changed);
    if (changed != 0) fits = false;
    return bytes;
  };
  for (int i = 0; i < rows.Count(); ++i) {
    if (!rows.Checked(i)) continue;
    const std::string folder = rows.Cell(i, table.position[DirPath]);
    const std::string path = folder + separator + rows.Cell(i, 0);
    // Only AVI files are written; other movies are left alone without a word.
    const char last = path.empty() ? '\0' : path.back();
    if (last != 'i' && last != 'I') continue;
    if (!IsFullFolderPath(folder, separator)) {
      problems.push_back({path, InfoFaultText(InfoFault::NoFullPath), InfoFault::NoFullPath});
      continue;
    }
    // A name that holds a separator or a stream name would make the path
    // point at another file than the row's.
    if (!IsPlainFileName(rows.Cell(i, 0), separator)) {
      problems.push_back({path, InfoFaultText(InfoFault::NotFileName), InfoFault::NotFileName});
      continue;
    }
    InfoRequest request;
    fits = true;
    request.title = text(i, MovieTitle);
    request.creator = text(i, Creater);
    request.comment = text(i, Comment);
    if (!fits) {
      problems.push_back({path, InfoFaultText(InfoFault::NotCp932), InfoFault::NotCp932});
      continue;
    }
    const InfoFault fault = WriteInfoToFile(path, request);
    if (fault != InfoFault::None) problems.push_back({path, InfoFaultText(fault), fault});
  }
  return problems;
}

}  // namespace clip
