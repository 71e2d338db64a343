#include "ranking.h"

#include "text/kana.h"

#include "roster/roster_file.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"
#include "text/display_cells.h"

#include <algorithm>
#include <vector>

namespace ranking {
namespace {

struct Entry
{
    qint64 key; // 64 bits: a thousand times a large points total must not overflow
    int pupil;
};

// Appends a number right-aligned in a field of `width` cells, without a temporary text per
// line: the board builds thousands of lines on every change of option. A field that follows
// text (blank = true) keeps at least one blank before its number: a number too long for it
// widens its own field instead of running into its neighbour.
void appendRightAligned(QString& line, qint64 value, int width, bool blank = true)
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
    const int wanted = std::max(width, blank ? n + 1 : n);
    while (n < wanted)
        buffer[31 - n++] = u' ';
    line.append(QStringView(buffer + 32 - n, n));
}

// A text in a field of `width` cells after the name, right-aligned, with a blank before it.
void appendField(QString& line, QStringView text, int width)
{
    const int cells = displaycells::of(text);
    for (int k = cells; k < std::max(width, cells + 1); ++k)
        line.append(u' ');
    line.append(text);
}

} // namespace

namespace {

// The name's first five characters, filled to ten cells: full-width spaces, and a half-width
// one where the name holds half-width characters, so that the next field always starts in the
// same column.
void appendNameColumn(QString& line, const QString& name)
{
    qsizetype length = name.size();
    while (length > 0 && name[length - 1] == u' ')
        --length;
    const QStringView shown = QStringView(name).left(std::min<qsizetype>(length, 5));
    line.append(shown);
    int cells = displaycells::of(shown);
    if (cells % 2 == 1) {
        line.append(u' ');
        ++cells;
    }
    for (; cells < 10; cells += 2)
        line.append(QChar(0x3000));
}

} // namespace

QString nameColumn(const QString& name)
{
    QString column;
    appendNameColumn(column, name);
    return column;
}

QString shownName(RankingNames how, int pupil, const QString& name, const QString& reading)
{
    switch (how) {
    case RankingNames::Names:
        return name;
    case RankingNames::Initials:
        if (const QString letters = kana::initials(reading); !letters.isEmpty())
            return letters;
        break;
    case RankingNames::SeatNumbers:
        break;
    }
    return QStringLiteral("%1番").arg(pupil);
}

RosterTables withShownNames(const RosterTables& roster, RankingNames how, int ownPupil,
                            const QHash<int, QString>& readings)
{
    RosterTables shown = roster;
    if (how == RankingNames::Names)
        return shown;
    for (const qint16 p : roster.listedPupils) {
        if (p != ownPupil)
            shown.pupilNames[p] = shownName(how, p, roster.pupilNames[p], readings.value(p));
    }
    return shown;
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
        // The rank in two cells, as "--" takes them; a rank of 100 or more widens its field.
        if (time && best == kNoRecord)
            line += QStringLiteral("--");
        else
            appendRightAligned(line, rank, 2, false);
        line += current ? QStringLiteral("●") : inRange(g) ? marks[g - kLowGrade] : catalogue::gradeMark(g);
        appendNameColumn(line, roster.pupilNames[p]);
        if (!time) {
            appendRightAligned(line, stats.todayPoints(c, p), 3);
            line += u'/';
            appendRightAligned(line, stats.totalPoints(c, p), 5, false);
            lines << line;
            continue;
        }
        if (best == kFailed)
            appendField(line, u"*失敗*", 6);
        else if (best == kNoRecord)
            appendField(line, u"------", 6);
        else
            appendRightAligned(line, best, 6);
        line += u' ';
        line += current ? QStringLiteral("●") : QStringLiteral("　");
        lines << line;
    }
    return lines;
}

} // namespace ranking
