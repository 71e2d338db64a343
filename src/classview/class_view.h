#pragma once

#include "problemlog/problem_log.h"
#include "records/result_record.h"
#include "roster/roster_file.h"
#include "state/services.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class Pause;
struct Catalogue;
struct CourseRules;
struct Statistics;

// The teacher's view of the whole class, "クラスの様子", read at a glance: one row per pupil the
// menu lists, with when they last practised, their attempts today and in a period the teacher
// chooses with the minutes practised, and per level a compact state (cleared, in progress with
// what is still needed, stuck, not started) with the best time and how the period's best time
// compares with the period before. It opens with the pupils who need help first. It reads the
// results and writes nothing.
namespace classview {

constexpr int kCheckDays = 14;     // the window of "要チェック"
constexpr int kCheckAttempts = 10; // attempts in it without clearing the level
constexpr int kWeakShown = 3;      // weak numbers in the column
constexpr int kClassWeakShown = 3; // and of the whole class, per level
constexpr qint32 kNoTime = 99999;
constexpr int kNowMinutes = 10; // a pupil who finished an attempt this recently is marked "いま"

enum class LevelState
{
    NotStarted,
    InProgress,
    Stuck, // tried kCheckAttempts times in kCheckDays days without clearing: 要チェック
    Cleared
};

// The period's best time against the best of the period of the same length before it.
enum class Trend
{
    None, // no attempt in one of the two periods
    Better,
    Worse,
    Same
};

struct LevelCell
{
    bool cleared = false;
    bool hidden = false;       // the level hides its targets
    qint64 countNeeded = 0;    // completed attempts still needed to clear it
    qint64 pointsNeeded = 0;   // points still needed
    int attempts = 0;          // completed attempts so far
    qint64 points = 0;         // points so far
    qint32 bestTime = kNoTime; // all-time
    int recentAttempts = 0;    // within the last kCheckDays days
    qint32 periodBest = kNoTime;
    qint32 previousBest = kNoTime;

    LevelState state() const;
    Trend trend() const;
    QString symbol() const;   // ◎ cleared, ○ in progress, ▲ stuck, － not started
    QString caption() const;  // "クリア", "あと2回・15点", "要チェック", "まだ"
    QString bestLine() const; // "43秒 ↑" with the trend's arrow
    QString spoken() const;   // everything in words, for a screen reader
};

struct Row
{
    int pupil = 0;
    int rosterIndex = 0; // the roster's order, which breaks every tie
    QString name;
    QString reading; // the school's reading of the name, in hiragana; empty when none
    QString grade;   // "小2"
    int gradeIndex = 0;
    QDate lastPractice;         // invalid: never
    int daysSince = -1;         // since the last practice; -1 never
    qint32 lastDay = -1;        // the last practice's day, days since 30 December 1899
    double lastMoment = 0;      // and its moment, the fraction being the time of day
    bool practisingNow = false; // an attempt within the last kNowMinutes minutes
    int today = 0;
    int periodAttempts = 0;
    qint64 periodSeconds = 0;
    QList<LevelCell> levels; // by Table::courses
    QString folded;          // the name and its reading as the search compares them
    int weakLevel = 0;       // the level the weak numbers are of
    QString weak;            // "レベル3：36 48 24"
    double weakScore = 0;    // of the weakest, for sorting
    int reviewDue = 0;       // ふくしゅう: numbers due today
    int reviewLearned = 0;   // and learned this week
    bool needsCheck() const;
    // The name, or what stands for it when names are hidden: "Y.T.", else "12番".
    QString shownName(bool hidden) const;
};

// The colours of a level's state, text on background (0xRRGGBB), each pair at least 4.5 : 1;
// the state is also said by its symbol, for printers without colour and for those who do not
// see colours apart.
struct Colours
{
    quint32 text = 0;
    quint32 background = 0;
};
Colours coloursOf(LevelState state);
// The contrast of two colours as the accessibility guidelines measure it (1 to 21).
double contrast(quint32 a, quint32 b);

// Columns: 学年 and 名前 stay at the left; then 最後の練習, 今日, the period's attempts and
// minutes, one per level and にがてな数.
enum Column
{
    GradeColumn,
    NameColumn,
    LastPracticeColumn,
    TodayColumn,
    PeriodAttemptsColumn,
    PeriodMinutesColumn,
    FirstLevelColumn
};

// The columns of counts, set right-aligned on the screen and on paper so that digits line up.
constexpr bool isNumberColumn(int column)
{
    return column == TodayColumn || column == PeriodAttemptsColumn || column == PeriodMinutesColumn;
}

// One attempt as the period's figures need it.
struct Attempt
{
    qint32 day = 0; // days since 30 December 1899
    qint16 pupil = 0;
    qint16 course = 0;
    qint32 time = 0;
};

// A span of days, both ends included, and the span its figures are compared with: the week,
// month or term before, or as many days just before it.
struct Period
{
    Period() = default;
    Period(QDate first, QDate last, QDate previousFirst = {}, QDate previousLast = {})
        : from(first), to(last), previousFrom(previousFirst), previousTo(previousLast)
    {}
    QDate from;
    QDate to;
    QDate previousFrom; // invalid: the same number of days just before
    QDate previousTo;
    int days() const { return int(from.daysTo(to)) + 1; }
    Period before() const;
};

enum class PeriodChoice
{
    ThisWeek, // from the school's first day of the week to its last
    LastWeek,
    ThisMonth, // from the first to the last day of the month
    LastMonth,
    ThisTerm, // the school year's term: its first five months, the next four, the last three
    Range     // from–to, as the teacher chooses
};
QStringList periodChoices();
// Always well formed, whatever the clock says: from is never after to. weekStart is the school's
// first day of the week, 1 Monday .. 7 Sunday.
Period periodOf(PeriodChoice choice, const QDate& today, int schoolYearStartMonth, int weekStart = 1,
                const Period& range = {});

struct Table
{
    QList<int> courses; // the catalogue's levels, practice levels left out
    QStringList headers;
    QList<Row> rows;         // in the roster's order
    QList<Attempt> attempts; // every completed attempt of the pupils in the rows
    Period period;
    // Names hidden (projector mode, an export 名前なし): each pupil by the initials of the reading,
    // else the number; the figures stay.
    bool namesHidden = false;
    qint64 recordsRead = 0; // the records of the results file the table holds
    qint32 today = 0;       // the day it was made for

