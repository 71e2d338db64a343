#include "roster_document.h"

#include "platform/system_error.h"
#include "state/loose.h"
#include "text/cp932.h"
#include "text/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cmath>
#include <limits>

namespace {

using Span = std::pair<qsizetype, qsizetype>;

// Where the eight fields of a roster line lie, by the separators the family's reader sees: a
// field that starts with a quote runs to the next quote and on to the next comma. A comma or
// a quote is never part of a double-byte character of code page 932, so the bytes can be
// scanned as they are.
std::optional<std::array<Span, 8>> fieldSpans(const QByteArray& line)
{
    std::array<Span, 8> spans{};
    const qsizetype n = line.size();
    qsizetype pos = 0;
    for (std::size_t k = 0; k < spans.size(); ++k) {
        qsizetype p = pos;
        while (p < n && (line[p] == ' ' || line[p] == '\t'))
            ++p;
        if (p < n && line[p] == '"') {
            const qsizetype close = line.indexOf('"', p + 1);
            p = close < 0 ? n : close + 1;
        }
        while (p < n && line[p] != ',')
            ++p;
        spans[k] = {pos, p};
        if (k + 1 < spans.size()) {
            if (p >= n)
                return std::nullopt;
            pos = p + 1;
        }
    }
    return spans;
}

std::optional<roster::Line> parseOne(const QByteArray& raw)
{
    const roster::Parsed parsed = roster::parse(cp932::decode(raw));
    if (parsed.lines.size() != 1)
        return std::nullopt;
    return parsed.lines.front();
}

QString writeFailure(const QString& reason)
{
    return QStringLiteral("名簿ファイル「%1」を書き込めません。\r\n理由：%2").arg(roster::fileName(), reason);
}

} // namespace

bool RosterDocument::Entry::changed() const
{
    return isNew || (read && (read->trimmedName() != line.trimmedName() || read->birthYear != line.birthYear ||
                              read->status != line.status));
}

std::optional<RosterDocument> RosterDocument::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.exists())
        return RosterDocument();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > 16 * 1024 * 1024) {
        if (error)
            *error = info.isFile() ? QStringLiteral("ファイルが大きすぎます")
                                   : QStringLiteral("ふつうのファイルではありません");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = describeSystemError(lastSystemError());
        return std::nullopt;
    }
    return fromBytes(file.readAll());
}

RosterDocument RosterDocument::fromBytes(const QByteArray& bytes)
{
    RosterDocument document;
    document.m_original = bytes;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        Entry e;
        if (end < 0) {
            e.raw = bytes.mid(start);
            start = bytes.size();
        } else {
            const bool crlf = end > start && bytes[end - 1] == '\r';
            e.raw = bytes.mid(start, end - start - (crlf ? 1 : 0));
            e.ending = crlf ? QByteArray("\r\n") : QByteArray("\n");
            start = end + 1;
        }
        e.read = e.raw.trimmed().isEmpty() ? std::nullopt : parseOne(e.raw);
        if (e.read)
            e.line = *e.read;
        document.m_entries.append(e);
    }
    return document;
}

QList<int> RosterDocument::shown() const
{
    QList<int> out;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].blank())
            out.append(i);
    }
    return out;
}

bool RosterDocument::numberTaken(int number, int except) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (i != except && m_entries[i].editable() && m_entries[i].line.number == number)
            return true;
    }
    return false;
}

int RosterDocument::nextFreeNumber() const
{
    QList<bool> taken(kLastNumber + 1, false);
    for (const Entry& e : m_entries) {
        if (e.editable() && e.line.number >= 0 && e.line.number <= kLastNumber)
            taken[e.line.number] = true;
    }
    for (int n = kFirstNumber; n <= kLastNumber; ++n) {
        if (!taken[n])
            return n;
    }
    return 0;
}

