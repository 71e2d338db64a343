#include "end_result.h"

#include "records/clearing.h"
#include "records/points.h"
#include "state/attempt_outcome.h"
#include "state/shared_state.h"

namespace endresult {

Assessment assess(const AttemptOutcome& now, const Statistics& stats, const CourseRules& rules,
                  const Catalogue& catalogue)
{
    const int c = now.course;
    const int p = now.pupil;
    const qint32 t = now.time;
    const float weight = rules.pointWeight[c];
    Assessment a;
    a.factor = points::factor(t, rules.targetTime[c]);
    a.points = points::weighted(t, rules.targetTime[c], weight);
    a.pointsLine =
        QStringLiteral("獲得ポイント：%1点×%2→%3点").arg(a.factor).arg(shortestDecimal(double(weight))).arg(a.points);
    a.resultLine = t > points::kNoTimeAbove ? QStringLiteral("記録なし") : QStringLiteral("今の成績：%1秒").arg(t);
    // Full-width brackets throughout, as the screen's other lines have (the lines came with a
    // half-width one and a mixed pair).
    a.levelTodayLine = QStringLiteral("（このレベル　%1回目）").arg(shortestDecimal(double(stats.todayCount(c, p))));
    a.allTodayLine = QStringLiteral("（%1回目）").arg(shortestDecimal(stats.todayCount.sumOverCourses(p)));

    if (now.newCourseBest) {
        a.recordMessage = QStringLiteral("！！！最高新記録！！！");
        a.sound = RecordSound::CourseBest;
    } else if (now.newPersonalBest) {
        a.recordMessage = QStringLiteral("新記録おめでとう");
        a.sound = RecordSound::PersonalBest;
    } else if (t <= rules.secondTargetTime[c]) {
        a.sound = RecordSound::Fail;
    }

    a.cleared = now.cleared;
    const bool top = catalogue.topLevelCourse == Loose(c);
    bool panelAllowed = true;
    for (int i = 1; i <= kMaxCourse; ++i) {
        if (rules.requiredCount[i] == 9999)
            panelAllowed = false;
    }
    a.showTargetPanel = a.cleared && top && panelAllowed;
    if (a.cleared && top) {
        a.playPass = !now.passedBefore;
        a.hideTargetPanel = !a.playPass;
    }
    a.firstClear = a.cleared && !now.clearedBefore;
    if (a.firstClear) {
        a.clearLine = QStringLiteral("%1 クリア！").arg(catalogue.courseNames[c].trimmed());
        a.playPass = true; // the moment of its own: the pass sound, where the installation has it
    } else if (!a.cleared) {
        a.clearLine = clearing::progressText(stats, rules, c, p);
    }
    return a;
}

Settled settle(const AttemptOutcome& now, const Statistics& stats, const CourseRules& rules, const Catalogue& catalogue)
{
    const bool cleared = now.cleared;
    const int c = now.course;
    const int p = now.pupil;
    const CourseRules& r = rules;
    const bool window2Met =
        (!(r.window2RequiredCount[c] == 0.0) && stats.window2Count(c, p) >= r.window2RequiredCount[c].toDouble()) ||
        (!(r.window2RequiredPoints[c] == 0.0) && stats.window2Points(c, p) >= r.window2RequiredPoints[c].toDouble());
    Settled s;
    if (!window2Met || !cleared)
        return s;
    if (catalogue.topLevelCourse == Loose(c)) {
        s.clearLabel = true;
        return s;
    }
    if (!now.topLevelClearedBefore) {
        s.label = QStringLiteral("次のレベルへ進みましょう");
        s.showRetry = false;
    }
    return s;
}

} // namespace endresult
