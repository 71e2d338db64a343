#include "problem_log.h"

#include "platform/pause.h"
#include "records/oa_date.h"
#include "state/shared_state.h"
#include "teacher/results_csv.h"
#include "text/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace problemlog {

QString fileName()
{
    return QStringLiteral("問題記録.csv");
}

QString path(const Folders& folders)
{
    return folders.programFolder + fileName();
}

QByteArray header()
{
    return QByteArray("\xEF\xBB\xBF") +
           QStringLiteral("日付,時刻,生徒番号,レベル,数,秒,まちがい,最初のまちがい,答えを見た\r\n").toUtf8();
}

QByteArray line(const Entry& e)
{
    return (QStringList{e.date.toString(QStringLiteral("yyyy/MM/dd")), e.time.toString(QStringLiteral("HH:mm:ss")),
                        QString::number(e.pupil), QString::number(e.level), QString::number(e.number),
                        QString::number(e.seconds, 'f', 1), QString::number(e.wrong),
                        resultscsv::textCell(e.firstWrong), e.answerShown ? QStringLiteral("1") : QStringLiteral("0")}
                .join(u',') +
            QStringLiteral("\r\n"))
        .toUtf8();
}

std::optional<QString> append(const QString& path, const QList<Entry>& entries, Pause& pause,
                              const resultsfile::Opener& open)
{
    if (entries.isEmpty())
        return std::nullopt;
    OpenedRecordFile opened = open(path);
    if (!opened.file)
        return opened.errorText;
    RecordFile& file = *opened.file;
    // The same discipline as the results files: the first byte's lock, waited for a while.
    for (int waited = 0; !file.tryLock(0, 1); waited += resultsfile::kLockRetryMs) {
        if (file.failure() != RecordFile::Failure::Sharing || waited >= resultsfile::kLockWaitMs)
            return file.errorText();
        pause.wait(resultsfile::kLockRetryMs);
    }
    const qint64 size = file.size();
    QByteArray bytes;
    if (size == 0) {
        bytes = header();
    } else if (size > 0) {
        // A line cut off by a crash is ended, so that it cannot swallow the first new line.
        char last = 0;
        if (file.readAt(size - 1, &last, 1) && last != '\n')
            bytes = "\r\n";
    }
    for (const Entry& e : entries)
        bytes += line(e);
    const bool written = size >= 0 && file.writeAt(size, bytes);
    const QString error = written ? QString() : file.errorText();
    file.unlock(0, 1);
    if (!written)
        return error;
    if (!file.flush())
        return file.errorText();
    return std::nullopt;
}

namespace {

// One field of a line at `at`, up to the comma after it or the end. A quoted field (RFC 4180,
// "" for a quote) is passed over whole, commas in it included; only the numbers are read.
QByteArrayView field(QByteArrayView line, qsizetype& at)
{
    const qsizetype start = at;
    bool quoted = at < line.size() && line[at] == '"';
    if (quoted)
        ++at;
    while (at < line.size() && (quoted || line[at] != ',')) {
        if (quoted && line[at] == '"') {
            if (at + 1 < line.size() && line[at + 1] == '"')
                ++at; // a quote inside the field
            else
                quoted = false;
        }
        ++at;
    }
    const QByteArrayView f = line.sliced(start, at - start);
    if (at < line.size())
        ++at;
    return f;
}

bool number(QByteArrayView f, int& out)
{
    if (f.isEmpty() || f.size() > 6)
        return false;
    int v = 0;
    for (const char c : f) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

bool seconds(QByteArrayView f, float& out)
{
    int whole = 0;
    const qsizetype dot = f.indexOf('.');
    if (!number(dot < 0 ? f : f.first(dot), whole))
        return false;
    int tenth = 0;
    if (dot >= 0 && !number(f.sliced(dot + 1).first(std::min<qsizetype>(1, f.size() - dot - 1)), tenth))
        return false;
    out = float(whole) + float(tenth) / 10;
    return true;
}

// "2026/12/08" to days since 30 December 1899, without building a date for every line: the
// lines of a day follow each other.
struct LastDay
{
    int key = 0;
    qint32 day = 0;
};
bool day(QByteArrayView f, qint32& out, LastDay& last)
{
    int y = 0;
    int m = 0;
    int d = 0;
    if (f.size() != 10 || f[4] != '/' || f[7] != '/' || !number(f.first(4), y) || !number(f.sliced(5, 2), m) ||
        !number(f.sliced(8, 2), d))
        return false;
    const int key = y * 10000 + m * 100 + d;
    if (key != last.key) {
        const QDate date(y, m, d);
        if (!date.isValid())
            return false;
        last = {key, qint32(oadate::fromDate(date))};
    }
    out = last.day;
    return true;
}

} // namespace

Read parse(const QByteArray& bytes)
{
    Read read;
    read.problems.reserve(bytes.size() / 40);
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    bool first = true;
    LastDay lastDay;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        at = end + 1;
        if (line.isEmpty())
            continue;
        if (first && !line.startsWith("2") && !line.startsWith("1")) { // the header
            first = false;
            continue;
        }
        first = false;
        qsizetype i = 0;
        Problem p;
        int pupil = 0;
        int level = 0;
        int n = 0;
        int wrong = 0;
        int shown = 0;
        const QByteArrayView date = field(line, i);
        field(line, i); // the clock time
        const bool ok = day(date, p.day, lastDay) && number(field(line, i), pupil) && number(field(line, i), level) &&
                        number(field(line, i), n) && seconds(field(line, i), p.seconds) &&
                        number(field(line, i), wrong);
        field(line, i); // the first wrong entry
        if (!ok || !number(field(line, i), shown) || pupil > 32767 || level > 32767 || n > 32767) {
            ++read.damaged;
            continue;
        }
        p.pupil = qint16(pupil);
        p.level = qint16(level);
        p.number = qint16(n);
        p.mistake = wrong > 0 || shown != 0;
        read.problems.append(p);
    }
    return read;
}

std::optional<Read> read(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Read{};
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("ふつうのファイルではありません");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return parse(file.readAll());
}

} // namespace problemlog
