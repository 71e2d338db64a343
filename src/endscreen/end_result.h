#pragma once

#include <QString>

struct AttemptOutcome;
struct Catalogue;
struct CourseRules;
struct Statistics;

// What the end-of-attempt screen tells the pupil, worked out from the statistics that include
// the attempt just recorded.
namespace endresult {

enum class RecordSound
{
    None,
    CourseBest,
    PersonalBest,
    Fail
};

struct Assessment
{
    int factor = 0;
    int points = 0;
    QString pointsLine;     // 獲得ポイント：30点×2→60点
    QString resultLine;     // 今の成績：42秒, or 記録なし
    QString levelTodayLine; //  (このレベル　3回目)
    QString allTodayLine;   // （5回目)
    QString recordMessage;  // empty when there is none
    RecordSound sound = RecordSound::None;
    bool cleared = false;
    bool showTargetPanel = false; // the top level cleared, when no course hides the panel
    bool playPass = false;        // the top level cleared for the first time, or any level
                                  // cleared for the first time by this attempt
    // How far the pupil now is from clearing the level, in the board's words ("クリアまで あと2回・
    // 15点"); empty once it is cleared or when its targets are hidden. When this attempt clears it
    // for the first time, "レベル3 クリア！" instead, shown as a heading of its own.
    QString clearLine;
    bool firstClear = false;
    bool hideTargetPanel = false; // cleared again: no congratulations panel
};

Assessment assess(const AttemptOutcome& outcome, const Statistics& stats, const CourseRules& rules,
                  const Catalogue& catalogue);

struct Settled
{
    bool showRetry = true;   // "もう一度"
    bool clearLabel = false; // empty and hide "このレベルクリア"
    QString label;           // a new text for it, when not empty
};

// Once the screen has settled: a pupil who has just cleared a level below the top, meeting the
// second window's requirement while the top level is not cleared yet, is sent on to the next
// level instead of being offered the same one again.
Settled settle(const AttemptOutcome& outcome, const Statistics& stats, const CourseRules& rules,
               const Catalogue& catalogue);

} // namespace endresult