    int columnCount() const { return int(headers.size()); }
    int weakColumn() const { return FirstLevelColumn + int(courses.size()); }
    int reviewColumn() const { return weakColumn() + 1; }
    QString text(int row, int column) const; // one line, as printed
    // The period's attempts, minutes and best times per level, and the period before's.
    void setPeriod(const Period& period);
};

// What the rows are worked out from: the statistics of the catalogue's courses (clearing, best
// times), the records of the results file in file order and the roster's lines with their
// readings.
struct Sources
{
    const Statistics& stats;
    const CourseRules& rules;
    const Catalogue& catalogue;
    const QList<roster::Line>& rosterLines;
    const QHash<int, QString>& readings;
    bool listStatus2 = false; // whether the menu lists pupils of status 2
    int schoolYear = 0;
    QDate today;
};

class Builder
{
public:
    explicit Builder(const Sources& sources);
    void add(const ResultRecord& record);
    // Each pupil's weak numbers at the level that matters (the level marked 要チェック, else the
    // level of their last logged problem) and the class's per level, in one pass over the log.
    void addWeakNumbers(const QList<problemlog::Problem>& log);
    void weakNumbersUnreadable();
    // ふくしゅう of each pupil: due today, and learned in the school's week so far.
    void addReview(const review::Tracker& review, int weekStart);
    // The table, its last practices dated as of now (days since 30 December 1899, with the time of
    // day as the fraction).
    Table take(const Period& period, double now);
    // "クラスのにがてな数　レベル１：16 18 12　レベル２：…", once the weak numbers are added.
    QString classWeakLine() const;

private:
    const Sources& m_sources;
    Table m_table;
    QHash<int, int> m_rowOf;  // pupil → row
    QHash<int, int> m_column; // course → level index
    QString m_classWeak;
};

// The table of the installation as it is now: the statistics recomputed, the roster and its
// readings read and the results file read once. Nothing when the program has been ended (the
// results file could not be used); a roster that cannot be read gives no rows and its reason
// in rosterProblem.
struct Loaded
{
    Table table;
    QString rosterProblem;
    QString classWeak; // the class's weak numbers, level by level
};
std::optional<Loaded> load(Services services, Pause& pause, const Period& period);

// The records appended to the results file since the table was read (by another PC, during a
// lesson): their attempts added, the pupils' figures from the statistics recomputed, the
// period's figures and the "いま" marks made anew. Rows, filter and order are the caller's to
// keep. Nothing when the program has been ended.
struct Refresh
{
    bool reloadNeeded = false; // the file got shorter, or the day changed: read it whole again
    QSet<int> pupils;          // whose figures changed
};
std::optional<Refresh> refresh(Table& table, Services services, Pause& pause);

// "いま" (within kNowMinutes), "今日", "昨日", "3日前", "なし".
QString lastPracticeText(int daysSince, bool now = false);

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
// "気になる順", the opening order: stuck pupils first, then those who have not practised for
// longest, then by grade and the roster's order.
void sortByConcern(QList<int>& order, const Table& table);
// Sorts row indices by a column, ascending or descending; equal values keep the roster's order.
// 名前 sorts by reading where the school has entered one, the others after in the roster's order.
void sort(QList<int>& order, const Table& table, int column, bool descending);

// The table for a spreadsheet: one column per figure, numbers and ISO dates, the unit in the
// header; UTF-8 with a byte-order mark, CR LF, cells protected from being read as formulas.
// With the table's names hidden, the 名前 and よみ columns are left out: numbers only.
QByteArray csv(const Table& table, const QList<int>& order, const Catalogue& catalogue);

} // namespace classview
