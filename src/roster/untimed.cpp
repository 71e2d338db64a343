#include "untimed.h"

#include "platform/system_error.h"
#include "text/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace untimed {

QString fileName()
{
    return QStringLiteral("時計なしの生徒.txt");
}

QSet<int> read(const QString& sharedFolder)
{
    QSet<int> pupils;
    const QString path = sharedFolder + fileName();
    if (!QFileInfo::exists(path))
        return pupils;
    const auto text = textfile::read(path);
    if (!text.text)
        return pupils;
    for (const QString& line : textfile::splitLines(*text.text)) {
        bool ok = false;
        const int pupil = line.trimmed().toInt(&ok);
        if (ok && pupil > 0)
            pupils.insert(pupil);
    }
    return pupils;
}

std::optional<QString> write(const QString& sharedFolder, const QSet<int>& pupils)
{
    const QString path = sharedFolder + fileName();
    const auto failure = [](const QString& why) {
        return QStringLiteral("「%1」を書き込めません。\r\n理由：%2").arg(fileName(), why);
    };
    if (pupils.isEmpty()) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            return failure(describeSystemError(lastSystemError()));
        return std::nullopt;
    }
    QList<int> sorted(pupils.cbegin(), pupils.cend());
    std::sort(sorted.begin(), sorted.end());
    QByteArray bytes;
    for (const int pupil : sorted)
        bytes += QByteArray::number(pupil) + "\r\n";
    if (const auto error = textfile::replace(path, bytes))
        return failure(*error);
    return std::nullopt;
}

} // namespace untimed
