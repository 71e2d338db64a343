#pragma once

#include "progress_graph.h"

#include <QImage>
#include <QWidget>

class QPainter;

// The chart of a pupil's times per course: one coloured line per course, its target time
// dashed and its second target dotted in the same colour, the seconds from 0 with round ticks,
// the dates below, and a legend that names every course in full and tells the three kinds of
// line apart. Drawn with the painter alone, for the graph window and the printed page.
namespace progresschart {

QColor colour(int seriesIndex);
void paint(QPainter& painter, const QRectF& area, const QList<progressgraph::CourseSeries>& series);
// The same chart as a picture of the given size, white where there is nothing to draw.
QImage render(const QList<progressgraph::CourseSeries>& series, const QSize& size);

// The chart in a window.
class View final : public QWidget
{
    Q_OBJECT
public:
    View(QList<progressgraph::CourseSeries> series, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<progressgraph::CourseSeries> m_series;
};

} // namespace progresschart
