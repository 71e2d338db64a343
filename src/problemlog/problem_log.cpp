#include "problem_log.h"
#include "text/csv_cell.h"

#include "platform/pause.h"
#include "records/oa_date.h"
#include "state/shared_state.h"
#include "text/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>

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
           QStringLiteral("日付,時刻,生徒番号,レベル,数,秒,まちがい,最初のまちがい,答えを見た,練習\r\n").toUtf8();
}

QByteArray line(const Entry& e)
{
    QStringList fields{e.date.toString(QStringLiteral("yyyy/MM/dd")),
                       e.time.toString(QStringLiteral("HH:mm:ss")),
                       QString::number(e.pupil),
                       QString::number(e.level),
                       QString::number(e.number),
                       QString::number(e.seconds, 'f', 1),
                       QString::number(e.wrong),
                       csvcell::text(e.firstWrong),
                       e.answerShown ? QStringLiteral("1") : QStringLiteral("0")};
    // A recorded attempt's line keeps its nine fields, as logs written before practices had.
    if (!e.practice.isEmpty())
        fields << csvcell::text(e.practice);
    return (fields.join(u',') + QStringLiteral("\r\n")).toUtf8();
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
    // A write that fails part-way (a full disk, a share gone) is taken back, so the log keeps
    // exactly the lines it had and no cut line waits for the next append.
    bool written = size >= 0 && file.writeAt(size, bytes);
    written = written && file.flush();
    const QString error = written ? QString() : file.errorText();
    if (!written && size >= 0)
        file.truncate(size);
    file.unlock(0, 1);
    if (!written)
        return error;
    return std::nullopt;
}

