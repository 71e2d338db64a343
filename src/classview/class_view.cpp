#include "class_view.h"

#include "records/clearing.h"
#include "records/oa_date.h"
#include "state/shared_state.h"
#include "text/kana.h"

#include <algorithm>
#include <cmath>

namespace classview {

LevelState LevelCell::state() const
{
    if (cleared)
        return LevelState::Cleared;
    if (recentAttempts >= kCheckAttempts)
        return LevelState::Stuck;
    return attempts > 0 || recentAttempts > 0 ? LevelState::InProgress : LevelState::NotStarted;
}

Trend LevelCell::trend() const
{
    if (periodBest >= kNoTime || previousBest >= kNoTime)
        return Trend::None;
    return periodBest < previousBest ? Trend::Better : periodBest > previousBest ? Trend::Worse : Trend::Same;
}

QString LevelCell::symbol() const
{
    switch (state()) {
    case LevelState::Cleared:
        return QStringLiteral("◎");
    case LevelState::Stuck:
        return QStringLiteral("▲");
    case LevelState::InProgress:
        return QStringLiteral("○");
    case LevelState::NotStarted:
        break;
    }
    return QStringLiteral("－");
}

QString LevelCell::caption() const
{
    switch (state()) {
    case LevelState::Cleared:
        return QStringLiteral("クリア");
    case LevelState::Stuck:
        return QStringLiteral("要チェック");
    case LevelState::InProgress:
        return hidden ? QStringLiteral("練習中") : clearing::missingText({false, false, countNeeded, pointsNeeded});
    case LevelState::NotStarted:
        break;
    }
    return QStringLiteral("まだ");
}

QString LevelCell::bestLine() const
{
    if (bestTime >= kNoTime)
        return QString();
    static const QStringList arrows = {QString(), QStringLiteral(" ↑"), QStringLiteral(" ↓"), QStringLiteral(" →")};
    return QStringLiteral("%1秒").arg(bestTime) + arrows[int(trend())];
}

QString LevelCell::spoken() const
{
    QStringList words{caption()};
    if (state() == LevelState::Stuck && !hidden)
        words << clearing::missingText({false, false, countNeeded, pointsNeeded});
    if (bestTime < kNoTime)
        words << QStringLiteral("ベスト%1秒").arg(bestTime);
    static const QStringList trends = {QString(), QStringLiteral("前の期間より速い"),
                                       QStringLiteral("前の期間より遅い"), QStringLiteral("前の期間と同じ")};
    if (trend() != Trend::None)
        words << trends[int(trend())];
    return words.join(QStringLiteral("、"));
}

Colours coloursOf(LevelState state)
{
    switch (state) {
    case LevelState::Cleared:
        return {0x1b5e20, 0xdcedc8};
    case LevelState::Stuck:
        return {0xb71c1c, 0xffcdd2};
    case LevelState::InProgress:
        return {0x4e342e, 0xfff8e1};
    case LevelState::NotStarted:
        break;
    }
    return {0x616161, 0xffffff};
}

double contrast(quint32 a, quint32 b)
{
    const auto luminance = [](quint32 rgb) {
        const auto channel = [](quint32 c) {
            const double v = double(c & 0xff) / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(rgb >> 16) + 0.7152 * channel(rgb >> 8) + 0.0722 * channel(rgb);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool Row::needsCheck() const
{
    return std::any_of(levels.cbegin(), levels.cend(),
                       [](const LevelCell& cell) { return cell.state() == LevelState::Stuck; });
}

QString Row::shownName(bool hidden) const
{
    if (!hidden)
        return name;
    const QString letters = kana::initials(reading);
    return letters.isEmpty() ? QStringLiteral("%1番").arg(pupil) : letters;
}

QString lastPracticeText(int daysSince, bool now)
{
    if (now)
        return QStringLiteral("いま");
    if (daysSince < 0)
        return QStringLiteral("なし");
    if (daysSince == 0)
        return QStringLiteral("今日");
    if (daysSince == 1)
        return QStringLiteral("昨日");
    return QStringLiteral("%1日前").arg(daysSince);
}

QString Table::text(int row, int column) const
{
    const Row& r = rows[row];
    switch (column) {
    case GradeColumn:
        return r.grade;
    case NameColumn:
        return r.shownName(namesHidden);
    case LastPracticeColumn:
        return lastPracticeText(r.daysSince, r.practisingNow);
    case TodayColumn:
        return QString::number(r.today);
    case PeriodAttemptsColumn:
        return QString::number(r.periodAttempts);
    case PeriodMinutesColumn:
        return QString::number((r.periodSeconds + 30) / 60);
    default:
        if (column == weakColumn())
            return r.weak;
        if (column == reviewColumn())
            return r.reviewDue == 0 && r.reviewLearned == 0
                       ? QString()
                       : QStringLiteral("%1こ／今週%2").arg(r.reviewDue).arg(r.reviewLearned);
        const LevelCell cell = r.levels.value(column - FirstLevelColumn);
        return (cell.symbol() + cell.caption() + u' ' + cell.bestLine()).trimmed();
    }
}

void Table::setPeriod(const Period& p)
{
    period = p;
    const Period before = p.before();
    const qint32 from = qint32(oadate::fromDate(p.from)), to = qint32(oadate::fromDate(p.to));
    const qint32 beforeFrom = qint32(oadate::fromDate(before.from));
    QHash<int, int> rowOf;
    for (int i = 0; i < rows.size(); ++i) {
        Row& row = rows[i];
        rowOf.insert(row.pupil, i);
        row.periodAttempts = 0;
        row.periodSeconds = 0;
        for (LevelCell& cell : row.levels)
            cell.periodBest = cell.previousBest = kNoTime;
    }
    QHash<int, int> levelOf;
    for (int k = 0; k < courses.size(); ++k)
        levelOf.insert(courses[k], k);
    for (const Attempt& a : attempts) {
        if (a.day < beforeFrom || a.day > to)
            continue;
        Row& row = rows[rowOf.value(a.pupil)];
        const auto level = levelOf.constFind(a.course);
        LevelCell* cell = level == levelOf.cend() ? nullptr : &row.levels[*level];
        if (a.day >= from) {
            ++row.periodAttempts;
            row.periodSeconds += a.time;
            if (cell)
                cell->periodBest = std::min(cell->periodBest, a.time);
        } else if (cell) {
            cell->previousBest = std::min(cell->previousBest, a.time);
        }
    }
}

} // namespace classview
