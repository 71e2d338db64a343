#include "name_list.h"

#include "roster/roster_file.h"
#include "startup/course_catalogue.h"
#include "state/loose.h"
#include "state/shared_state.h"
#include "text/japanese_order.h"

#include <QLocale>
#include <algorithm>
#include <vector>

namespace namelist {

QString figureText(Figure figure, double sum)
{
    const QString s = shortestDecimal(sum);
    switch (figure) {
    case Figure::TodayAttempts:
        return sum == 0 ? QStringLiteral("     ") : (QStringLiteral("  ") + s).right(3) + QStringLiteral("回");
    case Figure::TodayPoints:
        return sum == 0 ? QStringLiteral("  　") : (QStringLiteral("   ") + s).right(4);
    case Figure::AllAttempts:
        return sum == 0 ? QStringLiteral("     　") : (QStringLiteral("      ") + s).right(5) + QStringLiteral("回");
    case Figure::AllPoints:
        return sum == 0 ? QStringLiteral("       ") : (QStringLiteral("      ") + s).right(7);
    }
    return QString();
}

QString figureText(const Statistics& s, Figure figure, int pupil)
{
    switch (figure) {
    case Figure::TodayAttempts:
        // a single-precision sum, as the counts are
        return figureText(figure, double(float(s.todayCount.sumOverCourses(pupil))));
    case Figure::TodayPoints:
        return figureText(figure, s.todayPoints.sumOverCourses(pupil));
    case Figure::AllAttempts:
        return figureText(figure, s.totalCount.sumOverCourses(pupil));
    case Figure::AllPoints:
        return figureText(figure, s.totalPoints.sumOverCourses(pupil));
    }
    return QString();
}

Mode mode(int listMode)
{
    switch (listMode) {
    case 0:
        return {Figure::TodayAttempts, Figure::AllAttempts, 9, 11};
    case 2:
        return {Figure::TodayPoints, Figure::TodayAttempts, 9, 11};
    case 3:
        return {Figure::AllPoints, Figure::AllAttempts, 9, 11};
    default:
        return {Figure::TodayPoints, Figure::AllPoints, 9, 9};
    }
}

Row makeRow(const QString& shortLabel, int yearWithinSchool, const QString& trimmedName, const QString& first,
            const QString& second, int listMode, int birthYear, int pupil)
{
    const Mode m = mode(listMode);
    const int width = yearWithinSchool < 1 ? m.preschoolWidth : m.width;
    const QString nameColumn = shortLabel + QStringLiteral(" ") + trimmedName;
    const QString filler(std::max<qsizetype>(0, width - nameColumn.size()), QChar(0x3000));
    Row row;
    row.text = nameColumn + filler + first + QStringLiteral("/") + second;
    row.nameLength = nameColumn.size() + filler.size() + first.size();
    row.pupil = pupil;
    row.birthYear = birthYear;
    return row;
}

QString nameText(const Row& row)
{
    return row.text.left(row.nameLength).trimmed();
}

QString sortKey(const Row& row)
{
    const int y = row.birthYear;
    const QString year = y < 0 ? QStringLiteral("-%1").arg(-y, 3, 10, QLatin1Char('0'))
                               : QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0'));
    return year.right(4) + row.text + QStringLiteral("*") + QString::number(row.pupil);
}

bool filterKeeps(const QString& filter, int g)
{
    return catalogue::gradeFilterMatch(g, filter) == 1;
}

QList<Row> ordered(QList<Row> rows, int schoolYear, const QString& filter)
{
    // The keys live only while the rows are sorted: none is kept per row.
    QList<Row> kept;
    for (Row& row : rows) {
        if (filterKeeps(filter, roster::gradeIndex(schoolYear, row.birthYear)))
            kept.append(std::move(row));
    }
    std::vector<std::pair<QByteArray, qsizetype>> keys;
    keys.reserve(std::size_t(kept.size()));
    for (qsizetype i = 0; i < kept.size(); ++i)
        keys.emplace_back(japaneseorder::sortKey(sortKey(kept[i])), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return b.first < a.first; });
    QList<Row> sorted;
    sorted.reserve(kept.size());
    for (const auto& key : keys)
        sorted.append(std::move(kept[key.second]));
    return sorted;
}

QString clickedName(const QString& rowText)
{
    return rowText.trimmed().left(10).trimmed();
}

} // namespace namelist
