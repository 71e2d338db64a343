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

std::optional<QString> RosterEditor::save(const QString& path, const std::array<QString, kRows>& names,
                                          const std::array<QString, kRows>& years) const
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
        if (!year) {
            return QStringLiteral("%1 行目：生まれた年「%2」は数字で入れてください（-32768 から 32767 まで）。")
                .arg(i + 1)
                .arg(years[std::size_t(i)]);
        }
        if (!nameChanged && *year == r.line.birthYear)
            continue; // unchanged: the line stays byte for byte
        roster::Line line = r.line;
        line.name = roster::fixedField(name);
        line.birthYear = *year;
        const auto encoded = cp932::encode(line.format());
        if (!encoded.ok()) {
            return QStringLiteral("%1 行目：名簿のこの行に読めない文字があるため変更できません。"
                                  "先生は名簿ファイルを直してください。")
                .arg(i + 1);
        }
        const QByteArray& old = lines[i];
        const QByteArray ending = old.endsWith("\r\n") ? QByteArray("\r\n")
                                  : old.endsWith('\n') ? QByteArray("\n")
                                                       : QByteArray("\r\n");
        lines[i] = encoded.bytes + ending;
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
