#include "pending_records.h"

#include "platform/system_error.h"
#include "state/shared_state.h"

#include <QFile>
#include <QSaveFile>

namespace pendingrecords {
namespace {

constexpr char kProgramTag = 'P';
constexpr char kSharedTag = 'S';

} // namespace

QString fileName()
{
    return QStringLiteral("記録待ち成績.dat");
}

QString path(const Folders& folders)
{
    return folders.programFolder + fileName();
}

QList<Entry> read(const QString& path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray bytes = file.readAll();
    for (qsizetype at = 0; at < bytes.size();) {
        const char tag = bytes[at];
        if (tag != kProgramTag && tag != kSharedTag)
            break;
        const RecordLayout layout = tag == kProgramTag ? RecordLayout::Program : RecordLayout::Shared;
        const int length = recordLength(layout);
        if (at + 1 + length > bytes.size())
            break;
        entries.append({layout, bytes.mid(at + 1, length)});
        at += 1 + length;
    }
    return entries;
}

std::optional<QString> write(const QString& path, const QList<Entry>& entries)
{
    if (entries.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            return describeSystemError(lastSystemError());
        return std::nullopt;
    }
    QByteArray bytes;
    for (const Entry& e : entries) {
        bytes += e.layout == RecordLayout::Program ? kProgramTag : kSharedTag;
        bytes += e.bytes;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        const int code = lastSystemError();
        file.cancelWriting();
        return describeSystemError(code);
    }
    if (!file.commit())
        return describeSystemError(lastSystemError());
    return std::nullopt;
}

} // namespace pendingrecords
