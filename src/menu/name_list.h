#pragma once

#include <QList>
#include <QString>

struct Statistics;

// The rows of the menu's name list: grade label, name and two of the pupil's figures, in a
// fixed-pitch font where full-width characters take two columns.
namespace namelist {

enum class Figure
{
    TodayAttempts,
    TodayPoints,
    AllAttempts,
    AllPoints
};

// The fixed-width text of a figure of the pupil, summed over courses 1..35.
QString figureText(const Statistics& stats, Figure figure, int pupil);
QString figureText(Figure figure, double sum);

// The two figures and the name column width of a display mode 0..3.
struct Mode
{
    Figure first;
    Figure second;
    int width;          // for others
    int preschoolWidth; // for a "幼" pupil
};
Mode mode(int listMode);

struct Row
{
    QString text; // what the list shows
    int pupil = 0;
    int birthYear = 0;
    qsizetype nameLength = 0; // the row up to the end of its first figure
};

// The row up to its first figure, trimmed: what a double-click shows.
QString nameText(const Row& row);
// The sorting key: the birth year in four digits, the row, "*", the pupil number.
QString sortKey(const Row& row);

// The row of one pupil. The birth year is written with four digits so that every key has
// the same shape, whatever was stored.
Row makeRow(const QString& shortLabel, int yearWithinSchool, const QString& trimmedName, const QString& first,
            const QString& second, int listMode, int birthYear, int pupil);

// The rows in the order the list shows them: latest birth year first, within one year
// descending name text, in Japanese dictionary order (text/japanese_order.h); only those the
// filter keeps.
QList<Row> ordered(QList<Row> rows, int schoolYear, const QString& filter);

// Whether the menu's grade filter keeps a grade index.
bool filterKeeps(const QString& filter, int gradeIndex);

// The text shown as the choice after a click: the row trimmed, its first 10 characters, trimmed.
QString clickedName(const QString& rowText);

} // namespace namelist