std::optional<QString> RosterDocument::nameProblem(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("名前を入れてください。");
    if (name.size() > roster::kFieldWidth)
        return QStringLiteral("名前は %1 文字までです（いまは %2 文字）。").arg(roster::kFieldWidth).arg(name.size());
    for (const QChar c : name) {
        if (c == u'"')
            return QStringLiteral("名前に「\"」は使えません。");
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("名前に改行は使えません。");
    }
    const auto encoded = cp932::encode(name);
    if (!encoded.ok()) {
        const QString character = QString::fromUcs4(&*encoded.unencodable, 1);
        return QStringLiteral("名前の「%1」は、名簿に書けない文字です。ほかの字に直してください。").arg(character);
    }
    return std::nullopt;
}

std::optional<qint16> RosterDocument::parseYear(const QString& text)
{
    // Full-width digits, as a Japanese input method types them, become plain digits.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    qsizetype first = 0;
    if (first < plain.size() && (plain[first] == u'-' || plain[first] == u'+'))
        ++first;
    if (first >= plain.size() || !plain[first].isDigit() || plain[first].unicode() > 0x7F)
        return std::nullopt;
    const double rounded = std::nearbyint(leadingNumber(plain));
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

std::optional<QString> RosterDocument::yearProblem(const QString& text, int thisYear, qint16* year)
{
    const auto parsed = parseYear(text);
    if (!parsed || *parsed < kFirstBirthYear || *parsed > thisYear) {
        return QStringLiteral("生まれた年「%1」は %2 から %3 までの数で入れてください（西暦）。")
            .arg(text.trimmed().left(20))
            .arg(kFirstBirthYear)
            .arg(thisYear);
    }
    if (year)
        *year = *parsed;
    return std::nullopt;
}

std::optional<QString> RosterDocument::numberProblem(int number)
{
    if (number < kFirstNumber || number > kLastNumber)
        return QStringLiteral("番号は %1 から %2 までです。").arg(kFirstNumber).arg(kLastNumber);
    return std::nullopt;
}

std::optional<QString> RosterDocument::set(int entry, const QString& name, const QString& year, qint64 status,
                                           int thisYear)
{
    Entry& e = m_entries[entry];
    const QString trimmed = name.trimmed();
    // A value left as it was is not checked again: a line that cannot be re-encoded is kept.
    if (trimmed != e.line.trimmedName()) {
        if (const auto problem = nameProblem(trimmed))
            return problem;
    }
    qint16 birthYear = e.line.birthYear;
    if (year.trimmed() != QString::number(e.line.birthYear)) {
        if (const auto problem = yearProblem(year, thisYear, &birthYear))
            return problem;
    }
    if (trimmed != e.line.trimmedName())
        e.line.name = roster::fixedField(trimmed);
    e.line.birthYear = birthYear;
    e.line.status = status;
    return std::nullopt;
}

std::optional<QString> RosterDocument::add(int number, const QString& name, const QString& year, qint64 status,
                                           int thisYear)
{
    if (const auto problem = numberProblem(number))
        return problem;
    if (numberTaken(number))
        return QStringLiteral("番号 %1 はもう使われています。").arg(number);
    const QString trimmed = name.trimmed();
    if (const auto problem = nameProblem(trimmed))
        return problem;
    qint16 birthYear = 0;
    if (const auto problem = yearProblem(year, thisYear, &birthYear))
        return problem;
    Entry e;
    e.isNew = true;
    e.line.number = qint16(number);
    e.line.birthYear = birthYear;
    e.line.name = roster::fixedField(trimmed);
    e.line.status = status;
    e.line.spareStringA = roster::fixedField(QString());
    e.line.spareStringB = roster::fixedField(QString());
    m_entries.append(e);
    return std::nullopt;
}

void RosterDocument::remove(int entry)
{
    m_entries.removeAt(entry);
}

void RosterDocument::move(int entry, int direction)
{
    const QList<int> order = shown();
    const qsizetype at = order.indexOf(entry);
    const qsizetype to = at + direction;
    if (at < 0 || to < 0 || to >= order.size())
        return;
    m_entries.swapItemsAt(entry, order[to]);
}

std::optional<QByteArray> RosterDocument::replaceFields(const QByteArray& line, std::optional<qint16> year,
                                                        const std::optional<QByteArray>& quotedName,
                                                        std::optional<qint64> status)
{
    const auto spans = fieldSpans(line);
    if (!spans)
        return std::nullopt;
    QByteArray out;
    qsizetype at = 0;
    const auto replace = [&](const Span& span, const QByteArray& with) {
        out += line.mid(at, span.first - at);
        out += with;
        at = span.second;
    };
    if (year)
        replace((*spans)[1], QByteArray::number(*year));
    if (quotedName)
        replace((*spans)[4], '"' + *quotedName + '"');
    if (status)
        replace((*spans)[5], QByteArray::number(*status));
    out += line.mid(at);
    return out;
}

std::optional<QByteArray> RosterDocument::rewritten(const Entry& e)
{
    const bool nameChanged = e.read->trimmedName() != e.line.trimmedName();
    std::optional<QByteArray> name;
    if (nameChanged) {
        const auto encoded = cp932::encode(roster::fixedField(e.line.trimmedName()));
        if (!encoded.ok())
            return std::nullopt;
        name = encoded.bytes;
    }
    const auto replaced =
        replaceFields(e.raw, e.read->birthYear != e.line.birthYear ? std::optional(e.line.birthYear) : std::nullopt,
                      name, e.read->status != e.line.status ? std::optional(e.line.status) : std::nullopt);
    // What the family's reader makes of the new line must differ in the changed fields alone:
    // another program's fields are never changed.
    const auto back = replaced ? parseOne(*replaced) : std::nullopt;
    if (!back || back->format() != e.line.format())
        return std::nullopt;
    return replaced;
}

std::optional<QString> RosterDocument::problem() const
{
    for (const Entry& e : m_entries) {
        if (!e.isNew && e.changed() && !rewritten(e)) {
            return QStringLiteral("番号 %1 の行は、ほかのプログラムの欄を変えずには書き直せません。"
                                  "先生は名簿ファイルを直してください。")
                .arg(e.line.number);
        }
    }
    return std::nullopt;
}

QByteArray RosterDocument::bytes() const
{
    QByteArray out;
    out.reserve(m_original.size() + 128);
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        QByteArray body = e.raw;
        QByteArray ending = e.ending;
        if (e.isNew) {
            body = cp932::encode(e.line.format()).bytes;
            ending = "\r\n";
        } else if (e.changed()) {
            if (const auto replaced = rewritten(e))
                body = *replaced;
            if (ending.isEmpty())
                ending = "\r\n"; // a changed line is written as the family writes lines
        }
        // A line that was last and had no line end gets one when another follows it.
        if (ending.isEmpty() && i + 1 < m_entries.size())
            ending = "\r\n";
        out += body + ending;
    }
    return out;
}

