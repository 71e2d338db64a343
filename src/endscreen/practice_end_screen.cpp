#include "practice_end_screen.h"

#include "practice_result.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

PracticeEndScreen::PracticeEndScreen(ScreenContext& context, const PracticeOutcome& outcome)
    : Form(formname::kPracticeEnd.toString()), m_context(context), m_outcome(outcome)
{}

void PracticeEndScreen::formLoad()
{
    const SharedState& state = m_context.services.state;
    setWindowTitle(QStringLiteral("練習"));
    setFixedSize(1024, 768);
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setGeometry(0, 0, 1024, 768);
    image->setStyleSheet(
        QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff3e0, stop:1 #f1f8e9);"));

    uih::label(this, "Label15", QStringLiteral("練習"), QRect(40, 24, 300, 56), 28, true)
        ->setStyleSheet(QStringLiteral("color: #e65100"));
    // The weak numbers are a level's; the other practices are named for themselves.
    const QString name = m_outcome.name.isEmpty() ? QStringLiteral("にがてな数") : m_outcome.name;
    uih::label(this, "Label16",
               name == QStringLiteral("にがてな数") ? state.catalogue.courseNames[m_outcome.course] + u'　' + name
                                                    : name,
               QRect(40, 96, 520, 48), 22, true);
    uih::label(this, "Label17", state.current.pupilName.trimmed(), QRect(580, 96, 400, 48), 22);
    uih::label(this, "Label18", practiceresult::timeLine(m_outcome), QRect(40, 150, 600, 48), 24, true)
        ->setVisible(m_outcome.timed);

    // The numbers practised, one row each, in the order they were first shown.
    auto* table = new QWidget(this);
    table->setObjectName("Picture2");
    table->setGeometry(40, 210, 944, 390);
    auto* grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(2);
    const QStringList heads = {QStringLiteral("数"), QStringLiteral("これまで"), QStringLiteral("今回"), QString()};
    for (int c = 0; c < heads.size(); ++c)
        grid->addWidget(uih::label(table, QStringLiteral("lblHead%1").arg(c), heads[c], QRect(), 16, true), 0, c);
    const QList<practiceresult::Row> rows = practiceresult::rows(m_outcome);
    for (int r = 0; r < rows.size(); ++r) {
        const practiceresult::Row& row = rows[r];
        const QStringList cells = {row.number, row.before, row.now, row.verdict};
        for (int c = 0; c < cells.size(); ++c) {
            QLabel* l = uih::label(table, QStringLiteral("lblRow%1_%2").arg(r).arg(c), cells[c], QRect(),
                                   c == 0 ? 22 : 16, c == 0 || c == 3);
            if (c == 3)
                l->setStyleSheet(row.verdict == QStringLiteral("よくなった！") ? QStringLiteral("color: #2e7d32")
                                                                               : QStringLiteral("color: #6d4c41"));
            grid->addWidget(l, r + 1, c);
        }
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(int(rows.size()) + 1, 1);
    if (!m_outcome.logged) {
        uih::label(this, "lblNotLogged", QStringLiteral("この練習は記録できませんでした。"), QRect(40, 604, 944, 32),
                   14)
            ->setStyleSheet(QStringLiteral("color: #c62828"));
    }

    m_toMenu = uih::button(this, "Command4", QStringLiteral("メニューへ"), QRect(412, 640, 200, 64), 20);
    connect(m_toMenu, &QPushButton::clicked, this, &PracticeEndScreen::toBoard);
}

void PracticeEndScreen::formActivate()
{
    m_toMenu->setFocus(Qt::OtherFocusReason);
}

void PracticeEndScreen::toBoard()
{
    if (m_leaving)
        return;
    m_leaving = true;
    m_context.navigator.showBoard();
}
