#pragma once

#include "roster_file.h"

#include <array>
#include <optional>

// The first three lines of the roster, as the name change form edits them. Every further line,
// every line the form did not change and every line that cannot be read is written back byte
// for byte.
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
    // Whether the rows hold the same pupils as another reading of the roster, so that what
    // was typed for one pupil is never written over another's line.
    bool samePupils(const RosterEditor& other) const;

    // Why a name cannot be stored: longer than the field, a character that code page 932 cannot
    // hold, a double quote or a line break would break the quoted fields for every program of
    // the family.
    static std::optional<QString> nameProblem(const QString& name);
    // The birth year as typed: its leading number ("2015年" gives 2015, full-width digits count
    // as digits), rounded; nothing when the text does not start with a number or the number
    // does not fit the 16-bit field.
    static std::optional<qint16> parseYear(const QString& text);

    static constexpr int kFirstBirthYear = 1900;

    // Replaces names and birth years of the rows present and writes the roster as a whole
    // new file, so that a crash or a full disk never leaves a cut roster. Only the name and
    // the year of a changed line are rewritten: its other fields, which the family's other
    // programs own, stay byte for byte. A changed year must lie between 1900 and this year.
    // Nothing is written when any row is refused. Returns the error.
    std::optional<QString> save(const QString& path, const std::array<QString, kRows>& names,
                                const std::array<QString, kRows>& years, int thisYear) const;

    // A roster line (without its line end) with its birth year and name replaced and every
    // other byte kept; nothing when the line's fields cannot be told apart that way.
    static std::optional<QByteArray> replaceNameAndYear(const QByteArray& line, const QByteArray& name, qint16 year);

private:
    QList<QByteArray> m_rawLines; // each with its own line end
    std::array<Row, kRows> m_rows;
};
