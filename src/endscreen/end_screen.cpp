#include "end_screen.h"

#include "platform/pending_events.h"
#include "records/results_store.h"
#include "sound/sound_players.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/form_registry.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QPointer>
#include <QTimer>

EndScreen::EndScreen(ScreenContext& context) : Form(formname::kEndScreen.toString()), m_context(context) {}

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
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &EndScreen::settle);
}

void EndScreen::formActivate()
{
    QPointer<EndScreen> self(this);
    SharedState& state = m_context.services.state;
    const int c = state.current.course;
    const int p = state.current.pupilNo;
    m_levelToday->setText(shortestDecimal(double(state.stats.todayCount(c, p)) + 1));

    ResultsStore store(m_context.services, m_context.pause);
    if (!store.computeStatistics())
        return;
    const endresult::Assessment a = endresult::assess(state.current, state.stats, state.rules, state.catalogue);
    m_cleared = a.cleared;
    if (a.cleared)
        m_clearedLabel->show();
    if (a.showTargetPanel) {
        m_targetPanel->show();
        m_targetPanel->raise();
    }
    letPendingEventsRun();
    if (!self)
        return;
    m_timer->start();

    m_points->setText(a.pointsLine);
    m_result->setText(a.resultLine);
    m_pupilName->setText(state.current.pupilName.trimmed());
    m_title->setText(state.catalogue.courseTitle);
    m_courseName->setText(state.catalogue.courseNames[c]);
    m_levelToday->setText(a.levelTodayLine);
    m_allToday->setText(a.allTodayLine);

    letPendingEventsRun();
    if (!self)
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

    state.current.newPersonalBest = 0;
    state.current.newCourseBest = 0;
    letPendingEventsRun();
    if (!self)
        return;
    m_context.forms.unload(formname::kWait);
}

void EndScreen::settle()
{
    const SharedState& state = m_context.services.state;
    m_timer->stop();
    m_targetPanel->hide();
    m_toMenu->show();
    m_toMenu->setFocus(Qt::OtherFocusReason);
    const endresult::Settled s = endresult::settle(state.current, state.stats, state.rules, state.catalogue, m_cleared);
    if (s.clearLabel) {
        m_clearedLabel->clear();
        m_clearedLabel->hide();
    }
    if (!s.label.isEmpty())
        m_clearedLabel->setText(s.label);
    m_again->setVisible(s.showRetry);
}

void EndScreen::toBoard()
{
    if (!m_toMenu->isEnabled())
        return; // already on the way to the board
    m_toMenu->setEnabled(false);
    m_context.navigator.openResultsViewer();
    m_context.forms.unload(this);
    letPendingEventsRun();
}

void EndScreen::again()
{
    m_toMenu->setEnabled(false);
    m_context.navigator.showWaitScreen();
    ScreenContext& context = m_context;
    context.forms.unload(this);
    letPendingEventsRun();
    context.navigator.startDrill();
}
