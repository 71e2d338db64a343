#include "practice_result.h"

#include "state/attempt_outcome.h"

namespace practiceresult {
namespace {

QString seconds(double s)
{
    return QString::number(s, 'f', 1) + QStringLiteral("秒");
}

QString mistakes(int count, int of)
{
    return count == 0 ? QStringLiteral("まちがいなし") : QStringLiteral("%2回中%1回まちがい").arg(count).arg(of);
}

} // namespace

QList<Row> rows(const PracticeOutcome& outcome)
{
    QList<Row> rows;
    for (const PracticeOutcome::Number& n : outcome.numbers) {
        Row r;
        r.number = QString::number(n.number);
        r.now = seconds(n.secondsNow) + u'　' + mistakes(n.mistakesNow, n.timesNow);
        if (n.appearancesBefore == 0) {
            r.before = QStringLiteral("はじめて");
        } else {
            r.before = seconds(n.secondsBefore) + u'　' + mistakes(n.mistakesBefore, n.appearancesBefore);
            // Better: faster without more mistakes, or fewer mistakes (as a share) at all.
            const double shareBefore = double(n.mistakesBefore) / n.appearancesBefore;
            const double shareNow = double(n.mistakesNow) / std::max(1, n.timesNow);
            const bool better = shareNow < shareBefore || (shareNow == shareBefore && n.secondsNow < n.secondsBefore);
            r.verdict = better ? QStringLiteral("よくなった！") : QStringLiteral("もう少し");
        }
        rows.append(r);
    }
    return rows;
}

QString timeLine(const PracticeOutcome& outcome)
{
    return QStringLiteral("タイム：%1秒").arg(outcome.time);
}

} // namespace practiceresult
