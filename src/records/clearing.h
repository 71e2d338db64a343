#pragma once

#include <QString>
#include <QtGlobal>

struct Catalogue;
struct CourseRules;
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
// "クリアまで あと2回・15点", "クリアまで あと15点", "クリアまで あと2回" or "クリア済み"; an
// empty text for a course whose targets are hidden (required points 9999).
QString progressText(const Statistics& stats, const CourseRules& rules, int course, int pupil);

} // namespace clearing
