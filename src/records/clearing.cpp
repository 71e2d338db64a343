#include "clearing.h"

#include "state/shared_state.h"

#include <QStringList>
#include <algorithm>

namespace clearing {

bool isCleared(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    return stats.windowPoints(c, p) >= rules.requiredPoints[c] && stats.windowCount(c, p) >= rules.requiredCount[c];
}

bool topLevelCleared(const Statistics& stats, const CourseRules& rules, const Catalogue& catalogue, int p)
{
    const int top = catalogue.topLevelCourse.toInt();
    return top >= 1 && top <= stats.courses() && isCleared(stats, rules, top, p);
}

QString progressText(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    if (rules.requiredPoints[c] == 9999)
        return QString();
    if (isCleared(stats, rules, c, p))
        return QStringLiteral("クリア済み");
    const qint64 count = std::max<qint64>(0, qint64(rules.requiredCount[c]) - stats.windowCount(c, p));
    const qint64 points = std::max<qint64>(0, qint64(rules.requiredPoints[c]) - stats.windowPoints(c, p));
    QStringList missing;
    if (count > 0)
        missing << QStringLiteral("%1回").arg(count);
    if (points > 0)
        missing << QStringLiteral("%1点").arg(points);
    return QStringLiteral("クリアまで あと") + missing.join(QStringLiteral("・"));
}

} // namespace clearing
