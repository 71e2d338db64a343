#include "text_file.h"

#include "cp932.h"
#include "platform/system_error.h"

#include <QFile>

namespace textfile {

ReadResult read(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {std::nullopt, QStringLiteral("ファイルがありません")};
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("ファイルを開けません：%1").arg(describeSystemError(lastSystemError()))};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, QStringLiteral("ファイルを読めません：%1").arg(describeSystemError(lastSystemError()))};
    return {cp932::decode(bytes), QString()};
}

} // namespace textfile
