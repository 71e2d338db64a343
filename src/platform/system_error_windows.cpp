#include "system_error.h"

#include <windows.h>

int lastSystemError()
{
    return int(GetLastError());
}

QString commonReason(int code)
{
    switch (DWORD(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("ディスクがいっぱいです");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("書き込み（または読み取り）が許可されていません");
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("読み取り専用の場所です");
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return QStringLiteral("ファイルまたはフォルダがありません");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return QStringLiteral("ほかのプログラムが使用中です");
    default:
        return QString();
    }
}

QString describeSystemError(int code)
{
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   DWORD(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const QString system = buffer ? QString::fromWCharArray(buffer).trimmed() : QString::number(code);
    LocalFree(buffer);
    const QString reason = commonReason(code);
    return reason.isEmpty() ? system : QStringLiteral("%1（%2）").arg(reason, system);
}
