#include "end_result.h"

#include "records/points.h"
#include "state/shared_state.h"

namespace endresult {

bool isCleared(const SharedState& state, int c, int p)
{
    return state.stats.windowPoints(c, p) >= state.rules.requiredPoints[c] &&
           state.stats.windowCount(c, p) >= state.rules.requiredCount[c];
}

Assessment assess(const SharedState& state)
{
    const int c = state.current.course;
    const int p = state.current.pupilNo;
    const qint32 t = state.current.lastTime;
    const float weight = state.rules.pointWeight[c];
    Assessment a;
    a.factor = points::factor(t, state.rules.targetTime[c]);
    a.points = points::weighted(t, state.rules.targetTime[c], weight);
    a.pointsLine =
        QStringLiteral("獲得ポイント：%1点×%2→%3点").arg(a.factor).arg(shortestDecimal(double(weight))).arg(a.points);
    a.resultLine = t > points::kNoTimeAbove ? QStringLiteral("記録なし") : QStringLiteral("今の成績：%1秒").arg(t);
    a.levelTodayLine =
        QStringLiteral(" (このレベル　%1回目)").arg(shortestDecimal(double(state.stats.todayCount(c, p))));
    a.allTodayLine = QStringLiteral("（%1回目)").arg(shortestDecimal(state.stats.todayCount.sumOverCourses(p)));

    if (state.current.newCourseBest == 1) {
        a.recordMessage = QStringLiteral("！！！最高新記録！！！");
        a.sound = RecordSound::CourseBest;
    } else if (state.current.newPersonalBest == 1) {
        a.recordMessage = QStringLiteral("新記録おめでとう");
        a.sound = RecordSound::PersonalBest;
    } else if (t <= state.rules.secondTargetTime[c]) {
        a.sound = RecordSound::Fail;
    }

    a.cleared = isCleared(state, c, p);
    const bool top = state.catalogue.topLevelCourse == Loose(c);
    bool panelAllowed = true;
    for (int i = 1; i <= kMaxCourse; ++i) {
        if (state.rules.requiredCount[i] == 9999)
            panelAllowed = false;
    }
    a.showTargetPanel = a.cleared && top && panelAllowed;
    if (a.cleared && top) {
        a.playPass = state.current.passedBefore == 0;
        a.hideTargetPanel = !a.playPass;
    }
    return a;
}

Settled settle(const SharedState& state, bool cleared)
{
    const int c = state.current.course;
    const int p = state.current.pupilNo;
    const CourseRules& r = state.rules;
    const bool window2Met = (!(r.window2RequiredCount[c] == 0.0) &&
                             state.stats.window2Count(c, p) >= r.window2RequiredCount[c].toDouble()) ||
                            (!(r.window2RequiredPoints[c] == 0.0) &&
                             state.stats.window2Points(c, p) >= r.window2RequiredPoints[c].toDouble());
    Settled s;
    if (!window2Met || !cleared)
        return s;
    if (state.catalogue.topLevelCourse == Loose(c)) {
        s.clearLabel = true;
        return s;
    }
    if (state.current.topLevelCleared == 0) {
        s.label = QStringLiteral("次のレベルへ進みましょう");
        s.showRetry = false;
    }
    return s;
}

} // namespace endresult
