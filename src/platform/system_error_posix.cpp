#include "system_error.h"

#include <cerrno>
#include <cstring>

int lastSystemError()
{
    return errno;
}

QString commonReason(int code)
{
    switch (code) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクがいっぱいです");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて書き込めません");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込み（または読み取り）が許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ファイルまたはフォルダがありません");
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ほかのプログラムが使用中です");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    default:
        return QString();
    }
}

QString describeSystemError(int code)
{
    const QString system = QString::fromLocal8Bit(std::strerror(code));
    const QString reason = commonReason(code);
    return reason.isEmpty() ? system : QStringLiteral("%1（%2）").arg(reason, system);
}
