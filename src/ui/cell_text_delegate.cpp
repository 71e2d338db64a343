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

const CellTextDelegate::Measures& CellTextDelegate::measuresFor(const QFont& font) const
{
    // Measured once per font: the lists draw and lay out thousands of lines.
    if (!m_measures || !(m_measures->font == font)) {
        const QFontMetricsF metrics(font);
        m_measures =
            Measures{font, metrics.horizontalAdvance(QChar(0x3000)) / 2, metrics.height(), metrics.ascent(), {}};
    }
    return *m_measures;
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
    const Measures& measures = measuresFor(item.font);
    const qreal cell = measures.cell;
    const QFontMetricsF metrics(item.font);
    // Centred in the row as a centred caption would be; each glyph centred in its cells.
    const qreal baseline = item.rect.top() + (item.rect.height() - measures.height) / 2 + measures.ascent;
    qreal x = item.rect.left() + kMargin;
    for (qsizetype i = 0; i < text.size() && x <= item.rect.right(); ++i) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const qreal width = displaycells::of(text[i]) * cell;
        const char32_t code = units == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        if (code == u' ' || code == 0x3000) { // the lists are mostly blanks: nothing to draw
            x += width;
            continue;
        }
        const QString glyph(text.constData() + i, units);
        auto advance = measures.advances.constFind(code);
        if (advance == measures.advances.cend())
            advance = measures.advances.insert(code, metrics.horizontalAdvance(glyph));
        if (*advance > width) {
            // A glyph wider than its cells (the proportional face's digits) is narrowed to fit.
            painter->save();
            painter->translate(x, baseline);
            painter->scale(width / *advance, 1);
            painter->drawText(QPointF(0, 0), glyph);
            painter->restore();
        } else {
            painter->drawText(QPointF(x + (width - *advance) / 2, baseline), glyph);
        }
        x += width;
        i += units - 1;
    }
    painter->restore();
}

QSize CellTextDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Only what the size depends on: a view asks this of every line when it lays out.
    QFont font = option.font;
    if (const QVariant itemFont = index.data(Qt::FontRole); itemFont.isValid())
        font = qvariant_cast<QFont>(itemFont).resolve(font);
    const Measures& measures = measuresFor(font);
    return QSize(int(std::ceil(displaycells::of(index.data(Qt::DisplayRole).toString()) * measures.cell)) + 2 * kMargin,
                 int(std::ceil(measures.height)) + 2);
}
