// The class view's rows as CSV.
#include "class_view.h"

#include "state/shared_state.h"
#include "text/csv_cell.h"

namespace classview {

QByteArray csv(const Table& table, const QList<int>& order, const Catalogue& catalogue)
{
    QStringList header = {QStringLiteral("生徒番号"),     QStringLiteral("学年"),
                          QStringLiteral("名前"),         QStringLiteral("よみ"),
                          QStringLiteral("最後の練習日"), QStringLiteral("今日の回数"),
                          QStringLiteral("期間の始め"),   QStringLiteral("期間の終わり"),
                          QStringLiteral("期間の回数"),   QStringLiteral("期間の練習時間(分)")};
    for (const int c : table.courses) {
        const QString level = catalogue.courseNames[c];
        for (const char16_t* figure :
             {u" クリア(1/0)", u" 回数", u" ポイント", u" ベスト(秒)", u" クリアまであと(回)", u" クリアまであと(点)",
              u" 要チェック(1/0)", u" 期間のベスト(秒)", u" 前の期間のベスト(秒)"})
            header << level + QString::fromUtf16(figure);
    }
    header << QStringLiteral("にがてな数のレベル") << QStringLiteral("にがてな数");
    if (table.namesHidden) // 名前なし: the pupil by number only
        header.remove(2, 2);
    for (QString& h : header)
        h = csvcell::text(h);
    QByteArray out = QByteArray("\xEF\xBB\xBF") + (header.join(u',') + QStringLiteral("\r\n")).toUtf8();
    const auto time = [](qint32 t) { return t >= kNoTime ? QString() : QString::number(t); };
    const QString from = table.period.from.toString(Qt::ISODate), to = table.period.to.toString(Qt::ISODate);
    for (const int i : order) {
        const Row& r = table.rows[i];
        QStringList cells = {QString::number(r.pupil),
                             csvcell::text(r.grade),
                             csvcell::text(r.name),
                             csvcell::text(r.reading),
                             r.lastPractice.toString(Qt::ISODate),
                             QString::number(r.today),
                             from,
                             to,
                             QString::number(r.periodAttempts),
                             QString::number((r.periodSeconds + 30) / 60)};
        for (const LevelCell& cell : r.levels) {
            cells << QString::number(cell.cleared ? 1 : 0) << QString::number(cell.attempts)
                  << QString::number(cell.points) << time(cell.bestTime)
                  << (cell.hidden ? QString() : QString::number(cell.countNeeded))
                  << (cell.hidden ? QString() : QString::number(cell.pointsNeeded))
                  << QString::number(cell.state() == LevelState::Stuck ? 1 : 0) << time(cell.periodBest)
                  << time(cell.previousBest);
        }
        cells << (r.weakLevel > 0 ? QString::number(r.weakLevel) : QString())
              << csvcell::text(r.weak.section(u'：', 1));
        if (table.namesHidden)
            cells.remove(2, 2);
        out += (cells.join(u',') + QStringLiteral("\r\n")).toUtf8();
    }
    return out;
}

} // namespace classview
