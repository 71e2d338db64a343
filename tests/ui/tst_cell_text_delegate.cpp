#include "ui/cell_text_delegate.h"
#include "ui/ui_helpers.h"

#include <QListWidget>
#include <QPainter>
#include <QtTest>

// A list line drawn on its grid: every glyph inside its own cells, blanks left empty, so the
// columns of the family's lines stay where their cells put them.
class TestCellTextDelegate : public QObject
{
    Q_OBJECT
private slots:
    void glyphsStayInTheirCells_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addRow("digits between blanks") << "1 2 3 10";
        QTest::addRow("wide Latin letters are narrowed") << "W M W";
        QTest::addRow("full-width characters take two cells") << "小1 山田　太郎 W";
        QTest::addRow("half-width katakana") << "ｻﾄｳ ｶ";
    }
    void glyphsStayInTheirCells()
    {
        QFETCH(QString, line);
        QListWidget list;
        uih::showLinesInCells(&list, 16);
        list.addItem(line);
        const QModelIndex index = list.model()->index(0, 0);
        QStyleOptionViewItem option;
        option.initFrom(&list);
        option.font = list.font();
        option.state &= ~QStyle::State_Selected;
        const QSize size = list.itemDelegate()->sizeHint(option, index);
        QImage image(size.width() + 40, size.height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        option.rect = QRect(QPoint(0, 0), size);
        option.palette.setColor(QPalette::Text, Qt::black);
        {
            QPainter painter(&image);
            list.itemDelegate()->paint(&painter, option, index);
        }
        // Which pixel columns each cell may ink: a glyph's cells, with one pixel of smoothing on
        // either side; a blank's none.
        const qreal cell = QFontMetricsF(list.font()).horizontalAdvance(QChar(0x3000)) / 2;
        QVector<bool> allowed(image.width(), false);
        QVector<bool> inked(line.size(), false);
        qreal x = 3; // the delegate's margin
        QList<std::pair<int, int>> spans;
        for (const QChar c : line) {
            const qreal width = (c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) ? 1 : 2) * cell;
            const int from = int(std::floor(x)) - 1;
            const int to = int(std::ceil(x + width));
            spans.append({from, to});
            if (c != u' ' && c != QChar(0x3000)) {
                for (int px = std::max(0, from); px <= to && px < image.width(); ++px)
                    allowed[px] = true;
            }
            x += width;
        }
        for (int px = 0; px < image.width(); ++px) {
            for (int py = 0; py < image.height(); ++py) {
                if (qGray(image.pixel(px, py)) > 160)
                    continue;
                QVERIFY2(allowed[px], qPrintable(QStringLiteral("ink at column %1 outside the glyphs' cells").arg(px)));
                for (qsizetype i = 0; i < line.size(); ++i) {
                    if (px > spans[i].first && px < spans[i].second)
                        inked[i] = true;
                }
            }
        }
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] != u' ' && line[i] != QChar(0x3000))
                QVERIFY2(inked[i], qPrintable(QStringLiteral("「%1」 was not drawn").arg(line[i])));
        }
    }
};

QTEST_MAIN(TestCellTextDelegate)
#include "tst_cell_text_delegate.moc"
