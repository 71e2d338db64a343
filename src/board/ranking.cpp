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

// Appends the last `width` characters of `pad` spaces followed by the number, without a
// temporary text per line: the board builds thousands of lines on every change of option.
void appendRightAligned(QString& line, qint64 value, int width, int pad = 4)
{
    char16_t buffer[32];
    int n = 0;
    const bool negative = value < 0;
    quint64 v = negative ? quint64(-(value + 1)) + 1 : quint64(value);
    do {
        buffer[31 - n++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (negative)
        buffer[31 - n++] = u'-';
    for (int k = 0; k < pad && n < 32; ++k)
        buffer[31 - n++] = u' ';
    const int take = std::min(n, width);
    line.append(QStringView(buffer + 32 - take, take));
}

} // namespace

namespace {

void appendNameColumn(QString& line, const QString& name)
{
    qsizetype length = name.size();
    while (length > 0 && name[length - 1] == u' ')
        --length;
    const qsizetype shown = std::min<qsizetype>(length, 5);
    line.append(QStringView(name).left(shown));
    for (qsizetype k = shown; k < 5; ++k)
        line.append(QChar(0x3000));
}

} // namespace

QString nameColumn(const QString& name)
{
    QString column;
    appendNameColumn(column, name);
    return column;
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
    // Grade marks and the filter's answer, worked out once for the grades pupils can have.
    constexpr int kLowGrade = -20;
    constexpr int kHighGrade = 40;
    QStringList marks;
    QList<bool> admitted;
    for (int g = kLowGrade; g <= kHighGrade; ++g) {
        marks << catalogue::gradeMark(g);
        admitted << (catalogue::gradeFilterMatch(g, request.gradeFilter) == 1);
    }
    const auto inRange = [&](int g) { return g >= kLowGrade && g <= kHighGrade; };

    QStringList lines;
    lines.reserve(qsizetype(entries.size()));
    int rank = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const Entry& e = entries[k];
        if (k == 0 || comparisonValue(e) != comparisonValue(entries[k - 1]))
            rank = int(k) + 1;
        const int p = e.pupil;
        const int g = roster::gradeIndex(roster.schoolYear, roster.pupilBirthYears[p]);
        if (!(inRange(g) ? admitted[g - kLowGrade] : catalogue::gradeFilterMatch(g, request.gradeFilter) == 1))
            continue;
        if (!time && today && stats.todayPoints(c, p) == 0)
            continue;
        const bool current = p == request.currentPupil;
        QString line;
        line.reserve(24);
        const qint32 best = time ? stats.bestTime(c, p) : 0;
        if (time && best == kNoRecord)
            line += QStringLiteral("--");
        else
            appendRightAligned(line, rank, 2, 0);
        line += current ? QStringLiteral("●") : inRange(g) ? marks[g - kLowGrade] : catalogue::gradeMark(g);
        appendNameColumn(line, roster.pupilNames[p]);
        if (!time) {
            appendRightAligned(line, stats.todayPoints(c, p), 3);
            line += u'/';
            appendRightAligned(line, stats.totalPoints(c, p), 5);
            lines << line;
            continue;
        }
        if (best == kFailed)
            line += QStringLiteral("*失敗*");
        else if (best == kNoRecord)
            line += QStringLiteral("------");
        else
            appendRightAligned(line, best, 6);
        line += u' ';
        line += current ? QStringLiteral("●") : QStringLiteral("　");
        lines << line;
    }
    return lines;
}

} // namespace ranking
