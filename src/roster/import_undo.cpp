#include "import_undo.h"

#include "readings.h"
#include "roster_document.h"
#include "roster_file.h"
#include "text/cp932.h"
#include "text/text_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace importundo {
namespace {

QString rosterBefore()
{
    return QStringLiteral("生徒用名簿_取り込み前.txt");
}
QString readingsBefore()
{
    return QStringLiteral("生徒用名簿よみ_取り込み前.txt");
}
QString record()
{
    return QStringLiteral("名簿の取り込み.txt");
}

QString fingerprint(const std::optional<QByteArray>& bytes)
{
    return bytes ? QString::fromLatin1(QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex())
                 : QStringLiteral("なし");
}

struct Record
{
    QDateTime when;
    QString roster; // fingerprints of what the import wrote
    QString readings;
    bool readingsBefore = false;
};

std::optional<Record> readRecord(const QString& folder)
{
    const textfile::ReadResult read = textfile::read(folder + record());
    if (!read.text)
        return std::nullopt;
    const QStringList lines = textfile::splitLines(*read.text);
    if (lines.size() < 4)
        return std::nullopt;
    Record r{QDateTime::fromString(lines[0], Qt::ISODate), lines[1], lines[2], lines[3] == QStringLiteral("あり")};
    if (!r.when.isValid())
        return std::nullopt;
    return r;
}

} // namespace

std::optional<Snapshot> take(const QString& folder, QString* error)
{
    const textfile::ReadBytes roster = textfile::readBytes(folder + roster::fileName());
    if (!roster.bytes) {
        if (error)
            *error = roster.error;
        return std::nullopt;
    }
    Snapshot s{*roster.bytes, std::nullopt};
    if (QFileInfo::exists(folder + readings::fileName())) {
        const textfile::ReadBytes r = textfile::readBytes(folder + readings::fileName());
        if (!r.bytes) {
            if (error)
                *error = r.error;
            return std::nullopt;
        }
        s.readings = *r.bytes;
    }
    return s;
}

std::optional<QString> remember(const QString& folder, const Snapshot& before, const Snapshot& after,
                                const QDateTime& when)
{
    const auto failure = [](const QString& file, const QString& why) {
        return QStringLiteral("取り込みを元に戻すための控え「%1」を書き込めません（%2）。名簿は取り込んだとおりです。")
            .arg(file, why);
    };
    // The record goes first and last: a cut-off keeping never offers a half undo.
    QFile::remove(folder + record());
    if (const auto error = textfile::replace(folder + rosterBefore(), before.roster))
        return failure(rosterBefore(), *error);
    if (before.readings) {
        if (const auto error = textfile::replace(folder + readingsBefore(), *before.readings))
            return failure(readingsBefore(), *error);
    } else {
        QFile::remove(folder + readingsBefore());
    }
    const QString text = QStringList{when.toString(Qt::ISODate), fingerprint(after.roster), fingerprint(after.readings),
                                     before.readings ? QStringLiteral("あり") : QStringLiteral("なし")}
                             .join(QStringLiteral("\r\n")) +
                         QStringLiteral("\r\n");
    if (const auto error = textfile::replace(folder + record(), cp932::encode(text).bytes))
        return failure(record(), *error);
    return std::nullopt;
}

State state(const QString& folder)
{
    const auto r = readRecord(folder);
    if (!r || !QFileInfo::exists(folder + rosterBefore()))
        return {false, QStringLiteral("元に戻せる取り込みはありません。"), {}};
    const auto now = take(folder);
    if (!now)
        return {false, QStringLiteral("名簿を読めません。"), r->when};
    if (fingerprint(now->roster) != r->roster || fingerprint(now->readings) != r->readings)
        return {false,
                QStringLiteral("%1 の取り込みのあとで名簿かよみが変わっています（保存しなおした、ほかのプログラムが"
                               "変えた）。元に戻すと、そのあとの変更も消えるため、元に戻しません。"
                               "前の名簿は「%2」に残っています。")
                    .arg(r->when.toString(QStringLiteral("M月d日 H:mm")), rosterBefore()),
                r->when};
    return {true,
            QStringLiteral("%1 に取り込む前の名簿に戻します。").arg(r->when.toString(QStringLiteral("M月d日 H:mm"))),
            r->when};
}

std::optional<QString> undo(const QString& folder)
{
    const State s = state(folder);
    if (!s.available)
        return s.why;
    const auto r = readRecord(folder);
    const textfile::ReadBytes roster = textfile::readBytes(folder + rosterBefore());
    const textfile::ReadBytes before = textfile::readBytes(folder + readingsBefore());
    if (!roster.bytes || (r->readingsBefore && !before.bytes))
        return QStringLiteral("取り込む前の控えを読めません（%1）。").arg(roster.bytes ? before.error : roster.error);
    // Readings first: a refused roster write then leaves the roster as the import wrote it and
    // the readings of before, which still belong to every pupil number the roster had.
    const QString readingsPath = folder + readings::fileName();
    const auto nowReadings = take(folder);
    if (r->readingsBefore) {
        if (const auto error = textfile::replace(readingsPath, *before.bytes))
            return QStringLiteral("よみのファイルを書き込めません（%1）。元に戻していません。").arg(*error);
    }
    if (const auto error = textfile::replace(folder + roster::fileName(), *roster.bytes)) {
        if (r->readingsBefore && nowReadings && nowReadings->readings) // as the import left them
            textfile::replace(readingsPath, *nowReadings->readings);
        return QStringLiteral("名簿を書き込めません（%1）。元に戻していません。").arg(*error);
    }
    if (!r->readingsBefore)
        QFile::remove(readingsPath);
    for (const QString& file : {record(), rosterBefore(), readingsBefore()})
        QFile::remove(folder + file);
    return std::nullopt;
}

} // namespace importundo
