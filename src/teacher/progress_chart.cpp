#include "progress_chart.h"

#include "ui/ui_helpers.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace progresschart {
namespace {

constexpr double kMsPerDay = 24.0 * 3600 * 1000;

struct Legend
{
    QString text;
    QColor colour;
    Qt::PenStyle style;
};

// The legend's entries, laid out in rows that fit the width; returns the height they take.
qreal legendHeight(const QList<Legend>& entries, const QFontMetricsF& metrics, qreal width)
{
    const qreal sample = 36;
    qreal x = 0;
    int rows = entries.isEmpty() ? 0 : 1;
    for (const Legend& e : entries) {
        const qreal w = sample + 6 + metrics.horizontalAdvance(e.text) + 24;
        if (x > 0 && x + w > width) {
            ++rows;
            x = 0;
        }
        x += w;
    }
    return rows * (metrics.height() + 6);
}

void drawLegend(QPainter& painter, const QList<Legend>& entries, const QRectF& area)
{
    const QFontMetricsF metrics(painter.font());
    const qreal sample = 36;
    const qreal rowHeight = metrics.height() + 6;
    qreal x = area.left();
    qreal y = area.top();
    for (const Legend& e : entries) {
        const qreal w = sample + 6 + metrics.horizontalAdvance(e.text) + 24;
        if (x > area.left() && x + w > area.right()) {
            x = area.left();
            y += rowHeight;
        }
        const qreal middle = y + rowHeight / 2;
        painter.setPen(QPen(e.colour, 2.5, e.style, Qt::FlatCap));
        painter.drawLine(QPointF(x, middle), QPointF(x + sample, middle));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + sample + 6, y, w, rowHeight), Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += w;
    }
}

} // namespace

QColor colour(int index)
{
    static const QColor colours[] = {{0x1f, 0x77, 0xb4}, {0xd6, 0x27, 0x28}, {0x2c, 0xa0, 0x2c}, {0xff, 0x7f, 0x0e},
                                     {0x94, 0x67, 0xbd}, {0x8c, 0x56, 0x4b}, {0xe3, 0x77, 0xc2}, {0x17, 0xbe, 0xcf}};
    return colours[index % int(std::size(colours))];
}

void paint(QPainter& painter, const QRectF& area, const QList<progressgraph::CourseSeries>& series)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    // Sizes follow the area, so the window and the printed page look alike.
    const qreal unit = std::max(6.0, std::min(area.width(), area.height() * 1.6) / 90);
    QFont font = uih::font(10);
    font.setPixelSize(int(std::lround(unit * 1.5)));
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    QList<Legend> legend;
    for (int i = 0; i < series.size(); ++i)
        legend.append({series[i].name, colour(i), Qt::SolidLine});
    legend.append({QStringLiteral("記録"), Qt::darkGray, Qt::SolidLine});
    legend.append({QStringLiteral("目標"), Qt::darkGray, Qt::DashLine});
    legend.append({QStringLiteral("第2目標"), Qt::darkGray, Qt::DotLine});

    const qreal left = area.left() + metrics.horizontalAdvance(QStringLiteral("00000")) + metrics.height() + unit;
    const qreal right = area.right() - 2 * unit;
    const qreal legendTop = area.bottom() - unit - legendHeight(legend, metrics, right - area.left() - unit);
    const qreal bottom = legendTop - 2 * metrics.height() - 2 * unit;
    const qreal top = area.top() + 2 * unit;
    const QRectF plot(QPointF(left, top), QPointF(right, bottom));

    const progressgraph::ValueAxis values = progressgraph::valueAxis(progressgraph::highest(series) * 1.05);
    const progressgraph::DateAxis dates = progressgraph::dateAxis(series);
    const double firstMs = QDateTime(dates.first, QTime(0, 0)).toMSecsSinceEpoch();
    const double lastMs = QDateTime(dates.last, QTime(0, 0)).toMSecsSinceEpoch() + kMsPerDay;
    const auto xOf = [&](double ms) { return plot.left() + (ms - firstMs) / (lastMs - firstMs) * plot.width(); };
    const auto yOf = [&](double seconds) { return plot.bottom() - seconds / values.top * plot.height(); };

    // Grid and axis labels.
    painter.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
    for (double v = 0; v <= values.top + values.step / 2; v += values.step) {
        painter.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
        painter.drawLine(QPointF(plot.left(), yOf(v)), QPointF(plot.right(), yOf(v)));
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(area.left(), yOf(v) - metrics.height() / 2, left - area.left() - unit / 2, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(qint64(std::llround(v))));
    }
    for (QDate d = dates.first; d.isValid() && d <= dates.last; d = d.addDays(dates.stepDays)) {
        const qreal x = xOf(QDateTime(d, QTime(12, 0)).toMSecsSinceEpoch());
        painter.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 50, plot.bottom() + unit / 2, 100, metrics.height()), Qt::AlignCenter,
                         d.toString(QStringLiteral("M/d")));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRectF(plot.left(), plot.bottom() + unit / 2 + metrics.height(), plot.width(), metrics.height()),
                     Qt::AlignCenter, QStringLiteral("日付"));
    painter.save();
    painter.translate(area.left() + metrics.height() / 2 + 2, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, -metrics.height() / 2, plot.height(), metrics.height()),
                     Qt::AlignCenter, QStringLiteral("タイム（秒）"));
    painter.restore();

    // The courses: targets first, then the times over them.
    painter.setClipRect(plot.adjusted(-unit, -unit, unit, 1));
    for (int i = 0; i < series.size(); ++i) {
        const progressgraph::CourseSeries& s = series[i];
        for (const auto& [time, style] : {std::pair{s.targetTime, Qt::DashLine}, {s.secondTargetTime, Qt::DotLine}}) {
            if (time <= 0)
                continue;
            painter.setPen(QPen(colour(i), 1.8, style, Qt::FlatCap));
            painter.drawLine(QPointF(plot.left(), yOf(time)), QPointF(plot.right(), yOf(time)));
        }
    }
    for (int i = 0; i < series.size(); ++i) {
        const progressgraph::CourseSeries& s = series[i];
        QPainterPath path;
        for (qsizetype k = 0; k < s.points.size(); ++k) {
            const QPointF p(xOf(s.points[k].x()), yOf(s.points[k].y()));
            if (k == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        painter.setPen(QPen(colour(i), 2.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setBrush(colour(i));
        for (const QPointF& p : s.points)
            painter.drawEllipse(QPointF(xOf(p.x()), yOf(p.y())), unit / 3, unit / 3);
    }
    painter.setClipping(false);
    drawLegend(painter, legend,
               QRectF(area.left() + unit, legendTop, right - area.left() - unit, area.bottom() - legendTop));
    painter.restore();
}

QImage render(const QList<progressgraph::CourseSeries>& series, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    if (series.isEmpty())
        return image;
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)), series);
    return image;
}

View::View(QList<progressgraph::CourseSeries> series, QWidget* parent) : QWidget(parent), m_series(std::move(series))
{
    setMinimumSize(400, 300);
}

void View::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QRectF(rect()), m_series);
}

} // namespace progresschart