QString RosterDocument::backupFileName()
{
    return QStringLiteral("生徒用名簿.bak");
}

std::optional<QString> RosterDocument::save(const QString& path, bool* changedElsewhere, QString* backupProblem)
{
    if (changedElsewhere)
        *changedElsewhere = false;
    if (const auto refused = problem())
        return refused;
    QString error;
    const auto now = load(path, &error);
    if (!now)
        return writeFailure(error);
    if (now->m_original != m_original) {
        if (changedElsewhere)
            *changedElsewhere = true;
        return QStringLiteral("名簿ファイルは、この画面で読んだあとに、ほかのプログラムで変更されました。"
                              "保存しませんでした。");
    }
    const QByteArray contents = bytes();
    if (contents == m_original)
        return std::nullopt;
    // The roster as it was is kept beside it, for a teacher who wants the old one back: written
    // aside and put in place only when whole, so a failed write leaves the earlier backup.
    if (QFile::exists(path)) {
        const QString backup = QFileInfo(path).dir().filePath(backupFileName());
        if (const auto error = textfile::replace(backup, m_original); error && backupProblem)
            *backupProblem = QStringLiteral("名簿の控え「%1」は新しくできませんでした（%2）。前の控えはそのままです。")
                                 .arg(backupFileName(), *error);
    }
    if (const auto error = textfile::replace(path, contents))
        return writeFailure(*error);
    *this = fromBytes(contents);
    return std::nullopt;
}
