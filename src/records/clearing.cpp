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

Progress progress(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    Progress progress;
    progress.hidden = rules.requiredPoints[c] == 9999;
    progress.cleared = isCleared(stats, rules, c, p);
    if (!progress.cleared) {
        progress.count = std::max<qint64>(0, qint64(rules.requiredCount[c]) - stats.windowCount(c, p));
        progress.points = std::max<qint64>(0, qint64(rules.requiredPoints[c]) - stats.windowPoints(c, p));
    }
    return progress;
}

QString missingText(const Progress& progress)
{
    QStringList missing;
    if (progress.count > 0)
        missing << QStringLiteral("%1回").arg(progress.count);
    if (progress.points > 0)
        missing << QStringLiteral("%1点").arg(progress.points);
    return QStringLiteral("あと") + missing.join(QStringLiteral("・"));
}

QString progressText(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    const Progress now = progress(stats, rules, c, p);
    if (now.hidden)
        return QString();
    if (now.cleared)
        return QStringLiteral("クリア済み");
    return QStringLiteral("クリアまで ") + missingText(now);
}

} // namespace clearing
