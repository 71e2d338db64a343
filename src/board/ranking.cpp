#include "ranking.h"

#include "roster/roster_file.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"

#include <algorithm>
#include <vector>

namespace ranking {
namespace {

struct Entry
{
    qint64 key; // 64 bits: a thousand times a large points total must not overflow
    int pupil;
};

QString lastChars(const QString& text, int count)
{
    return text.right(count);
}

} // namespace

QString nameColumn(const QString& name)
{
    QString trimmed = name;
    while (trimmed.endsWith(u' '))
        trimmed.chop(1);
    return (trimmed + QString(6, QChar(0x3000))).left(5);
}

QStringList build(int c, bool courseDefined, const QList<qint16>& group, const Statistics& stats,
                  const RosterTables& roster, const Request& request)
{
    const bool time = request.mode == DisplayMode::Time;
    const bool today = request.order == PointsOrder::Today;
    std::vector<Entry> entries;
    entries.reserve(std::size_t(group.size()));
    for (const qint16 p : group) {
        qint64 key;
        if (time) {
            key = stats.bestTime(c, p);
            if (!courseDefined) // larger values first, no record last
                key = 10000 - (key == kNoRecord ? -kNoRecord : key);
        } else {
            const qint64 total = stats.totalPoints(c, p);
            const qint64 todays = stats.todayPoints(c, p);
            key = today ? 1000000 - 1000 * todays - total : 1000000 - 1000 * total - todays;
        }
        entries.push_back({key, p});
    }
    // Pupils with equal keys keep the menu's order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });

    const auto comparisonValue = [&](const Entry& e) -> qint64 {
        if (time)
            return e.key;
        return today ? stats.todayPoints(c, e.pupil) : stats.totalPoints(c, e.pupil);
    };
    QStringList lines;
    int rank = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const Entry& e = entries[k];
        if (k == 0 || comparisonValue(e) != comparisonValue(entries[k - 1]))
            rank = int(k) + 1;
        const int p = e.pupil;
        const int g = roster::gradeIndex(roster.schoolYear, roster.pupilBirthYears[p]);
        if (catalogue::gradeFilterMatch(g, request.gradeFilter) != 1)
            continue;
        if (!time && today && stats.todayPoints(c, p) == 0)
            continue;
        const bool current = p == request.currentPupil;
        const QString mark = current ? QStringLiteral("●") : catalogue::gradeMark(g);
        const QString tail = current ? QStringLiteral("●") : QStringLiteral("　");
        const QString r = lastChars(QString::number(rank), 2);
        const QString n = nameColumn(roster.pupilNames[p]);
        if (!time) {
            lines << r + mark + n + lastChars(QStringLiteral("    ") + QString::number(stats.todayPoints(c, p)), 3) +
                         QStringLiteral("/") +
                         lastChars(QStringLiteral("    ") + QString::number(stats.totalPoints(c, p)), 5);
            continue;
        }
        const qint32 best = stats.bestTime(c, p);
        if (best == kFailed)
            lines << r + mark + n + QStringLiteral("*失敗* ") + tail;
        else if (best == kNoRecord)
            lines << QStringLiteral("--") + mark + n + QStringLiteral("------ ") + tail;
        else
            lines << r + mark + n + lastChars(QStringLiteral("    ") + QString::number(best), 6) + QStringLiteral(" ") +
                         tail;
    }
    return lines;
}

} // namespace ranking
