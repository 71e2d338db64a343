#pragma once

struct CourseRules;
struct Statistics;

// Whether a pupil has cleared a course: the points and the completed attempts within the
// course's first day window reach its requirements. The end screen, the board and everything
// that tells a pupil how far they are ask this one rule.
namespace clearing {

bool isCleared(const Statistics& stats, const CourseRules& rules, int course, int pupil);

} // namespace clearing
