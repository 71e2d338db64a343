#include "system_error.h"

#include "native.h"

int lastSystemError()
{
    return native::lastError();
}

QString commonReason(int code)
{
    switch (native::reasonOf(code)) {
    case native::Reason::DiskFull:
        return QStringLiteral("ディスクがいっぱいです");
    case native::Reason::TooLarge:
        return QStringLiteral("ファイルが大きすぎて書きこめません");
    case native::Reason::Denied:
        return QStringLiteral("書きこみ（または読み取り）がゆるされていません");
    case native::Reason::ReadOnly:
        return QStringLiteral("読み取りだけの場所です");
    case native::Reason::Missing:
        return QStringLiteral("ファイルまたはフォルダがありません");
    case native::Reason::Busy:
        return QStringLiteral("ほかのプログラムが使用中です");
    case native::Reason::InputOutput:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case native::Reason::NotAFile:
        return QStringLiteral("ふつうのファイルではありません（フォルダ、名前付きパイプ、そうちなど）");
    case native::Reason::Other:
        break;
    }
    return QString();
}

QString describeSystemError(int code)
{
    const QString system = QString::fromStdString(native::systemText(code));
    const QString reason = commonReason(code);
    return reason.isEmpty() ? system : QStringLiteral("%1（%2）").arg(reason, system);
}
