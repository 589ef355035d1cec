// The file operations every platform shares.
#include "base/file_access.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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
    case ENOTDIR: return "ﾌｫﾙﾀﾞが見つかりません";
    case ENAMETOOLONG: return "ﾊﾟｽが長すぎます";
    case EISDIR: return "同じ名前のﾌｫﾙﾀﾞがあります";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "ｴﾗｰ番号 %d", error);
      return text;
    }
  }
}

std::uint64_t OpenFileSize(std::FILE* f) {
  const long long end = FileEndOffset(f);
  return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

}  // namespace clip
