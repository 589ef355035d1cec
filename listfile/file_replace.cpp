#include "listfile/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace clip {

std::string ErrnoCauseText(int error) {
  switch (error) {
    case ENOSPC:
#ifdef EFBIG
    case EFBIG:
#endif
      return "ﾃﾞｨｽｸの空き容量が足りません";
    case EACCES:
    case EPERM:
#ifdef EROFS
    case EROFS:
#endif
      return "書き込みが許可されていません (読み取り専用か、使用中です)";
    case ENOENT:
    case ENOTDIR:
      return "ﾌｫﾙﾀﾞが見つかりません";
    case ENAMETOOLONG:
      return "ﾊﾟｽが長すぎます";
    case EISDIR:
      return "同じ名前のﾌｫﾙﾀﾞがあります";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "ｴﾗｰ番号 %d", error);
      return text;
    }
  }
}

#ifndef _WIN32
bool PathExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool IsReadOnlyFile(const std::string& path) {
  return access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0;
}

bool TruncateFileTo(const std::string& path, long long size) {
  return truncate(path.c_str(), static_cast<off_t>(size)) == 0;
}

bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& cause) {
  // rename() would replace a read-only file as long as its folder is
  // writable; a read-only list is kept, as on Windows.
  if (IsReadOnlyFile(to)) {
    cause = ErrnoCauseText(EACCES);
    return false;
  }
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    cause = ErrnoCauseText(errno);
    return false;
  }
  return true;
}
#endif

}  // namespace clip
