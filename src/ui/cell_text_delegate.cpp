#include "cell_text_delegate.h"

#include "text/display_cells.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <cmath>

namespace {

constexpr int kMargin = 3; // pixels left of the first cell

} // namespace

qreal CellTextDelegate::cellWidth(const QFont& font)
{
    // Measured once per font: the lists draw thousands of lines.
    static QHash<QString, qreal> known;
    const QString key = font.key();
    if (const auto it = known.constFind(key); it != known.cend())
        return *it;
    const qreal width = QFontMetricsF(font).horizontalAdvance(QChar(0x3000)) / 2;
    known.insert(key, width);
    return width;
}

void CellTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget); // background, selection, focus

    painter->save();
    painter->setFont(item.font);
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    painter->setPen(
        item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const qreal cell = cellWidth(item.font);
    const QFontMetricsF metrics(item.font);
    const qreal top = item.rect.top();
    const qreal height = item.rect.height();
    qreal x = item.rect.left() + kMargin;
    for (qsizetype i = 0; i < text.size() && x <= item.rect.right(); ++i) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString glyph(text.constData() + i, units);
        const qreal width = displaycells::of(text[i]) * cell;
        const qreal advance = metrics.horizontalAdvance(glyph);
        if (advance > width) {
            // A glyph wider than its cells (the proportional face's digits) is narrowed to fit.
            painter->save();
            painter->translate(x, top);
            painter->scale(width / advance, 1);
            painter->drawText(QRectF(0, 0, advance, height), Qt::AlignCenter, glyph);
            painter->restore();
        } else {
            painter->drawText(QRectF(x, top, width, height), Qt::AlignCenter, glyph);
        }
        x += width;
        i += units - 1;
    }
    painter->restore();
}

QSize CellTextDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QFontMetricsF metrics(item.font);
    return QSize(int(std::ceil(displaycells::of(item.text) * cellWidth(item.font))) + 2 * kMargin,
                 int(std::ceil(metrics.height())) + 2);
}
