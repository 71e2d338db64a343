#include "roster_editor.h"

#include "startup/cp932.h"
#include "state/loose.h"

#include <QFile>
#include <QSaveFile>
#include <cmath>
#include <limits>

std::optional<RosterEditor> RosterEditor::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
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

std::optional<QString> RosterEditor::nameProblem(const QString& name)
{
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
    const double rounded = std::nearbyint(leadingNumber(text));
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
        if (const auto problem = nameProblem(name))
            return QStringLiteral("%1 行目：%2").arg(i + 1).arg(*problem);
        const auto year = parseYear(years[std::size_t(i)]);
        if (!year)
            return QStringLiteral("%1 行目：生まれた年「%2」は大きすぎます。").arg(i + 1).arg(years[std::size_t(i)]);
        roster::Line line = r.line;
        line.name = roster::fixedField(name);
        line.birthYear = *year;
        const QByteArray& old = lines[i];
        const QByteArray ending = old.endsWith("\r\n") ? QByteArray("\r\n") : old.endsWith('\n') ? QByteArray("\n") : QByteArray("\r\n");
        lines[i] = cp932::encode(line.format()).bytes + ending;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("名簿を書き込めません（%1）。").arg(file.errorString());
    for (const QByteArray& line : lines)
        file.write(line);
    if (!file.commit())
        return QStringLiteral("名簿を書き込めません（%1）。").arg(file.errorString());
    return std::nullopt;
}
