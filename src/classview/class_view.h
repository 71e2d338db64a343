#pragma once

#include "problemlog/problem_log.h"
#include "records/result_record.h"
#include "roster/roster_file.h"
#include "state/services.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Pause;
struct Catalogue;
struct CourseRules;
struct Statistics;

// The teacher's view of the whole class, "クラスの様子": one row per pupil the menu lists, with
// when they last practised, their attempts today and this week, and per level whether it is
// cleared or how far they are from clearing it, their best time, and a mark "要チェック" where
// they keep trying a level without clearing it. It reads the results and writes nothing.
namespace classview {

constexpr int kWeekDays = 7;       // today and the six days before
constexpr int kCheckDays = 14;     // the window of "要チェック"
constexpr int kCheckAttempts = 10; // attempts in it without clearing the level
constexpr int kWeakShown = 3;      // weak numbers in the column
constexpr int kClassWeakShown = 3; // and of the whole class, per level
constexpr qint32 kNoTime = 99999;

struct LevelCell
{
    bool cleared = false;
    QString toClear; // "あと2回・15点"; empty when cleared or when the level hides its targets
    qint32 bestTime = kNoTime;
    int recentAttempts = 0; // within the last kCheckDays days
    bool needsCheck = false;
    QString text() const; // what the table shows
};

struct Row
{
    int pupil = 0;
    QString name;
    QString grade; // "小2"
    int gradeIndex = 0;
    int daysSince = -1; // since the last practice; -1 never
    int today = 0;
    int week = 0;
    QList<LevelCell> levels; // by Table::courses
    QString folded;          // the name as the search compares it
    QString weak;            // "レベル3：36 48 24", the three weakest numbers of the current level
    double weakScore = 0;    // of the weakest, for sorting
};

// Column 0 学年, 1 名前, 2 番号, 3 最後の練習, 4 今日, 5 今週, then one per level and last
// にがてな数.
enum Column
{
    GradeColumn,
    NameColumn,
    NumberColumn,
    LastPracticeColumn,
    TodayColumn,
    WeekColumn,
    FirstLevelColumn
};

struct Table
{
    QList<int> courses; // the catalogue's levels, practice levels left out
    QStringList headers;
    QList<Row> rows; // in the roster's order

    int columnCount() const { return int(headers.size()); }
    int weakColumn() const { return FirstLevelColumn + int(courses.size()); }
    QString text(int row, int column) const;
};

// What the rows are worked out from: the statistics of the catalogue's courses (clearing, best
// times), the records of the results file in file order (one pass: last practice, today, this
// week, the last fourteen days) and the roster's lines.
struct Sources
{
    const Statistics& stats;
    const CourseRules& rules;
    const Catalogue& catalogue;
    const QList<roster::Line>& rosterLines;
    bool listStatus2 = false; // whether the menu lists pupils of status 2
    int schoolYear = 0;
    QDate today;
};

// Builds the table: the rows from the roster and the statistics, then each record of the
// results file in file order, then the table.
class Builder
{
public:
    explicit Builder(const Sources& sources);
    void add(const ResultRecord& record);
    // Each pupil's weak numbers at their current level (the level of their last logged
    // problem), from the problem log; a log that could not be read is said in the column.
    void addWeakNumbers(const QList<problemlog::Problem>& log);
    void weakNumbersUnreadable();
    Table take();

private:
    const Sources& m_sources;
    Table m_table;
    QHash<int, int> m_rowOf;  // pupil → row
    QHash<int, int> m_column; // course → level index
    double m_today = 0;
    QList<double> m_lastDay; // by row
};

// The table of the installation as it is now: the statistics recomputed, the roster read and
// the results file read once. Nothing when the program has been ended (the results file could
// not be used); a roster that cannot be read gives no rows and its reason in rosterProblem.
struct Loaded
{
    Table table;
    QString rosterProblem;
    QString classWeak; // the class's weak numbers, level by level
};
std::optional<Loaded> load(Services services, Pause& pause);

// "クラスのにがてな数　レベル１：16 18 12　レベル２：…": the weakest numbers of each level over
// the last appearances of every pupil in the table.
QString classWeakLine(const Table& table, const QList<problemlog::Problem>& log, const Catalogue& catalogue);

// "今日", "昨日", "3日前", "なし".
QString lastPracticeText(int daysSince);

// A name as the search compares it: compatibility forms unified (full-width and half-width),
// katakana as hiragana, blanks left out.
QString fold(const QString& text);

struct Filter
{
    QString grade = QStringLiteral("全学年");
    int notPractisedFor = 0; // days; 0 for everyone
    QString search;
};
QStringList notPractisedChoices(); // "すべて", "3日以上練習していない", ...
int notPractisedDays(int choice);  // 0, 3, 7, 14, 30

// The rows the filter keeps, as indices into table.rows, in the table's order.
QList<int> filtered(const Table& table, const Filter& filter);
// Sorts row indices by a column, ascending or descending; equal values keep their order.
void sort(QList<int>& order, const Table& table, int column, bool descending);

// The table as the teacher sees it, as CSV (UTF-8 with a byte-order mark, CR LF, RFC 4180).
QByteArray csv(const Table& table, const QList<int>& order);

} // namespace classview
