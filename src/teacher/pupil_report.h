#pragma once

#include "problemlog/problem_log.h"
#include "records/result_record.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

struct Catalogue;
struct SharedState;

// One pupil's page for the teacher to print and hand to the parents: the school, the pupil,
// the date, and per course the rule, today's and all-time counts and points, the best time,
// whether it is cleared and how far to clearing and the weak numbers, and the last attempts; the graph is the image
// named graphImage, which the printing screen adds to the document.
namespace pupilreport {

constexpr int kLastAttempts = 5;
constexpr int kWeakNumbers = 3; // per level
// The graph fills the rest of the page: drawn at this size, shown at most at this width.
constexpr int kGraphPictureWidth = 1000;
constexpr int kGraphPictureHeight = 760;
constexpr int kGraphWidth = 680;

// The printed document's title: "成績表 佐藤　花子", with "ほか N 名" for several pupils.
QString documentTitle(const QStringList& names);

// The pupil's last attempts on the catalogue's courses, newest first, one line each
// ("2026/12/04 15:34　レベル１　62秒").
QStringList lastAttempts(const QList<ResultRecord>& records, int pupil, const Catalogue& catalogue);

// weakNumbers: the pupil's problem log, for the three weakest numbers of each level.
QString html(const SharedState& state, int pupil, const QString& name, const QString& grade, const QDate& today,
             const QStringList& lastAttempts, const QList<problemlog::Problem>& weakNumbers, const QString& graphImage,
             int graphWidth = kGraphWidth);

} // namespace pupilreport
