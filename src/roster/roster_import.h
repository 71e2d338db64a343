#pragma once

#include "roster_document.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A class list as a spreadsheet or a school's administration system saves it, taken into the
// roster. There is no single school format, so the reading is forgiving: UTF-8 with or without
// a byte-order mark or code page 932 (a mark means UTF-8, else text that is UTF-8 throughout,
// else code page 932; the teacher may choose), commas or tabs, quoted fields, and a header row
// whose names are recognised blind to width. Nothing is written here: a plan says, row by row,
// what would happen and what is wrong, and is applied to the roster only when confirmed.
namespace rosterimport {

constexpr qint64 kMaxBytes = 20 * 1024 * 1024;
constexpr int kMaxRows = 50000;

enum class Encoding
{
    Automatic,
    Utf8,
    Cp932
};

struct Sheet
{
    Encoding encoding = Encoding::Utf8; // what the text was read as
    QList<QStringList> rows;            // the header first
    QString warning;                    // a sign that the encoding was the wrong choice ("?" or "�" in names)
};

// Reads a file: refused when it is not a regular file, larger than kMaxBytes, binary, or has
// more than kMaxRows rows; error then says why, in Japanese.
std::optional<Sheet> readFile(const QString& path, Encoding encoding, QString* error);
std::optional<Sheet> parse(const QByteArray& bytes, Encoding encoding, QString* error = nullptr);

enum class Column
{
    Ignored,
    Number,     // 番号, 生徒番号: the roster's pupil number
    Grade,      // 学年, 年
    ClassName,  // 組, クラス, 学級
    Seat,       // 出席番号: a number within a class
    Name,       // 氏名, 名前, 児童名
    FamilyName, // 姓
    GivenName,  // 名
    Reading,    // ふりがな, フリガナ, よみがな, かな
    FamilyReading,
    GivenReading,
    BirthYear, // 生まれた年
    Sex,       // 性別: recognised, not taken
    BirthDate  // 生年月日: recognised, not taken
};
QString caption(Column column);
QList<Column> allColumns();
QList<Column> recognise(const QStringList& header);

// "小5", "5年", "５", "小学5年生", "中1", "高2" as a grade index (小1 is 1, 中1 is 7).
std::optional<int> gradeIndex(const QString& text);

enum class Numbering
{
    NextFree,      // the smallest free numbers, in the list's order
    GradeClassSeat // 学年・組・出席番号: 5年1組7番 is 5107
};

struct Options
{
    Numbering numbering = Numbering::NextFree;
    bool changeNames = false; // an existing pupil's name is changed only when the teacher says so
    int schoolYear = 0;       // for a grade: birth year = school year − grade − 6
    int thisYear = 0;
};

enum class Action
{
    New,
    Changed,
    Unchanged,
    Skipped
};
QString caption(Action action);

struct Item
{
    int row = 0; // the line of the file, the header being line 1
    Action action = Action::Skipped;
    int number = 0;
    QString name;
    QString reading;
    int birthYear = 0;
    int entry = -1;       // the roster line it changes
    QStringList problems; // why it is skipped
    QStringList changes;  // what changes on an existing pupil
};

struct Plan
{
    QList<Item> items;
    int schoolYear = 0;
    int count(Action action) const;
    int problemRows() const { return count(Action::Skipped); }
};

Plan plan(const Sheet& sheet, const QList<Column>& columns, const RosterDocument& roster,
          const QHash<int, QString>& readings, const Options& options);

// Takes the rows that are not skipped into the roster and the readings. Nobody is removed.
void apply(const Plan& plan, RosterDocument& roster, QHash<int, QString>& readings, int thisYear);

// One Japanese line per row and a summary, for the command line.
QStringList describe(const Plan& plan);

// A class list to fill in: the header the import recognises and one example row; UTF-8 with a
// byte-order mark, CR LF.
QByteArray templateCsv();

} // namespace rosterimport
