#pragma once

#include "roster_document.h"

#include <array>
#include <optional>

// The first three lines of the roster, as the name change form edits them: their names and
// birth years. The roster is written as RosterDocument writes it: every other line, every line
// the form did not change and every line that cannot be read stays byte for byte.
class RosterEditor
{
public:
    static constexpr int kRows = 3;

    struct Row
    {
        bool present = false; // the roster has a readable line here
        roster::Line line;
    };

    // Reads the roster; nothing when it cannot be opened (error then says why).
    static std::optional<RosterEditor> load(const QString& path, QString* error = nullptr);

    const Row& row(int index) const { return m_rows[std::size_t(index)]; }
    // Whether any row has a pupil to change.
    bool hasRows() const { return m_rows.front().present; }
    // Whether the rows hold the same pupils as another reading of the roster, so that what
    // was typed for one pupil is never written over another's line.
    bool samePupils(const RosterEditor& other) const;

    // Replaces names and birth years of the rows present and writes the roster as a whole new
    // file. A changed year must lie between 1900 and this year. Nothing is written when any
    // row is refused. Returns the error.
    std::optional<QString> save(const QString& path, const std::array<QString, kRows>& names,
                                const std::array<QString, kRows>& years, int thisYear) const;

private:
    RosterDocument m_document;
    std::array<int, kRows> m_entries{}; // the document's entry of each row present
    std::array<Row, kRows> m_rows;
};
