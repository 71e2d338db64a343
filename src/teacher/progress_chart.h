#pragma once

#include "progress_graph.h"

#include <QImage>

class QChart;

// The chart of a pupil's times per course with each course's target times as lines, for the
// graph window and the printed page.
namespace progresschart {

QChart* make(const QList<progressgraph::CourseSeries>& series);
// The same chart as a picture of the given size, white where there is nothing to draw.
QImage render(const QList<progressgraph::CourseSeries>& series, const QSize& size);

} // namespace progresschart
