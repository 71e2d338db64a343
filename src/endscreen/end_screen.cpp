#include "end_screen.h"

#include "sound/sound_players.h"
#include "state/clock.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QTimer>

EndScreen::EndScreen(ScreenContext& context, const AttemptOutcome& outcome)
    : Form(formname::kEndScreen.toString()), m_context(context), m_outcome(outcome)
{}

void EndScreen::formLoad()
{
    setWindowTitle(QStringLiteral("終了"));
    setFixedSize(1024, 768);
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setGeometry(0, 0, 1024, 768);
    image->setStyleSheet(
        QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e0f7fa, stop:1 #fff8e1);"));

    m_title = uih::label(this, "Label15", QString(), QRect(40, 24, 944, 56), 28, true);
    m_courseName = uih::label(this, "Label16", QString(), QRect(40, 96, 400, 48), 24, true);
    m_pupilName = uih::label(this, "Label17", QString(), QRect(460, 96, 520, 48), 24);
    m_result = uih::label(this, "Label18", QString(), QRect(40, 180, 944, 72), 40, true);
    m_points = uih::label(this, "Label19", QString(), QRect(40, 270, 944, 56), 26);
    m_levelToday = uih::label(this, "Label13", QString(), QRect(40, 340, 460, 44), 20);
    m_allToday = uih::label(this, "Label14", QString(), QRect(520, 340, 460, 44), 20);
    m_recordMessage = uih::label(this, "Label20", QString(), QRect(40, 400, 944, 64), 32, true);
    m_recordMessage->setStyleSheet(QStringLiteral("color: #d32f2f"));
    m_recordMessage->hide();
    m_clearedLabel = uih::label(this, "Label2", QStringLiteral("このレベルクリア"), QRect(40, 480, 944, 56), 28, true);
    m_clearedLabel->setStyleSheet(QStringLiteral("color: #2e7d32"));
    m_clearedLabel->hide();
    m_clearLine = uih::label(this, "LabelClear", QString(), QRect(40, 540, 944, 64), 22, true);
    m_clearLine->setStyleSheet(QStringLiteral("color: #004d40"));
    m_clearLine->hide();
    // A level cleared for the first time: a heading of its own, larger than every other line.
    m_clearHeading = uih::label(this, "LabelCleared", QString(), QRect(40, 520, 944, 92), 44, true);
    m_clearHeading->setStyleSheet(QStringLiteral("color: #d84315"));
    m_clearHeading->hide();
    m_targetPanel = new QWidget(this);
    m_targetPanel->setObjectName("Picture1");
    m_targetPanel->setGeometry(162, 260, 700, 160);
    uih::setBackground(m_targetPanel, QColor(255, 235, 59));
    uih::label(m_targetPanel, "Label1", QStringLiteral("目標レベルクリア。おめでとう！"), QRect(0, 40, 700, 80), 30,
               true)
        ->setAlignment(Qt::AlignCenter);
    m_targetPanel->hide();

    m_toMenu = uih::button(this, "Command4", QStringLiteral("メニューへ"), QRect(300, 620, 200, 64), 20);
    m_again = uih::button(this, "Command5", QStringLiteral("もう一度"), QRect(540, 620, 200, 64), 20);
    m_toMenu->hide();
    m_again->hide();
    connect(m_toMenu, &QPushButton::clicked, this, &EndScreen::toBoard);
    connect(m_again, &QPushButton::clicked, this, &EndScreen::again);

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(m_context.services.clock.screenPauseMs(500));
    connect(m_timer, &QTimer::timeout, this, &EndScreen::settle);
}

// The statistics already count the attempt: they were recomputed when it was recorded.
void EndScreen::formActivate()
{
    const SharedState& state = m_context.services.state;
    const int c = m_outcome.course;
    const endresult::Assessment a = endresult::assess(m_outcome, state.stats, state.rules, state.catalogue);
    if (a.cleared)
        m_clearedLabel->show();
    if (a.showTargetPanel) {
        m_targetPanel->show();
        m_targetPanel->raise();
    }
    if (!letEventsRun())
        return;

    m_points->setText(a.pointsLine);
    m_result->setText(a.resultLine);
    m_pupilName->setText(state.current.pupilName.trimmed());
    m_title->setText(state.catalogue.courseTitle);
    m_courseName->setText(state.catalogue.courseNames[c]);
    m_levelToday->setText(a.levelTodayLine);
    m_allToday->setText(a.allTodayLine);
    QLabel* clear = a.firstClear ? m_clearHeading : m_clearLine;
    clear->setText(a.clearLine);
    clear->setVisible(!a.clearLine.isEmpty());

    if (!letEventsRun())
        return;
    if (!a.recordMessage.isEmpty()) {
        m_recordMessage->setText(a.recordMessage);
        m_recordMessage->show();
    }
    repaint(); // the message stands on the screen while its sound plays
    switch (a.sound) {
    case endresult::RecordSound::CourseBest:
        m_context.sounds.playBestSound();
        break;
    case endresult::RecordSound::PersonalBest:
        m_context.sounds.playPersonalBestSound();
        break;
    case endresult::RecordSound::Fail:
        m_context.sounds.playFailSound();
        break;
    case endresult::RecordSound::None:
        break;
    }
    if (a.playPass)
        m_context.sounds.playPassSound();
    if (a.hideTargetPanel)
        m_targetPanel->hide();
    m_timer->start(); // once the screen is all there
}

void EndScreen::settle()
{
    const SharedState& state = m_context.services.state;
    m_timer->stop();
    m_targetPanel->hide();
    m_toMenu->show();
    m_toMenu->setFocus(Qt::OtherFocusReason);
    const endresult::Settled s = endresult::settle(m_outcome, state.stats, state.rules, state.catalogue);
    if (s.clearLabel) {
        m_clearedLabel->clear();
        m_clearedLabel->hide();
    }
    if (!s.label.isEmpty())
        m_clearedLabel->setText(s.label);
    m_again->setVisible(s.showRetry);
}

// Either way on is taken once: a second press while the next screen loads does nothing.
void EndScreen::toBoard()
{
    if (m_leaving)
        return;
    m_leaving = true;
    m_context.navigator.showBoard();
}

void EndScreen::again()
{
    if (m_leaving)
        return;
    m_leaving = true;
    m_context.navigator.startDrill(m_outcome.course);
}
