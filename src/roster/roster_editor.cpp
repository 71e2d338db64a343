#include "roster_editor.h"

#include "platform/system_error.h"
#include "state/loose.h"
#include "text/cp932.h"

#include <QFile>
#include <QSaveFile>
#include <cmath>
#include <limits>

std::optional<RosterEditor> RosterEditor::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = describeSystemError(lastSystemError());
        return std::nullopt;
    }
    RosterEditor editor;
    const QByteArray bytes = file.readAll();
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        editor.m_rawLines.append(bytes.mid(start, next - start));
        start = next;
    }
    for (int i = 0; i < kRows && i < editor.m_rawLines.size(); ++i) {
        const roster::Parsed parsed = roster::parse(cp932::decode(editor.m_rawLines[i]));
        if (parsed.lines.size() == 1) {
            editor.m_rows[std::size_t(i)].present = true;
            editor.m_rows[std::size_t(i)].line = parsed.lines.front();
        }
    }
    return editor;
}

bool RosterEditor::samePupils(const RosterEditor& other) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].present != other.m_rows[i].present || m_rows[i].line.number != other.m_rows[i].line.number)
            return false;
    }
    return true;
}

std::optional<QString> RosterEditor::nameProblem(const QString& name)
{
    if (name.size() > roster::kFieldWidth)
        return QStringLiteral("名前は %1 文字までです（いまは %2 文字）。").arg(roster::kFieldWidth).arg(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
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

std::optional<qint16> RosterEditor::parseYear(const QString& text)
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

} // namespace

std::optional<QByteArray> RosterEditor::replaceNameAndYear(const QByteArray& line, const QByteArray& name, qint16 year)
{
    const auto spans = fieldSpans(line);
    if (!spans)
        return std::nullopt;
    const Span yearSpan = (*spans)[1];
    const Span nameSpan = (*spans)[4];
    QByteArray out = line.left(yearSpan.first);
    out += QByteArray::number(year);
    out += line.mid(yearSpan.second, nameSpan.first - yearSpan.second);
    out += '"' + name + '"';
    out += line.mid(nameSpan.second);
    return out;
}

std::optional<QString> RosterEditor::save(const QString& path, const std::array<QString, kRows>& names,
                                          const std::array<QString, kRows>& years, int thisYear) const
{
    QList<QByteArray> lines = m_rawLines;
    for (int i = 0; i < kRows; ++i) {
        const Row& r = m_rows[std::size_t(i)];
        if (!r.present)
            continue;
        const QString name = names[std::size_t(i)].trimmed();
        // A name left as it was is not checked again: a line the form cannot re-encode stays
        // as it is in the file.
        const bool nameChanged = name != r.line.trimmedName();
        if (const auto problem = nameChanged ? nameProblem(name) : std::nullopt)
            return QStringLiteral("%1 行目：%2").arg(i + 1).arg(*problem);
        const auto year = parseYear(years[std::size_t(i)]);
        const bool yearChanged = !year || *year != r.line.birthYear;
        if (yearChanged && (!year || *year < kFirstBirthYear || *year > thisYear)) {
            return QStringLiteral("%1 行目：生まれた年「%2」は %3 から %4 までの数で入れてください（西暦）。")
                .arg(i + 1)
                .arg(years[std::size_t(i)].trimmed(), QString::number(kFirstBirthYear), QString::number(thisYear));
        }
        if (!nameChanged && !yearChanged)
            continue; // unchanged: the line stays byte for byte
        const QString unreadable = QStringLiteral("%1 行目：名簿のこの行に読めない文字があるため変更できません。"
                                                  "先生は名簿ファイルを直してください。")
                                       .arg(i + 1);
        const auto encodedName = cp932::encode(roster::fixedField(name));
        if (!encodedName.ok())
            return unreadable;
        const QByteArray& old = lines[i];
        const qsizetype endLength = old.endsWith("\r\n") ? 2 : old.endsWith('\n') ? 1 : 0;
        const QByteArray body = old.left(old.size() - endLength);
        const auto replaced = replaceNameAndYear(body, encodedName.bytes, *year);
        // What the family's reader makes of the new line must differ in the name and the year
        // alone: another program's fields are never changed.
        roster::Line expected = r.line;
        expected.name = roster::fixedField(name);
        expected.birthYear = *year;
        const roster::Parsed back = replaced ? roster::parse(cp932::decode(*replaced)) : roster::Parsed{};
        if (back.lines.size() != 1 || back.lines.front().format() != expected.format()) {
            return QStringLiteral("%1 行目：名簿のこの行は、ほかのプログラムの欄を変えずには書き直せません。"
                                  "先生は名簿ファイルを直してください。")
                .arg(i + 1);
        }
        lines[i] = *replaced + (endLength > 0 ? old.right(endLength) : QByteArray("\r\n"));
    }
    if (lines == m_rawLines)
        return std::nullopt;
    const auto failure = [](const QString& reason) {
        return QStringLiteral("名簿ファイル「%1」を書き込めません。\r\n理由：%2").arg(roster::fileName(), reason);
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(describeSystemError(lastSystemError()));
    for (const QByteArray& line : lines) {
        if (file.write(line) != line.size()) {
            const int code = lastSystemError();
            file.cancelWriting();
            return failure(describeSystemError(code));
        }
    }
    // The save file keeps a buffer: an error while it is written out (a full disk) must be
    // seen here, as committing would put a cut file in place of the roster.
    if (!file.flush()) {
        const int code = lastSystemError();
        file.cancelWriting();
        return failure(describeSystemError(code));
    }
    if (!file.commit())
        return failure(describeSystemError(lastSystemError()));
    return std::nullopt;
}
