#pragma once

#include "progress_graph.h"

#include <QDialog>

// "グラフ": a pupil's attempt times per course over time, with each course's target times as
// lines; "まだ記録がありません" when there is nothing to draw. Closes with its button or Esc.
class GraphWindow final : public QDialog
{
    Q_OBJECT
public:
    GraphWindow(const QString& pupilName, const QList<progressgraph::CourseSeries>& series, QWidget* parent);
};
