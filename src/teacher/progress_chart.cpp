#include "progress_chart.h"

#include "ui/ui_helpers.h"

#include <QChart>
#include <QCoreApplication>
#include <QDateTimeAxis>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

namespace progresschart {

QChart* make(const QList<progressgraph::CourseSeries>& series)
{
    auto* chart = new QChart();
    chart->setFont(uih::font(11));
    chart->legend()->setFont(uih::font(10));
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QDateTimeAxis();
    x->setFormat(QStringLiteral("M/d"));
    x->setTitleText(QStringLiteral("日付"));
    x->setLabelsFont(uih::font(10));
    auto* y = new QValueAxis();
    y->setTitleText(QStringLiteral("タイム（秒）"));
    y->setLabelFormat(QStringLiteral("%d"));
    y->setLabelsFont(uih::font(10));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double first = 0;
    double last = 0;
    double highest = 0;
    for (const auto& s : series) {
        first = first == 0 ? s.points.first().x() : std::min(first, s.points.first().x());
        last = std::max(last, s.points.last().x());
        for (const QPointF& p : s.points)
            highest = std::max(highest, p.y());
        highest = std::max<double>(highest, s.secondTargetTime);
    }
    if (last <= first)
        last = first + 24.0 * 3600 * 1000;
    for (const auto& s : series) {
        auto* line = new QLineSeries();
        line->setName(s.name);
        line->append(s.points);
        line->setPointsVisible(true);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        const QColor colour = line->color();
        const struct
        {
            qint32 time;
            const char16_t* label;
            Qt::PenStyle style;
        } targets[] = {{s.targetTime, u"目標", Qt::DashLine}, {s.secondTargetTime, u"第2目標", Qt::DotLine}};
        for (const auto& t : targets) {
            if (t.time <= 0)
                continue;
            auto* target = new QLineSeries();
            target->setName(s.name + QString::fromUtf16(t.label));
            target->append(first, t.time);
            target->append(last, t.time);
            target->setPen(QPen(colour, 1.5, t.style));
            chart->addSeries(target);
            target->attachAxis(x);
            target->attachAxis(y);
        }
    }
    x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(first)), QDateTime::fromMSecsSinceEpoch(qint64(last)));
    y->setRange(0, std::max(10.0, highest * 1.1));
    return chart;
}

QImage render(const QList<progressgraph::CourseSeries>& series, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    if (series.isEmpty())
        return image;
    // Laid out in a scene of its own, without a window: the chart takes the picture's size.
    QGraphicsScene scene;
    QChart* chart = make(series);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    if (chart->layout())
        chart->layout()->activate();
    // The chart lays itself out through posted layout requests; only those are sent, no
    // window event runs here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace progresschart
