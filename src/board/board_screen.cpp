#include "board_screen.h"

#include "course_board.h"
#include "drill/attempt.h"
#include "platform/pending_events.h"
#include "records/results_store.h"
#include "state/clock.h"
#include "state/shared_state.h"
#include "ui/form_registry.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace {
constexpr int kColumnWidth = 196; // 3456 twips at the form's scale
constexpr int kFirstColumnX = 28;
} // namespace

BoardScreen::BoardScreen(ScreenContext& context) : Form(QStringLiteral("seisekitime1")), m_context(context) {}

void BoardScreen::formLoad()
{
    SharedState& state = m_context.services.state;
    const QColor accent = uih::accent(state.catalogue.accentColour);
    setWindowTitle(state.catalogue.courseTitle);
    setFixedSize(1024, 768);
    uih::setBackground(this, accent);
    setStyleSheet(QStringLiteral("QLabel { color: white; }"));

    const QString title = state.catalogue.courseTitle;
    uih::label(this, "Label11", title, QRect(28, 16, 600, 48), title.size() > 9 ? 20 : 24, true);
    const int p = state.current.pupilNo;
    uih::label(this, "Label12", state.current.pupilGrade + QStringLiteral(" ") + state.current.pupilName.trimmed(),
               QRect(28, 72, 420, 36), 18, true);
    uih::label(this, "Label13", state.organisation.schoolName + QStringLiteral(":") + QString::number(p),
               QRect(460, 72, 300, 36), 14);

    const int count = state.catalogue.courseCount;
    const int width = count < 5 ? 14592 / 15 / std::max(count, 1) : kColumnWidth;
    m_start.resize(count + 1);
    m_names.resize(count + 1);
    for (int i = 1; i <= count; ++i) {
        const int x = kFirstColumnX + (i - 1) * width;
        auto* name = uih::label(this, QStringLiteral("Label3_%1").arg(i), state.catalogue.courseNames[i],
                                QRect(x, 140, width - 12, 40), 20, true);
        name->setCursor(Qt::PointingHandCursor);
        name->installEventFilter(this);
        m_names[i] = name;
        auto* rule = uih::label(this, QStringLiteral("Label7_%1").arg(i), courseboard::ruleCaption(state, i),
                                QRect(x, 184, width - 12, 56), 11);
        rule->setWordWrap(true);
        uih::label(this, QStringLiteral("Label9_%1").arg(i), QStringLiteral("今日"), QRect(x, 244, 60, 28), 12);
        uih::label(this, QStringLiteral("Label14_%1").arg(i), QString(), QRect(x + 60, 244, width - 72, 28), 12);
        uih::label(this, QStringLiteral("Label10_%1").arg(i), QStringLiteral("今まで"), QRect(x, 276, 60, 28), 12);
        uih::label(this, QStringLiteral("Label15_%1").arg(i), QString(), QRect(x + 60, 276, width - 72, 28), 12);
        auto* start = uih::button(this, QStringLiteral("Command4_%1").arg(i), courseboard::startCaption(i),
                                  QRect(x, 316, width - 24, 52), 16);
        connect(start, &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
        m_start[i] = start;
    }
    uih::label(this, "Label17", QString(), QRect(780, 16, 220, 30), 14);
    uih::label(this, "Label18", QString(), QRect(780, 48, 220, 30), 14);
    auto* back = uih::button(this, "Command1", QStringLiteral("戻る(0)"), QRect(840, 690, 160, 52), 16);
    connect(back, &QPushButton::clicked, this, &BoardScreen::Command1_Click);
    auto* print = uih::button(this, "Command24_1", QStringLiteral("印刷"), QRect(660, 690, 160, 52), 16);
    print->setVisible(false);

    m_wait = new QWidget(this);
    m_wait->setObjectName("Picture2");
    m_wait->setGeometry(262, 300, 500, 140);
    uih::setBackground(m_wait, accent);
    uih::label(m_wait, "Label1", QStringLiteral("Just a moment, please."), QRect(0, 40, 500, 60), 20, true)
        ->setAlignment(Qt::AlignCenter);
    m_wait->hide();
}

void BoardScreen::formActivate()
{
    m_context.forms.unload(QStringLiteral("namesel"));
    SharedState& state = m_context.services.state;
    ResultsStore store(m_context.services, m_context.pause);
    if (!store.computeStatistics())
        return;
    const int p = state.current.pupilNo;
    const int secondsNow = m_context.services.clock.timeOfDay().msecsSinceStartOfDay() / 1000;
    findChild<QLabel*>("Label17")->setText(courseboard::minutesSinceStart(state, secondsNow));
    findChild<QLabel*>("Label18")->setText(courseboard::todayTotal(state, p));
    findChild<QPushButton*>("Command24_1")->setVisible(state.current.pupilName.contains(QStringLiteral("先生")));
    for (int i = 1; i < m_start.size(); ++i) {
        const bool practice = attempt::isPractice(state, i);
        if (practice) {
            state.rules.targetTime[i] = 600;
            state.rules.secondTargetTime[i] = 600;
        }
        for (const char* name : {"Label9_%1", "Label14_%1", "Label10_%1", "Label15_%1"})
            findChild<QLabel*>(QString::fromLatin1(name).arg(i))->setVisible(!practice);
        findChild<QLabel*>(QStringLiteral("Label14_%1").arg(i))->setText(courseboard::todayFigures(state, i, p));
        findChild<QLabel*>(QStringLiteral("Label15_%1").arg(i))->setText(courseboard::totalFigures(state, i, p));
        m_start[i]->setEnabled(true);
    }
    state.current.topLevelCleared = courseboard::topLevelCleared(state, p);
    if (m_start.size() > 1)
        m_start[1]->setFocus(Qt::OtherFocusReason);
    m_firstActivation = false;
}

void BoardScreen::Command4_Click(int course)
{
    if (course < 1 || course >= m_start.size() || !m_start[course]->isEnabled())
        return;
    m_wait->show();
    m_wait->raise();
    m_context.services.state.current.course = qint16(course);
    letPendingEventsRun();
    m_firstActivation = true;
    ScreenContext& context = m_context;
    context.navigator.startDrill();
    context.forms.unload(this);
}

void BoardScreen::Label3_Click(int course)
{
    if (course < 1 || course >= m_start.size() || !m_start[course]->isEnabled())
        return;
    m_context.services.state.current.course = qint16(course);
    m_context.navigator.startDrill();
}

void BoardScreen::Command1_Click()
{
    m_wait->show();
    m_wait->raise();
    m_context.navigator.showMenu();
}

void BoardScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QStringLiteral("0")) {
        Command1_Click();
        return;
    }
    Form::keyPressEvent(event);
}

bool BoardScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const int i = int(m_names.indexOf(static_cast<QLabel*>(watched)));
        if (i >= 1) {
            Label3_Click(i);
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}