namespace {

// One field of a line at `at`, up to the comma after it or the end. A quoted field (RFC 4180,
// "" for a quote) is passed over whole, commas in it included; only the numbers are read.
QByteArrayView field(QByteArrayView line, qsizetype& at)
{
    const qsizetype start = at;
    bool quoted = at < line.size() && line[at] == '"';
    if (!quoted) {                                  // the usual field, a number
        while (at < line.size() && line[at] != ',') // a few characters: no call for each
            ++at;
        const QByteArrayView f = line.sliced(start, at - start);
        if (at < line.size())
            ++at;
        return f;
    }
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

// Lines in, what the views need out. Lines end at CR LF, LF or a lone CR; blank lines are
// passed over. The problems are thinned out to the last appearances of each number whenever
// they grow past twice what the last thinning kept, so that memory follows the class, not the
// length of the log.
class Reader
{
public:
    explicit Reader(qsizetype thinAt = 1 << 20) : m_thinAt(thinAt), m_firstThin(thinAt) {}
    // Only one pupil's ふくしゅう: every other pupil's line is passed over after its third field,
    // and nothing but the review is kept.
    void onlyReviewOf(int pupil) { m_reviewOnly = pupil; }
    void line(QByteArrayView line);
    // Every line of the bytes; the last one only when it ends or `whole` says the text does.
    // Returns how many bytes were taken.
    qsizetype lines(QByteArrayView bytes, bool whole);
    Read take()
    {
        flushLogged();
        if (m_read.problems.size() >= m_firstThin)
            thin();
        return std::move(m_read);
    }

private:
    void thin();
    // A pupil's attempt logs its problems together: they are counted once the pupil or level
    // changes, not one by one.
    void flushLogged()
    {
        if (m_pending > 0)
            m_read.logged[m_pendingKey] += m_pending;
        m_pending = 0;
    }
    Read m_read;
    qint64 m_pendingKey = -1;
    int m_pending = 0;
    bool m_first = true;
    LastDay m_lastDay;
    qsizetype m_thinAt;
    qsizetype m_firstThin;
    int m_reviewOnly = 0;
};

void Reader::line(QByteArrayView line)
{
    if (line.isEmpty())
        return;
    if (m_first) {
        m_first = false;
        if (line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        if (!line.startsWith("2") && !line.startsWith("1")) // the header
            return;
    }
    qsizetype i = 0;
    Problem p;
    int pupil = 0;
    int level = 0;
    int n = 0;
    int wrong = 0;
    int shown = 0;
    const QByteArrayView date = field(line, i);
    field(line, i); // the clock time
    const bool ownLine = number(field(line, i), pupil);
    if (m_reviewOnly != 0 && ownLine && pupil != m_reviewOnly)
        return; // another pupil's line, whole or not
    const bool ok = ownLine && day(date, p.day, m_lastDay) && number(field(line, i), level) &&
                    number(field(line, i), n) && seconds(field(line, i), p.seconds) && number(field(line, i), wrong);
    field(line, i); // the first wrong entry
    if (!ok || !number(field(line, i), shown) || pupil > 32767 || level > 32767 || n > 32767) {
        ++m_read.damaged;
        return;
    }
    p.pupil = qint16(pupil);
    p.level = qint16(level);
    p.number = qint16(n);
    p.mistake = wrong > 0 || shown != 0;
    m_read.review.add(p.day, pupil, level, n, p.mistake);
    if (m_reviewOnly != 0)
        return;
    m_read.problems.append(p);
    const qint64 key = qint64(pupil) * 65536 + level;
    if (key != m_pendingKey) {
        flushLogged();
        m_pendingKey = key;
    }
    ++m_pending;
    if (m_read.problems.size() >= m_thinAt) {
        thin();
        m_thinAt = std::max(m_firstThin, 2 * m_read.problems.size());
    }
}

qsizetype Reader::lines(QByteArrayView bytes, bool whole)
{
    // Up to each LF, then within it up to each CR: a lone CR ends a line too.
    qsizetype at = 0;
    const char* const data = bytes.data();
    const char* const end = data + bytes.size();
    while (const void* found = std::memchr(data + at, '\n', size_t(end - data - at))) {
        const char* const lf = static_cast<const char*>(found);
        const char* start = data + at;
        while (const void* cr = std::memchr(start, '\r', size_t(lf - start))) {
            line(QByteArrayView(start, static_cast<const char*>(cr) - start));
            start = static_cast<const char*>(cr) + 1;
        }
        line(QByteArrayView(start, lf - start));
        at = lf - data + 1;
    }
    for (const void* cr; (cr = std::memchr(data + at, '\r', size_t(end - data - at)));) {
        line(QByteArrayView(data + at, static_cast<const char*>(cr) - data - at));
        at = static_cast<const char*>(cr) - data + 1;
    }
    if (whole && at < bytes.size()) {
        line(bytes.sliced(at));
        at = bytes.size();
    }
    return at;
}

void Reader::thin()
{
    QList<Problem>& problems = m_read.problems;
    QHash<quint64, int> seen;
    QList<Problem> kept;
    for (auto it = problems.crbegin(); it != problems.crend(); ++it) {
        const quint64 key =
            (quint64(quint16(it->pupil)) << 32) | (quint64(quint16(it->level)) << 16) | quint16(it->number);
        if (++seen[key] <= Read::kKeptAppearances)
            kept.append(*it);
    }
    std::reverse(kept.begin(), kept.end());
    problems = std::move(kept);
}

} // namespace

Read parse(const QByteArray& bytes, qsizetype thinAt)
{
    Reader reader(thinAt);
    reader.lines(bytes, true);
    return reader.take();
}

QString damageNote(const Read& read)
{
    return read.damaged > 0 ? QStringLiteral("%1 行を読めません").arg(read.damaged) : QString();
}

namespace {

std::optional<Read> readWith(Reader& reader, const QString& path, QString* error)
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
    constexpr qsizetype kBlock = 1 << 20;
    QByteArray block;
    bool skipping = false;
    for (;;) {
        const qsizetype carried = block.size();
        block.resize(carried + kBlock);
        const qint64 got = file.read(block.data() + carried, kBlock);
        if (got < 0) {
            if (error)
                *error = file.errorString();
            return std::nullopt;
        }
        block.resize(carried + got);
        if (skipping) {
            const auto end = std::find_if(block.cbegin(), block.cend(), [](char c) { return c == '\n' || c == '\r'; });
            if (end == block.cend() && got > 0) {
                block.clear();
                continue;
            }
            block.remove(0, end - block.cbegin());
            skipping = false;
        }
        const qsizetype taken = reader.lines(block, got == 0);
        block.remove(0, taken);
        if (got == 0)
            break;
        // A line that never ends (a binary file) is passed over to its end, one damaged line.
        if (block.size() > kBlock) {
            reader.line("?");
            block.clear();
            skipping = true;
        }
    }
    return reader.take();
}

} // namespace

std::optional<Read> read(const QString& path, QString* error)
{
    Reader reader;
    return readWith(reader, path, error);
}

std::optional<Read> readReview(const QString& path, int pupil, QString* error)
{
    Reader reader;
    reader.onlyReviewOf(pupil);
    return readWith(reader, path, error);
}

} // namespace problemlog
