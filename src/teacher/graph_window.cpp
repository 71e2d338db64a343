#include "graph_window.h"

#include "progress_chart.h"
#include "ui/ui_helpers.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

GraphWindow::GraphWindow(const QString& pupilName, const QList<progressgraph::CourseSeries>& series, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("frmGraph");
    setWindowTitle(QStringLiteral("グラフ　%1").arg(pupilName));
    resize(860, 600);
    auto* layout = new QVBoxLayout(this);
    if (series.isEmpty()) {
        auto* empty = uih::label(this, "LabelEmpty", QStringLiteral("まだ記録がありません"), QRect(), 20, true);
        empty->setAlignment(Qt::AlignCenter);
        layout->addWidget(empty, 1);
    } else {
        auto* view = new progresschart::View(series, this);
        view->setObjectName("ChartGraph");
        layout->addWidget(view, 1);
    }
    auto* close = uih::button(this, "CommandClose", QStringLiteral("閉じる"), QRect(), 14);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}
