#pragma once

#include "state/shared_state.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The ranking list of one course on the board: the pupils the menu listed, ranked by best
// time or by points (all-time or today), narrowed by the grade filter, with the pupil who is
// working marked "●".
namespace ranking {

enum class DisplayMode
{
    Time = 1,
    Points = 2
};
enum class PointsOrder
{
    AllTime = 1,
    Today = 2
};

constexpr qint32 kNoRecord = 99999;
constexpr qint32 kFailed = 99998;

struct Request
{
    DisplayMode mode = DisplayMode::Points;
    PointsOrder order = PointsOrder::AllTime;
    QString gradeFilter = QStringLiteral("全学年");
    int currentPupil = 0;
};

// The lines of course `course`'s list. Every pupil of the group is ranked, the ones the filter
// leaves out included, so a filtered list shows the ranks within the whole group; equal values
// share a rank and the next rank skips (1, 1, 3).
QStringList build(int course, bool courseDefined, const QList<qint16>& group, const Statistics& stats,
                  const RosterTables& roster, const Request& request);

// The name column: the trimmed name filled with full-width spaces and cut to 5 characters.
QString nameColumn(const QString& name);

// What a pupil sees of another pupil in the lists, as the school chose (学校の設定): the name,
// the number alone ("12番") or the initials of the reading ("Y.T.", the number when there is no
// reading).
QString shownName(RankingNames how, int pupil, const QString& name, const QString& reading);
// The roster's names as the lists show them to the pupil working: their own name always, the
// others' as the school chose.
RosterTables withShownNames(const RosterTables& roster, RankingNames how, int ownPupil,
                            const QHash<int, QString>& readings);

} // namespace ranking
