#include "certificate_page.h"

#include "ui/ui_helpers.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace certificatepage {

QFont face(qreal pixelSize, bool bold)
{
    QFont f = uih::font(10, bold);
    if (const QString mincho = uih::minchoFamily(); !mincho.isEmpty())
        f.setFamily(mincho);
    f.setPixelSize(std::max(1, qRound(pixelSize)));
    return f;
}

bool turnedInColumn(QChar ch)
{
    static const QString turned = QStringLiteral("ー－―‐-～〜…‥（）()「」『』［］【】〔〕〈〉《》＝=");
    return turned.contains(ch);
}

bool smallKana(QChar ch)
{
    static const QString small = QStringLiteral("ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ");
    return small.contains(ch);
}

namespace {

// Text stood in a column: each character in a square cell of the font's size, from the top.
// Returns the bottom of the last cell.
qreal column(QPainter& painter, const QString& text, qreal centreX, qreal top, qreal step)
{
    const QFontMetricsF fm(painter.font());
    qreal y = top;
    for (const QChar ch : text) {
        const QRectF cell(centreX - step / 2, y, step, step);
        if (ch.isSpace()) {
            y += step;
            continue;
        }
        painter.save();
        if (turnedInColumn(ch)) {
            painter.translate(cell.center());
            painter.rotate(90);
            painter.drawText(QRectF(-step / 2, -step / 2, step, step), Qt::AlignCenter, QString(ch));
        } else if (smallKana(ch)) {
            painter.drawText(cell.translated(step * 0.12, -step * 0.12), Qt::AlignCenter, QString(ch));
        } else {
            painter.drawText(cell, Qt::AlignCenter, QString(ch));
        }
        painter.restore();
        y += step;
    }
    return y;
}

void frame(QPainter& painter, const QRectF& page)
{
    const qreal unit = std::min(page.width(), page.height());
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x8d, 0x6e, 0x63), unit * 0.008));
    painter.drawRect(page.adjusted(unit * 0.03, unit * 0.03, -unit * 0.03, -unit * 0.03));
    painter.setPen(QPen(QColor(0x8d, 0x6e, 0x63), unit * 0.002));
    painter.drawRect(page.adjusted(unit * 0.045, unit * 0.045, -unit * 0.045, -unit * 0.045));
    painter.restore();
}

void paintVertical(QPainter& painter, const QRectF& page, const certificate::Certificate& c)
{
    const qreal h = page.height();
    const qreal top = page.top() + h * 0.12;
    const qreal bottom = page.bottom() - h * 0.12;
    const qreal titleSize = h * 0.11;
    const qreal nameSize = h * 0.06;
    const qreal bodySize = h * 0.048;
    const qreal dateSize = h * 0.036;
    qreal x = page.right() - page.width() * 0.1;

    // 賞状, its two characters spread over the upper half of the column.
    painter.setFont(face(titleSize, true));
    x -= titleSize / 2;
    column(painter, c.title, x, top, titleSize * 1.45);
    x -= titleSize / 2 + nameSize * 1.1;

    // The name, a little lower than the title's top; a long one smaller, so that it ends above
    // the body's foot.
    const qreal nameTop = top + bodySize * 2;
    const qreal nameStep = std::min(nameSize * 1.05, (bottom - nameTop) / std::max<qsizetype>(1, c.name.size()));
    painter.setFont(face(nameStep / 1.05, true));
    column(painter, c.name, x, nameTop, nameStep);
    x -= nameSize / 2 + bodySize * 1.3;

    // The body, column after column; the paragraph from "よって" starts a new one, a character
    // lower.
    painter.setFont(face(bodySize));
    const qreal step = bodySize * 1.08;
    const qreal columnGap = bodySize * 1.55;
    for (qsizetype p = 0; p < c.paragraphs.size(); ++p) {
        const qreal indent = p > 0 ? step : 0;
        for (const QString& line : certificate::bodyColumns(c, int(p))) {
            column(painter, line, x, top + indent, step);
            x -= columnGap;
        }
    }
    x -= bodySize * 0.6;

    // The date, smaller, two characters down; the issuer at the left, ending at the foot.
    painter.setFont(face(dateSize));
    column(painter, c.date, x, top + bodySize * 2, dateSize * 1.08);
    x -= dateSize / 2 + nameSize * 1.2;
    painter.setFont(face(nameSize * 0.9, true));
    const qreal issuerStep = nameSize * 0.95;
    const qreal issuerTop = std::max(top, bottom - issuerStep * c.issuer.size());
    column(painter, c.issuer, x, issuerTop, issuerStep);
    if (!c.signer.isEmpty()) { // the one who signs, in the next column, also ending at the foot
        x -= nameSize * 1.2;
        column(painter, c.signer, x, std::max(top, bottom - issuerStep * c.signer.size()), issuerStep);
    }
}

