#include "ui/cell_text_delegate.h"
#include "ui/ui_helpers.h"

#include <QListWidget>
#include <QPainter>
#include <QStyleFactory>
#include <QtTest>

namespace {

// The relative luminance of a colour, as contrast ratios use it.
double luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

} // namespace

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

    // The chosen line's text against its background, under every style Qt has here (under Wine
    // the Windows style too, whose own chosen line is pale).
    void chosenLineReadable_data()
    {
        QTest::addColumn<QString>("style");
        for (const QString& key : QStyleFactory::keys())
            QTest::addRow("%s", qPrintable(key)) << key;
    }
    void chosenLineReadable()
    {
        QFETCH(QString, style);
        QApplication::setStyle(QStyleFactory::create(style));
        uih::applyProgramLook();
        QListWidget list;
        uih::showLinesInCells(&list, 16);
        list.addItems({QStringLiteral("小1 山田　太郎       32"), QStringLiteral("小2 佐藤　花子")});
        list.resize(420, 200);
        list.show();
        list.activateWindow();
        list.setFocus();
        list.setCurrentRow(0);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage row = list.viewport()->grab(list.visualItemRect(list.item(0))).toImage();
        // The background is the line's commonest colour; the text, its pixels furthest from it.
        QHash<QRgb, int> counts;
        for (int y = 0; y < row.height(); ++y) {
            for (int x = 0; x < row.width(); ++x)
                ++counts[row.pixel(x, y) | 0xFF000000];
        }
        QRgb background = 0;
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() > most)
                std::tie(background, most) = std::pair(it.key(), it.value());
        }
        double best = 1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            const double a = luminance(background) + 0.05;
            const double b = luminance(it.key()) + 0.05;
            best = std::max(best, std::max(a, b) / std::min(a, b));
        }
        QVERIFY2(best >= 3, qPrintable(QStringLiteral("contrast %1 on %2").arg(best).arg(background, 6, 16)));
    }
};

QTEST_MAIN(TestCellTextDelegate)
#include "tst_cell_text_delegate.moc"
