#include "ui/posix/error_text.h"

#include <cerrno>
#include <cstring>

namespace ui::files {

std::string ErrorText(int error) {
  switch (error) {
    case EACCES:
    case EPERM: return "アクセスが拒否されました。";
    case EROFS: return "読み取り専用のファイル システムには書き込めません。";
    case ENOSPC:
    case EDQUOT: return "ディスクに十分な空き領域がありません。";
    case ENOENT:
    case ENOTDIR: return "指定されたパスが見つかりません。";
    case EISDIR: return "同じ名前のフォルダーがあります。";
    case ENAMETOOLONG: return "ファイル名が長すぎます。";
    case EIO: return "入出力エラーが発生しました。";
    default: return "エラー " + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

}  // namespace ui::files
