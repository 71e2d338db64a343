#pragma once

#include <QFont>
#include <QHash>
#include <QStyledItemDelegate>
#include <optional>

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

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // A font's cell (half of its full-width space: a glyph wider than its cells is drawn
    // narrowed, so that none reaches into its neighbour), line height, ascent, and each
    // character's advance once it has been drawn: a list shows the same few dozen characters
    // on every line.
    struct Measures
    {
        QFont font;
        qreal cell = 0;
        qreal height = 0;
        qreal ascent = 0;
        mutable QHash<char32_t, qreal> advances;
    };
    const Measures& measuresFor(const QFont& font) const;

    mutable std::optional<Measures> m_measures;
};
