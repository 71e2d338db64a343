#pragma once

#include <QStyledItemDelegate>

// Draws a list's lines on a grid of half-width cells: a half-width character (ASCII, half-width
// katakana) takes one cell, every other character two, as in the family's code page. Columns
// of a line built to that count line up whatever font the list has, so the program needs no
// fixed-pitch font of its own: the captions' proportional face draws the lists too. The item's
// text stays as it is, for a screen reader.
class CellTextDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The width of one cell in a font: half of its full-width space. A glyph wider than its
    // cells is drawn narrowed, so that none reaches into its neighbour.
    static qreal cellWidth(const QFont& font);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
