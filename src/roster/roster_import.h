#pragma once

#include "roster_document.h"

#include <QHash>
#include <QList>
#include <QSet>
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

// A class list of a whole school is a few hundred kilobytes: the limits keep a file that is no
// list (one line of megabytes) from filling the memory.
constexpr qint64 kMaxBytes = 8 * 1024 * 1024;
constexpr int kMaxRows = 50000;
constexpr int kMaxLineLength = 2000; // characters in one line of the file

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
    QByteArray digest;                  // of the file's bytes: whether it changed since it was read
};

// Reads a file: refused when it is not a regular file, larger than kMaxBytes, binary, or has
// more than kMaxRows rows; error then says why, in Japanese.
std::optional<Sheet> readFile(const QString& path, Encoding encoding, QString* error);
std::optional<Sheet> parse(const QByteArray& bytes, Encoding encoding, QString* error = nullptr);

enum class Column
{
    Ignored,
    Number,     // 生徒番号: the roster's pupil number, only when a column says so
    Grade,      // 学年, 年
    ClassName,  // 組, クラス, 学級
    Seat,       // 出席番号, 番号, No.: a number within a class, never the pupil number
    Name,       // 氏名, 名前, 児童氏名, 生徒氏名, 児童名, 生徒名
    FamilyName, // 姓
    GivenName,  // 名
    Reading,    // ふりがな, フリガナ, よみがな, よみ, 読み, かな, カナ, 氏名かな, 氏名カナ
    FamilyReading, // 姓かな, せい
    GivenReading,  // 名かな, めい
    BirthYear,     // 生まれた年
    Sex,           // 性別: recognised, not taken
    BirthDate      // 生年月日, 誕生日: 西暦 or 和暦, gives the birth year of the school's counting
};
QString caption(Column column);
QList<Column> allColumns();
// The meaning of each header, blind to width, case and blanks; the first column of a kind is the
// one read, a second is Ignored (and named by the plan's notes).
QList<Column> recognise(const QStringList& header);
// What a header would mean on its own, whether or not it is the column read.
Column meaningOf(const QString& header);
// "--column 見出し=意味": the meaning named by its caption (or a header the import knows);
// nothing when the text names none.
std::optional<Column> columnNamed(const QString& meaning);

// 学年・組・出席番号 as a pupil number: 2000 + (学年 − 1) × 450 + (組 − 1) × 50 + 出席番号, so that a
// whole elementary school (grades 1–6, classes 1–9, seats 1–50) takes 2001..4700, within the
// family's pupil numbers and clear of the smallest numbers that pupils are given one by one.
std::optional<int> seatNumber(int gradeIndex, int classNo, int seat);
QString seatNumberScheme(); // the scheme in words, for the preview and the command line
constexpr int kMaxClass = 9;
constexpr int kMaxSeat = 50;

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
    // An existing pupil is found only under the same name (variant kanji, width and blanks
    // aside); the name is rewritten in the list's form (髙 for 高) only when the teacher says so.
    bool changeNames = false;
    int schoolYear = 0; // for a grade: birth year = school year − grade − 6
    int thisYear = 0;
    int schoolYearStartMonth = 4; // a birth date before its second day counts with the year before
    QSet<qsizetype> decided;      // columns whose meaning the teacher chose: nothing more to say of them
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
    // What the header says about the file as a whole: columns not read and why, a reading column
    // left unused; no known column at all makes every row a problem.
    QStringList notes;
    bool noKnownColumn = false;
    int count(Action action) const;
    int problemRows() const { return count(Action::Skipped); }
};

Plan plan(const Sheet& sheet, const QList<Column>& columns, const RosterDocument& roster,
          const QHash<int, QString>& readings, const Options& options);

// The headers the import knows, for a file in which none was recognised.
QString expectedHeaders();

// Takes the rows that are not skipped into the roster and the readings. Nobody is removed.
void apply(const Plan& plan, RosterDocument& roster, QHash<int, QString>& readings, int thisYear);

// One Japanese line per row and a summary, for the command line.
QStringList describe(const Plan& plan);

// A class list to fill in: the header the import recognises and one example row; UTF-8 with a
// byte-order mark, CR LF.
QByteArray templateCsv();

} // namespace rosterimport
