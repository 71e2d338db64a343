#include "board_screen.h"

#include "platform/pending_events.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/form_registry.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

namespace {
constexpr int kColumnWidth = 196; // 3456 twips at the form's scale
constexpr int kFirstColumnX = 28;
} // namespace

BoardScreen::BoardScreen(ScreenContext& context)
    : Form(formname::kBoard.toString()), m_context(context), m_board(context.services, context.pause)
{}

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

    const QList<CourseBoard::Column> columns = m_board.layout();
    const int count = int(columns.size()) - 1;
    const int width = count < 5 ? 14592 / 15 / std::max(count, 1) : kColumnWidth;
    for (QList<QLabel*>* list : {&m_names, &m_today, &m_total})
        list->resize(count + 1);
    m_start.resize(count + 1);
    for (int i = 1; i <= count; ++i) {
        const int x = kFirstColumnX + (i - 1) * width;
        auto* name = uih::label(this, QStringLiteral("Label3_%1").arg(i), columns[i].name,
                                QRect(x, 140, width - 12, 40), 20, true);
        name->setCursor(Qt::PointingHandCursor);
        name->installEventFilter(this);
        m_names[i] = name;
        auto* rule =
            uih::label(this, QStringLiteral("Label7_%1").arg(i), columns[i].rule, QRect(x, 184, width - 12, 56), 11);
        rule->setWordWrap(true);
        uih::label(this, QStringLiteral("Label9_%1").arg(i), QStringLiteral("今日"), QRect(x, 244, 60, 28), 12);
        m_today[i] =
            uih::label(this, QStringLiteral("Label14_%1").arg(i), QString(), QRect(x + 60, 244, width - 72, 28), 12);
        uih::label(this, QStringLiteral("Label10_%1").arg(i), QStringLiteral("今まで"), QRect(x, 276, 60, 28), 12);
        m_total[i] =
            uih::label(this, QStringLiteral("Label15_%1").arg(i), QString(), QRect(x + 60, 276, width - 72, 28), 12);
        auto* start = uih::button(this, QStringLiteral("Command4_%1").arg(i), courseboard::startCaption(i),
                                  QRect(x, 316, width - 24, 52), 16);
        connect(start, &QPushButton::clicked, this, [this, i] { startCourse(i); });
        m_start[i] = start;
    }
    m_minutes = uih::label(this, "Label17", QString(), QRect(780, 16, 220, 30), 14);
    m_todayTotal = uih::label(this, "Label18", QString(), QRect(780, 48, 220, 30), 14);
    auto* back = uih::button(this, "Command1", QStringLiteral("戻る(0)"), QRect(840, 690, 160, 52), 16);
    connect(back, &QPushButton::clicked, this, &BoardScreen::backToMenu);
    m_print = uih::button(this, "Command24_1", QStringLiteral("印刷"), QRect(660, 690, 160, 52), 16);
    m_print->setVisible(false);

    m_wait = uih::waitPanel(this, QStringLiteral("Picture2"), QStringLiteral("Label1"), accent);
}

void BoardScreen::formActivate()
{
    m_context.forms.unload(formname::kMenu);
    if (!m_board.refresh())
        return; // the program has been ended
    m_minutes->setText(m_board.minutesSinceStart());
    m_todayTotal->setText(m_board.todayTotal());
    m_print->setVisible(m_board.showsTeacherTools());
    const QList<CourseBoard::Column>& columns = m_board.columns();
    for (int i = 1; i < m_start.size() && i < columns.size(); ++i) {
        for (const char* name : {"Label9_%1", "Label10_%1"})
            findChild<QLabel*>(QString::fromLatin1(name).arg(i))->setVisible(!columns[i].practice);
        m_today[i]->setVisible(!columns[i].practice);
        m_total[i]->setVisible(!columns[i].practice);
        m_today[i]->setText(columns[i].today);
        m_total[i]->setText(columns[i].total);
        m_start[i]->setEnabled(true);
    }
    if (m_start.size() > 1)
        m_start[1]->setFocus(Qt::OtherFocusReason);
}

void BoardScreen::startCourse(int course)
{
    if (course < 1 || course >= m_start.size() || !m_start[course]->isEnabled() || !m_board.choose(course))
        return;
    m_wait->show();
    m_wait->raise();
    letPendingEventsRun();
    // The drill unloads the board once it is shown; a level without problems leaves it here.
    QPointer<BoardScreen> self(this);
    m_context.navigator.startDrill();
    if (self)
        m_wait->hide();
}

void BoardScreen::backToMenu()
{
    m_wait->show();
    m_wait->raise();
    m_context.navigator.showMenu();
}

void BoardScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QStringLiteral("0")) {
        backToMenu();
        return;
    }
    Form::keyPressEvent(event);
}

bool BoardScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const int i = int(m_names.indexOf(static_cast<QLabel*>(watched)));
        if (i >= 1) {
            startCourse(i);
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}
