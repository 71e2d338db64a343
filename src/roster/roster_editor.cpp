#include "roster_editor.h"

std::optional<RosterEditor> RosterEditor::load(const QString& path, QString* error)
{
    auto document = RosterDocument::load(path, error);
    if (!document)
        return std::nullopt;
    RosterEditor editor;
    editor.m_document = std::move(*document);
    const QList<int> shown = editor.m_document.shown();
    for (int i = 0; i < kRows && i < shown.size(); ++i) {
        const RosterDocument::Entry& e = editor.m_document.entries()[shown[i]];
        editor.m_entries[std::size_t(i)] = shown[i];
        if (e.read) {
            editor.m_rows[std::size_t(i)].present = true;
            editor.m_rows[std::size_t(i)].line = *e.read;
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

std::optional<QString> RosterEditor::save(const QString& path, const std::array<QString, kRows>& names,
                                          const std::array<QString, kRows>& years, int thisYear) const
{
    RosterDocument document = m_document;
    for (int i = 0; i < kRows; ++i) {
        const Row& r = m_rows[std::size_t(i)];
        if (!r.present)
            continue;
        const int entry = m_entries[std::size_t(i)];
        if (const auto problem =
                document.set(entry, names[std::size_t(i)], years[std::size_t(i)], r.line.status, thisYear))
            return QStringLiteral("%1 行目：%2").arg(i + 1).arg(*problem);
    }
    if (const auto problem = document.problem())
        return problem;
    return document.save(path);
}
