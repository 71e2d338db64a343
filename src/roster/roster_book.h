#pragma once

#include "roster_document.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

struct Folders;

// What the roster window decides: the roster's lines with their readings, the pupils who have
// records, and the teacher's changes until they are saved. The window shows its rows and
// forwards the keys and buttons to it.
class RosterBook
{
public:
    // One shown line of the roster.
    struct Row
    {
        int entry = -1;
        bool editable = false;
        int number = 0;
        int birthYear = 0;
        QString grade; // the grade the birth year gives today ("小5"), or the line as it stands
        QString name;
        QString reading;
        qint64 status = 0;
        QString shown;        // 表示: "表示する", "表示しない", "条件つき"
        bool untimed = false; // practises without a clock
    };

    RosterBook(const Folders& folders, const QDate& today, int schoolYearStartMonth);

    // Reads the roster, the readings and which pupils have records; the error when the roster
    // cannot be read.
    std::optional<QString> load();

    const QList<Row>& rows() const { return m_rows; }
    // Whether a line is the teacher's ("先生" in its name): without one, the teacher comes in by
    // the menu's "先生用" alone, and is told so.
    bool hasTeacherLine() const;
    bool modified() const
    {
        return m_document.modified() || m_readings != m_savedReadings || m_untimed != m_savedUntimed;
    }
    int nextFreeNumber() const { return m_document.nextFreeNumber(); }
    int thisYear() const { return m_today.year(); }
    int schoolYear() const { return m_schoolYear; }
    int schoolYearStartMonth() const { return m_startMonth; }
    QString rosterPath() const;
    // The grade a birth year gives today, as the roster lists it; the note for pupils born early
    // in the year.
    QString gradeOf(int birthYear) const;
    static QString earlyBirthNote();
    static QString statusCaption(qint64 status);

    // The teacher's changes; each returns the reason it was refused, in Japanese.
    std::optional<QString> add(int number, const QString& name, const QString& year, const QString& reading,
                               qint64 status);
    std::optional<QString> edit(int row, const QString& name, const QString& year, const QString& reading,
                                qint64 status);
    void toggleShown(int row);
    // 時計なし: the pupil practises without a clock, and nothing is recorded as an attempt.
    void toggleUntimed(int row);
    void move(int row, int direction);
    // A pupil with records is hidden instead of removed; the message says which happened and why.
    QString remove(int row);
    bool hasRecords(int number) const { return m_recorded.contains(number); }

    // The roster and the readings as a whole: after an import.
    RosterDocument& document() { return m_document; }
    QHash<int, QString>& readings() { return m_readings; }
    void refresh(); // the rows again, after the document changed
    // A class list was taken in: the save that follows keeps the roster as it was, for 元に戻す.
    void markImported() { m_imported = true; }

    // Writes the roster (and the readings). When another program changed the roster meanwhile,
    // nothing is written and changedElsewhere says so.
    std::optional<QString> save(bool* changedElsewhere = nullptr, QString* backupProblem = nullptr);

    // The roster as CSV for a spreadsheet: UTF-8 with a byte-order mark, CR LF.
    QByteArray csv() const;

private:
    QString readingOf(int number) const { return m_readings.value(number); }

    const Folders& m_folders;
    QDate m_today;
    int m_schoolYear = 0;
    int m_startMonth = 4;
    RosterDocument m_document;
    QHash<int, QString> m_readings;
    QHash<int, QString> m_savedReadings;
    QSet<int> m_untimed;
    QSet<int> m_savedUntimed;
    QSet<int> m_recorded;
    QList<Row> m_rows;
    bool m_imported = false;
};
