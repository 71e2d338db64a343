#pragma once

#include "roster_file.h"

#include <QByteArray>
#include <QList>
#include <optional>

// The roster as a teacher edits it: every line of "生徒用名簿.txt" in file order, with its bytes.
// The family's other programs own the file too, so a line nobody touched is written back byte
// for byte, a changed line has only its changed fields replaced (its spare fields, which other
// programs own, stay byte for byte), and a new line is written in the family's format: eight
// fields, strings in quotes padded to 20 characters, code page 932, CR LF.
class RosterDocument
{
public:
    static constexpr int kFirstNumber = 1;
    static constexpr int kLastNumber = 5000;
    static constexpr int kFirstBirthYear = 1900;

    struct Entry
    {
        QByteArray raw;                   // the line as read, without its line end; empty for a new line
        QByteArray ending;                // "\r\n", "\n" or nothing (a last line without one)
        std::optional<roster::Line> read; // as read; nothing for a line that cannot be read
        roster::Line line;                // as it is now
        bool isNew = false;
        bool blank() const { return !isNew && raw.trimmed().isEmpty(); }
        bool editable() const { return isNew || read.has_value(); }
        bool changed() const;
    };

    // The roster of the path; a missing file is an empty roster. Nothing when it exists and
    // cannot be read (error then says why).
    static std::optional<RosterDocument> load(const QString& path, QString* error = nullptr);
    static RosterDocument fromBytes(const QByteArray& bytes);

    const QList<Entry>& entries() const { return m_entries; }
    // The entries a window shows: every line but the blank ones, in file order.
    QList<int> shown() const;
    bool modified() const { return bytes() != m_original; }
    // Whether a number is held by another line than `except`.
    bool numberTaken(int number, int except = -1) const;
    // The smallest number 1..5000 no line holds; 0 when none is left.
    int nextFreeNumber() const;

    // Why a name cannot be stored: empty, longer than the field, a character that code page 932
    // cannot hold (named), a double quote or a line break.
    static std::optional<QString> nameProblem(const QString& name);
    // The birth year as typed: its leading number ("2015年" gives 2015, full-width digits count
    // as digits), rounded; nothing when the text does not start with a number or the number
    // does not fit the 16-bit field.
    static std::optional<qint16> parseYear(const QString& text);
    // Why a birth year as typed cannot be taken: it must lie between 1900 and this year.
    static std::optional<QString> yearProblem(const QString& text, int thisYear, qint16* year = nullptr);
    static std::optional<QString> numberProblem(int number);

    // Changes a line's name, birth year and display status; the error when a value cannot be
    // taken (nothing is changed then).
    std::optional<QString> set(int entry, const QString& name, const QString& year, qint64 status, int thisYear);
    // A new line at the end.
    std::optional<QString> add(int number, const QString& name, const QString& year, qint64 status, int thisYear);
    void remove(int entry);
    // Moves a line before the shown line above it (-1) or after the one below (+1).
    void move(int entry, int direction);

    // The file as it is now; the error when a changed line cannot be rewritten without
    // touching another program's fields.
    std::optional<QString> problem() const;
    QByteArray bytes() const;

    // Writes the roster atomically, keeping the file as it was as "生徒用名簿.bak". Refuses (and
    // writes nothing) when the file is no longer what was read: another program changed it;
    // `changedElsewhere` then says so, and the caller may offer to read it again.
    // A backup that cannot be made (a folder or a link in its place, no room) leaves the earlier
    // backup as it was; the roster is saved all the same when it can be, and backupProblem says
    // why there is no new backup.
    std::optional<QString> save(const QString& path, bool* changedElsewhere = nullptr,
                                QString* backupProblem = nullptr);

    static QString backupFileName();

    // A roster line (without its line end) with the given fields replaced and every other byte
    // kept; nothing when the line's fields cannot be told apart.
    static std::optional<QByteArray> replaceFields(const QByteArray& line, std::optional<qint16> year,
                                                   const std::optional<QByteArray>& quotedName,
                                                   std::optional<qint64> status);

private:
    // A changed line with its changed fields replaced; nothing when that would touch another field.
    static std::optional<QByteArray> rewritten(const Entry& entry);

    QByteArray m_original;
    QList<Entry> m_entries;
};