// A bold line in the 明朝 face, set smaller when it would run past the width.
QFont fitted(qreal size, const QString& text, qreal width)
{
    const qreal advance = QFontMetricsF(face(size, true)).horizontalAdvance(text);
    return face(advance > width ? size * width / advance * 0.97 : size, true);
}

void paintHorizontal(QPainter& painter, const QRectF& page, const certificate::Certificate& c)
{
    const qreal w = page.width();
    const QRectF area = page.adjusted(w * 0.12, page.height() * 0.08, -w * 0.12, -page.height() * 0.08);
    qreal y = area.top();
    const qreal titleSize = w * 0.12;
    painter.setFont(face(titleSize, true));
    QString spaced = c.title;
    if (spaced.size() == 2)
        spaced.insert(1, QStringLiteral("　"));
    painter.drawText(QRectF(area.left(), y, area.width(), titleSize * 1.5), Qt::AlignCenter, spaced);
    y += titleSize * 2.0;
    const qreal nameSize = w * 0.06;
    painter.setFont(fitted(nameSize, c.name, area.width()));
    painter.drawText(QRectF(area.left(), y, area.width(), nameSize * 1.5), Qt::AlignLeft | Qt::AlignVCenter, c.name);
    y += nameSize * 2.4;
    const qreal bodySize = w * 0.04;
    painter.setFont(face(bodySize));
    for (const QString& paragraph : c.paragraphs) {
        const QRectF room(area.left(), y, area.width(), area.bottom() - y);
        const QRectF used = painter.boundingRect(room, Qt::TextWordWrap, paragraph);
        painter.drawText(room, Qt::TextWordWrap, paragraph);
        y += used.height() + bodySize * 0.6;
    }
    y += bodySize * 1.5;
    const qreal dateSize = w * 0.035;
    painter.setFont(face(dateSize));
    painter.drawText(QRectF(area.left(), y, area.width(), dateSize * 1.5), Qt::AlignLeft | Qt::AlignVCenter, c.date);
    y += dateSize * 3;
    painter.setFont(fitted(nameSize * 0.9, c.issuer, area.width()));
    painter.drawText(QRectF(area.left(), y, area.width(), nameSize * 1.4), Qt::AlignRight | Qt::AlignVCenter, c.issuer);
    if (!c.signer.isEmpty()) {
        y += nameSize * 1.5;
        painter.setFont(fitted(nameSize * 0.9, c.signer, area.width()));
        painter.drawText(QRectF(area.left(), y, area.width(), nameSize * 1.4), Qt::AlignRight | Qt::AlignVCenter,
                         c.signer);
    }
}

} // namespace

void paint(QPainter& painter, const QRectF& page, const certificate::Certificate& c, certificate::Writing writing)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    frame(painter, page);
    painter.setPen(Qt::black);
    if (writing == certificate::Writing::Vertical)
        paintVertical(painter, page, c);
    else
        paintHorizontal(painter, page, c);
    painter.restore();
}

} // namespace certificatepage
