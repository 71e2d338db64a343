#include "pupil_report.h"

#include "board/course_board.h"
#include "drill/attempt.h"
#include "problemlog/weak_numbers.h"
#include "records/clearing.h"
#include "records/oa_date.h"
#include "state/shared_state.h"

#include <cmath>

namespace pupilreport {

QString documentTitle(const QStringList& names)
{
    QString title = QStringLiteral("成績表 ") + names.value(0).trimmed();
    if (names.size() > 1)
        title += QStringLiteral(" ほか %1 名").arg(names.size() - 1);
    return title;
}

QStringList lastAttempts(const QList<ResultRecord>& records, int p, const Catalogue& catalogue)
{
    QStringList last;
    for (auto it = records.crbegin(); it != records.crend() && last.size() < kLastAttempts; ++it) {
        if (it->pupil != p || it->course < 1 || it->course > catalogue.courseCount ||
            !oadate::toDate(it->date).isValid())
            continue;
        last << QStringLiteral("%1 %2　%3　%4秒")
                    .arg(oadate::toDate(std::floor(it->date)).toString(QStringLiteral("yyyy/MM/dd")),
                         oadate::toTime(it->clockTime).toString(QStringLiteral("hh:mm")),
                         catalogue.courseNames[it->course])
                    .arg(it->time);
    }
    return last;
}

QString html(const SharedState& state, int p, const QString& name, const QString& grade, const QDate& today,
             const QStringList& lastAttempts, const QList<problemlog::Problem>& weakNumbers, const QString& graphImage,
             int graphWidth)
{
    const Organisation& org = state.organisation;
    QString out;
    out += QStringLiteral("<h2>%1　成績表</h2>").arg(state.catalogue.courseTitle.toHtmlEscaped());
    out += QStringLiteral("<p>%1（塾コード %2）<br>%3　%4　番号 %5<br>%6</p>")
               .arg(org.schoolName.toHtmlEscaped(), org.schoolCode.toText().toHtmlEscaped(), grade.toHtmlEscaped(),
                    name.toHtmlEscaped())
               .arg(p)
               .arg(today.toString(QStringLiteral("yyyy年M月d日")));
    out += QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><tr><th>レベル</th><th>目標</th>"
        "<th>今日</th><th>今まで</th><th>ベスト</th><th>クリア</th><th>にがてな数</th></tr>");
    for (int c = 1; c <= state.catalogue.courseCount; ++c) {
        if (attempt::isPractice(state.catalogue, c))
            continue;
        const qint32 best = state.stats.bestTime(c, p);
        const QString weak = weaknumbers::numbers(weaknumbers::rank(weakNumbers, p, c), kWeakNumbers);
        out += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td></tr>")
                   .arg(state.catalogue.courseNames[c].toHtmlEscaped(),
                        courseboard::ruleCaption(state.rules, state.catalogue, c).toHtmlEscaped(),
                        courseboard::todayFigures(state.stats, c, p), courseboard::totalFigures(state.stats, c, p),
                        best >= 99998 ? QStringLiteral("―") : QStringLiteral("%1秒").arg(best),
                        clearing::progressText(state.stats, state.rules, c, p).toHtmlEscaped(),
                        weak.isEmpty() ? QStringLiteral("―") : weak);
    }
    out += QStringLiteral("</table>");
    out += QStringLiteral("<p><b>最近の記録</b><br>");
    QStringList lines;
    for (const QString& line : lastAttempts.mid(0, kLastAttempts))
        lines << line.toHtmlEscaped();
    out += lines.isEmpty() ? QStringLiteral("まだ記録がありません") : lines.join(QStringLiteral("<br>"));
    out += QStringLiteral("</p>");
    if (!graphImage.isEmpty())
        out += QStringLiteral("<p><img src=\"%1\" width=\"%2\"></p>").arg(graphImage).arg(graphWidth);
    return out;
}

} // namespace pupilreport
