#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The pupil roster "生徒用名簿.txt" shared by the family's programs: one line per pupil with
// eight comma-separated fields, strings in double quotes padded to 20 characters, code page 932
// with CR LF line ends.
namespace roster {

constexpr int kFieldWidth = 20;

struct Line
{
    qint16 number = 0;
    qint16 birthYear = 0;
    qint16 spareA = 0;
    qint16 spareB = 0;
    QString name; // always kFieldWidth characters
    qint64 status = 0;
    QString spareStringA;
    QString spareStringB;

    QString trimmedName() const { return name.trimmed(); }
    // The line as written back: numbers bare, strings quoted and padded to 20 characters.
    QString format() const;
};

// A text cut or padded with blanks to the fixed field width.
QString fixedField(const QString& text);
// A name as the roster keeps it: blanks around it gone, each run of blanks inside one full-width
// space; its characters otherwise as written (no normalisation, which would change some kanji).
QString tidyBlanks(const QString& text);

struct Parsed
{
    QList<Line> lines;      // every line that could be read, in file order
    QList<int> lineNumbers; // the file line of each entry of lines, from 1
    QStringList problems;   // lines that were passed over, with the reason, for the teacher
};

// Reads every line; a line with too few fields, a number that is not one or a pupil number
// outside 0..5000 is passed over and named in problems.
Parsed parse(const QString& text);

// Status 0 is listed; status 2 only when the third value of "共通データ.txt" is 1.
bool isListed(const Line& line, bool listStatus2);
// A line the program treats as the teacher's, not a pupil's: its name holds "先生", as the
// board has always decided who sees the teacher's tools. Such lines stay in the menu and the
// rankings, which the family's programs share, and are left out of the class's own figures.
bool isTeacherName(const QString& name);

// School year and grades.
int schoolYear(const QDate& today, int startMonth);
int gradeIndex(int schoolYear, int birthYear);
QString shortGradeLabel(int gradeIndex);
int yearWithinSchool(int gradeIndex);
// Full-width label, or nothing for grades outside 0..10.
std::optional<QString> fullGradeLabel(int gradeIndex);

QString fileName();
QString tempFileName();

// The roster of the shared folder, read and parsed; when it cannot be read, nothing and the
// message that tells the teacher why and where it should be.
struct Read
{
    std::optional<Parsed> parsed;
    QString failure;
};
Read read(const QString& sharedFolder);

// Restores the roster from "生徒用名簿temp.txt" when the roster itself cannot be opened;
// a failed repair is passed over.
void repair(const QString& sharedFolder);

} // namespace roster
