#include "pending_records.h"

#include "state/shared_state.h"

#include <QFileInfo>
#include <QSet>
#include <cmath>
#include <cstring>

namespace pendingrecords {
namespace {

constexpr char kProgramTag = 'P';
constexpr char kSharedTag = 'S';

// Whether the bytes are a record as this program writes them: a real date and clock time, a
// pupil and a level, a time, and the fixed fields as the program fills them.
bool plausible(const char* bytes, RecordLayout layout)
{
    constexpr double kLastDay = 2958465; // 9999-12-31
    const ResultRecord r = ResultRecord::decode(bytes, layout);
    if (!(r.date >= 1 && r.date <= kLastDay && r.date == std::floor(r.date)) ||
        !(r.clockTime >= 0 && r.clockTime < 1) || r.pupil < 1 || r.course < 1 || r.course > 35 || r.time < 0)
        return false;
    if (layout == RecordLayout::Program)
        return r.note == FixedText<5>() && r.reserved == FixedText<5>('\0');
    return r.program.bytes().trimmed().endsWith('\\') && r.sharedReserved == FixedText<15>('\0');
}

} // namespace

QString fileName()
{
    return QStringLiteral("記録待ち成績.dat");
}

QString path(const Folders& folders)
{
    return folders.programFolder + fileName();
}

Contents parse(const QByteArray& bytes)
{
    Contents contents;
    for (qsizetype at = 0; at < bytes.size();) {
        const char tag = bytes[at];
        if (tag == kProgramTag || tag == kSharedTag) {
            const RecordLayout layout = tag == kProgramTag ? RecordLayout::Program : RecordLayout::Shared;
            const int length = recordLength(layout);
            if (at + 1 + length <= bytes.size() && plausible(bytes.constData() + at + 1, layout)) {
                contents.entries.append({layout, bytes.mid(at + 1, length)});
                at += 1 + length;
                continue;
            }
        }
        ++contents.unreadableBytes;
        ++at;
    }
    return contents;
}

QByteArray encode(const QList<Entry>& entries)
{
    QByteArray bytes;
    for (const Entry& e : entries) {
        bytes += e.layout == RecordLayout::Program ? kProgramTag : kSharedTag;
        bytes += e.bytes;
    }
    return bytes;
}

int attemptCount(const QList<Entry>& entries)
{
    // The two records of an attempt share its date, clock time, pupil, level and time.
    QSet<QByteArray> attempts;
    for (const Entry& e : entries) {
        const ResultRecord r = ResultRecord::decode(e.bytes.constData(), e.layout);
        QByteArray key(24, Qt::Uninitialized);
        std::memcpy(key.data(), &r.date, 8);
        std::memcpy(key.data() + 8, &r.clockTime, 8);
        std::memcpy(key.data() + 16, &r.pupil, 2);
        std::memcpy(key.data() + 18, &r.course, 2);
        std::memcpy(key.data() + 20, &r.time, 4);
        attempts.insert(key);
    }
    return int(attempts.size());
}

std::optional<QString> refusal(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return QStringLiteral("シンボリックリンクです。リンク先に書きこまないよう、使いません");
    if (!info.exists() || info.isFile())
        return std::nullopt;
    if (info.isDir())
        return QStringLiteral("フォルダです");
    return QStringLiteral("ふつうのファイルではありません（名前付きパイプやそうちなど）");
}

} // namespace pendingrecords
