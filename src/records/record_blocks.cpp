#include "record_blocks.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace recordblocks {

std::optional<QString> read(const QString& path, RecordLayout layout,
                            const std::function<void(qint64, const ResultRecord&)>& each, Summary* summary,
                            qint64 first)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("ファイルがありません");
    if (!info.isFile())
        return QStringLiteral("ふつうのファイルではありません（フォルダ、パイプ、そうちなどは読みません）");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const int length = recordLength(layout);
    QByteArray block(qsizetype(kRecordsPerBlock * length), Qt::Uninitialized);
    qint64 number = 0;
    if (first > 0 && first * length <= file.size()) {
        if (!file.seek(first * length))
            return file.errorString();
        number = first;
    }
    qint64 carried = 0; // bytes of a record begun in the block before
    for (;;) {
        const qint64 got = file.read(block.data() + carried, block.size() - carried);
        if (got < 0)
            return file.errorString();
        const qint64 filled = carried + got;
        qint64 at = 0;
        for (; at + length <= filled; at += length)
            each(number++, ResultRecord::decode(block.constData() + at, layout));
        carried = filled - at;
        if (carried > 0)
            std::memmove(block.data(), block.constData() + at, size_t(carried));
        if (got == 0)
            break;
    }
    if (summary)
        *summary = {number, carried};
    return std::nullopt;
}

} // namespace recordblocks
