#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QtGlobal>

struct Catalogue;
struct CourseRules;
struct ResultRecord;
struct Statistics;

// Whether a pupil has cleared a course: the points and the completed attempts within the
// course's first day window reach its requirements. The end screen, the board and everything
// that tells a pupil how far they are ask this one rule.
namespace clearing {

bool isCleared(const Statistics& stats, const CourseRules& rules, int course, int pupil);

// Whether the pupil has cleared the catalogue's top level.
bool topLevelCleared(const Statistics& stats, const CourseRules& rules, const Catalogue& catalogue, int pupil);

// What the pupil still lacks to clear a course within its window.
struct Progress
{
    bool cleared = false;
    bool hidden = false; // a course whose targets are hidden (required points 9999)
    qint64 count = 0;    // completed attempts still needed
    qint64 points = 0;   // points still needed
};
Progress progress(const Statistics& stats, const CourseRules& rules, int course, int pupil);
// "あと2回・15点", "あと15点", "あと2回" for what is still needed.
QString missingText(const Progress& progress);

// What the pupil still lacks to clear a course within its window, from the same rule:
// "クリアまで あと2回・15点", "クリアまで あと15点", "クリアまで あと2回" or "クリアずみ"; an
// empty text for a course whose targets are hidden (required points 9999).
QString progressText(const Statistics& stats, const CourseRules& rules, int course, int pupil);

// A pupil's first clearing of a course: the attempt after which the course's window, as it
// stood at that attempt, held its required attempts and points for the first time.
struct Cleared
{
    int pupil = 0;
    int course = 0;
    QDate date; // the day of the clearing attempt
};
// Every first clearing the records hold (in file order, which is the order of the attempts),
// of the courses 1..courses; a course whose targets are hidden or that requires 9999 attempts
// is never cleared.
QList<Cleared> firstClearings(const QList<ResultRecord>& records, const CourseRules& rules, int courses);
// Whether the records hold a clearing of the course by the pupil.
bool everCleared(const QList<ResultRecord>& records, const CourseRules& rules, int course, int pupil);

} // namespace clearing
