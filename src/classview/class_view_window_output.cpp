// What leaves the class view: its printout and its CSV file.
#include "class_view_window.h"

#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "text/text_file.h"
#include "ui/ui_helpers.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <numeric>

void ClassViewWindow::printTable(QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(
        QStringLiteral("クラスの様子 %1").arg(m_context.services.clock.today().toString(QStringLiteral("yyyy-MM-dd"))));
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const SharedState& state = m_context.services.state;
    const classview::Table& table = m_model->table();
    const QList<int>& order = m_model->order();
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    QFont font = uih::font(9);
    QFont bold = uih::font(9, true);
    font.setStyleStrategy(QFont::PreferDefault);
    const QFontMetrics fm(font, &printer);
    const QFontMetrics fmBold(bold, &printer);
    const int pad = fm.horizontalAdvance(u' ');
    const int lineHeight = fm.height() + pad / 2;

    // One line per pupil, each cell whole on its line: never a break inside a figure or a word.
    const int columns = table.columnCount();
    QList<int> widths(columns, 0);
    for (int c = 0; c < columns; ++c) {
        widths[c] = fmBold.horizontalAdvance(table.headers[c]) + 2 * pad;
        for (const int row : order)
            widths[c] = std::max(widths[c], fmBold.horizontalAdvance(table.text(row, c)) + 2 * pad);
    }
    int total = std::accumulate(widths.cbegin(), widths.cend(), 0);
    if (total > page.width()) // the weak numbers give way first, cut at a number's end
        widths[table.weakColumn()] =
            std::max(fm.horizontalAdvance(u'あ') * 6, widths[table.weakColumn()] - (total - page.width()));
    total = std::accumulate(widths.cbegin(), widths.cend(), 0);
    const double stretch = total < page.width() ? double(page.width()) / total : 1.0;
    for (int& w : widths)
        w = int(w * stretch);

    const QString title =
        QStringLiteral("クラスの様子　%1%2")
            .arg(state.organisation.schoolName, table.namesHidden ? QStringLiteral("　（名前なし）") : QString());
    const QString subtitle = QStringLiteral("%1　%2 人").arg(choicesText()).arg(order.size());
    const QString printed =
        QStringLiteral("印刷 %1").arg(m_context.services.clock.today().toString(QStringLiteral("yyyy年M月d日")));
    const int top = lineHeight * 3;
    const int bottom = page.height() - lineHeight * 2;
    const int perPage = std::max(1, (bottom - top - lineHeight) / lineHeight);
    const int pages = std::max<int>(1, int((order.size() + perPage - 1) / perPage));
    const QString legend = QStringLiteral("◎クリア　○クリアまで　▲要チェック　－まだ　秒：ベスト（↑速い ↓遅い →同じ）");
    for (int pageNo = 0; pageNo < pages; ++pageNo) {
        if (pageNo > 0)
            printer.newPage();
        painter.setFont(bold);
        painter.drawText(QRect(0, 0, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, page.width(), lineHeight), Qt::AlignRight | Qt::AlignVCenter, printed);
        painter.drawText(QRect(0, lineHeight, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
        painter.drawText(QRect(0, lineHeight * 2, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, legend);
        int x = 0;
        painter.setFont(bold);
        painter.fillRect(QRect(0, top, page.width(), lineHeight), QColor(0xe0, 0xe0, 0xe0));
        for (int c = 0; c < columns; ++c) {
            const Qt::Alignment side = classview::isNumberColumn(c) ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(QRect(x + pad, top, widths[c] - 2 * pad, lineHeight), side | Qt::AlignVCenter,
                             table.headers[c]);
            x += widths[c];
        }
        for (int k = 0; k < perPage; ++k) {
            const qsizetype at = qsizetype(pageNo) * perPage + k;
            if (at >= order.size())
                break;
            const int row = order[at];
            const int y = top + lineHeight * (k + 1);
            painter.setPen(QColor(0xbd, 0xbd, 0xbd));
            painter.drawLine(0, y + lineHeight, page.width(), y + lineHeight);
            x = 0;
            for (int c = 0; c < columns; ++c) {
                const bool level = c >= classview::FirstLevelColumn && c < table.weakColumn();
                const bool stuck = level && table.rows[row].levels[c - classview::FirstLevelColumn].state() ==
                                                classview::LevelState::Stuck;
                painter.setFont(stuck ? bold : font);
                painter.setPen(stuck ? QColor(0xb7, 0x1c, 0x1c) : QColor(Qt::black));
                const QRect cell(x + pad, y, widths[c] - 2 * pad, lineHeight);
                QString text = table.text(row, c);
                if (c == table.weakColumn()) // cut after a whole number
                    while (fm.horizontalAdvance(text) > cell.width() && text.contains(u' '))
                        text = text.left(text.lastIndexOf(u' '));
                painter.drawText(
                    cell, (classview::isNumberColumn(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
                x += widths[c];
            }
        }
        painter.setPen(Qt::black);
        painter.setFont(font);
        painter.drawText(QRect(0, page.height() - lineHeight, page.width(), lineHeight), Qt::AlignCenter,
                         QStringLiteral("%1 / %2").arg(pageNo + 1).arg(pages));
    }
    painter.end();
}

void ClassViewWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    uih::Modal<QPrintDialog> dialog(&printer, this);
    dialog->setWindowTitle(QStringLiteral("クラスの様子の印刷"));
    if (dialog.accepted())
        printTable(printer);
}

std::optional<QString> ClassViewWindow::exportCsv(const QString& path) const
{
    const QByteArray bytes = classview::csv(m_model->table(), m_model->order(), m_context.services.state.catalogue);
    if (const auto error = textfile::replace(path, bytes))
        return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, *error);
    return std::nullopt;
}

void ClassViewWindow::chooseCsvFile()
{
    // The file's name says whether it holds names.
    const QString stem = m_model->table().namesHidden ? QStringLiteral("クラスの様子_名前なし")
                                                      : QStringLiteral("クラスの様子_名前あり");
    uih::exportCsvAskingWhere(this, m_context.services.messages, stem, m_context.services.clock.today(),
                              [this](const QString& path) { return exportCsv(path); });
}
