#include "drill_screen.h"

#include "sound/sound_players.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

constexpr int kBoxWidth = 74;
constexpr int kBoxHeight = 64;
constexpr int kBoxStep = 80;
constexpr int kAnswerHeading = 30; // "こたえ" above the answer labels

const QColor kDefaultEntry(192, 192, 255);
const QColor kDivisorAnswer(128, 255, 128);
const QColor kStarAnswer(100, 100, 100);

// Colours of the pairs of positions k and 25 − k; from 9 on the window background.
QColor columnColour(int k, const QColor& windowBackground)
{
    static const QColor colours[] = {{0, 255, 0},     {0, 255, 255}, {192, 255, 192}, {255, 255, 192},
                                     {255, 192, 192}, {0, 192, 192}, {255, 128, 0},   {255, 128, 255}};
    return k >= 1 && k <= 8 ? colours[k - 1] : windowBackground;
}

QString backgroundStyle(const QString& kind, const QColor& c)
{
    return QStringLiteral("%1 { background-color: %2; color: black; }").arg(kind, c.name());
}

QRect slot(int k)
{
    const int column = (k - 1) % 12;
    const int row = (k - 1) / 12;
    return {12 + column * kBoxStep, 14 + row * (kBoxHeight + 20), kBoxWidth, kBoxHeight};
}

DivisorDrill::EditKey editKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return DivisorDrill::EditKey::Left;
    case Qt::Key_Backspace:
        return DivisorDrill::EditKey::Backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return DivisorDrill::EditKey::Enter;
    case Qt::Key_Up:
        return DivisorDrill::EditKey::Up;
    case Qt::Key_Right:
        return DivisorDrill::EditKey::Right;
    case Qt::Key_Down:
        return DivisorDrill::EditKey::Down;
    default:
        return DivisorDrill::EditKey::Other;
    }
}

} // namespace

DrillScreen::DrillScreen(ScreenContext& context, std::unique_ptr<DrillKind> kind)
    : Form(formname::kDrill.toString()), m_context(context), m_kind(std::move(kind)),
      m_course(m_kind->request().course), m_drawer(context.services.random)
{
    if (!m_kind->isAttempt())
        m_drawer.showInOrder(m_kind->request().numbers);
}

DrillScreen::~DrillScreen() = default;

void DrillScreen::formLoad()
{
    SharedState& state = m_context.services.state;
    DrillFrontEnd& frontEnd = *this;
    const DrillRequest& request = m_kind->request();
    m_drill = std::make_unique<DivisorDrill>(m_drawer, m_course, frontEnd, request.problems);
    m_drill->setClock([&clock = m_context.services.clock] { return clock.monotonicMs(); });
    setWindowTitle(state.catalogue.courseTitle);
    setFixedSize(1024, 768);
    setFocusPolicy(Qt::StrongFocus);
    uih::setBackground(this, QColor(255, 255, 240));

    uih::label(this, "Label16", QStringLiteral("約数を順に押しなさい"), QRect(24, 12, 420, 36), 18, true);
    m_number = uih::label(this, "Label8", QString(), QRect(24, 56, 330, 170), 110, true);
    m_number->setAccessibleDescription(QStringLiteral("出題の数")); // a screen reader says what the number is
    m_number->setAlignment(Qt::AlignCenter);
    m_number->setStyleSheet(QStringLiteral("color: #1a237e"));
    uih::label(this, "Label13", QStringLiteral("約数"), QRect(24, 236, 120, 36), 18, true);
    const QStringList instructions = {QStringLiteral("約数を順に入力しなさい"),
                                      QStringLiteral("できたらスペースを押しなさい"),
                                      QStringLiteral("最後はスペースだけ押しなさい")};
    for (int i = 0; i < 3; ++i) {
        auto* l = uih::label(this, QStringLiteral("Label%1").arg(i + 1), instructions[i],
                             QRect(380, 70 + i * 48, 380, 40), 18);
        l->setStyleSheet(QStringLiteral("color: #004d40"));
        l->hide();
        m_instructions.append(l);
    }
    m_acknowledge =
        uih::label(this, "Label15", QStringLiteral("\"+\"を２回おしなさい"), QRect(380, 110, 380, 60), 26, true);
    m_acknowledge->setStyleSheet(QStringLiteral("color: #c62828"));
    m_acknowledge->hide();
    m_nextStep = uih::label(this, "LabelNext", QString(), QRect(380, 172, 400, 64), 14, true);
    m_nextStep->setWordWrap(true);
    m_nextStep->setStyleSheet(QStringLiteral("color: #b71c1c"));
    m_nextStep->hide();

    // Status displays.
    const int sx = 790;
    uih::label(this, "Label7_1", QStringLiteral("ﾚﾍﾞﾙ"), QRect(sx, 20, 90, 36), 16);
    uih::label(this, "Label10", QString::number(m_course), QRect(sx + 100, 20, 110, 36), 20, true);
    uih::label(this, "Label4", QStringLiteral("あと"), QRect(sx, 66, 90, 36), 16);
    m_remaining = uih::label(this, "Label11", QString(), QRect(sx + 100, 66, 110, 36), 20, true);
    // Without a clock (a pupil who freezes under one) no time is shown at all.
    uih::label(this, "Label5", QStringLiteral("タイム"), QRect(sx, 112, 90, 36), 16)->setVisible(request.timed);
    m_elapsed = uih::label(this, "Label12", QStringLiteral("0"), QRect(sx + 100, 112, 110, 36), 20, true);
    m_elapsed->setVisible(request.timed);
    // A practice is not one of today's attempts.
    uih::label(this, "Label7_2", QStringLiteral("本日"), QRect(sx, 158, 90, 36), 16)->setVisible(m_kind->isAttempt());
    m_today = uih::label(this, "Label17", QString(), QRect(sx + 100, 158, 110, 36), 20, true);
    m_today->setVisible(m_kind->isAttempt());
    uih::label(this, "Label14", state.current.pupilName.trimmed(), QRect(sx, 204, 220, 36), 16, true);
    if (!m_kind->isAttempt()) {
        auto* name =
            uih::label(this, "lblPractice", request.name + QStringLiteral("の練習"), QRect(sx, 244, 220, 36), 16, true);
        name->setStyleSheet(QStringLiteral("color: #e65100"));
        auto* about = uih::label(this, "lblAbout", request.about, QRect(380, 240, 400, 44), 12);
        about->setWordWrap(true);
        about->setToolTip(request.about);
    }

    // The ring of entry boxes, copies of the hidden template, in two rows of 12.
    auto* boxes = new QWidget(this);
    boxes->setObjectName("Picture1");
    boxes->setGeometry(24, 290, 976, 2 * kBoxHeight + 48);
    const QColor windowBackground = palette().color(QPalette::Base);
    for (int k = 0; k <= DivisorDrill::kBoxCount; ++k) {
        auto* box = new QLineEdit(boxes);
        box->setObjectName(QStringLiteral("Text3_%1").arg(k));
        box->setGeometry(slot(std::max(k, 1)));
        box->setFont(uih::font(26, true, this));
        box->setAlignment(Qt::AlignCenter);
        box->setMaxLength(8);
        // Digits only: a Japanese input method must not turn them into full-width composition.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhLatinOnly);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setStyleSheet(backgroundStyle("QLineEdit", k == 0 ? kDefaultEntry
                                                               : columnColour(k <= 12 ? k : 25 - k, windowBackground)));
        box->installEventFilter(this);
        box->hide();
        m_boxes.append(box);
    }
    // A wrong entry is marked by a frame, red text and a cross, so that it reads without colour.
    m_wrongMark = uih::label(boxes, "LabelWrong", QStringLiteral("×"), QRect(0, 0, 30, 30), 16, true);
    m_wrongMark->setAlignment(Qt::AlignCenter);
    m_wrongMark->setStyleSheet(
        QStringLiteral("QLabel { color: white; background-color: #c62828; border-radius: 15px; }"));
    m_wrongMark->hide();

    // The answer panel below, with its labels in the same places.
    m_answerPanel = new QWidget(this);
    m_answerPanel->setObjectName("Picture2");
    m_answerPanel->setGeometry(24, 474, 976, 2 * kBoxHeight + 48 + kAnswerHeading);
    uih::setBackground(m_answerPanel, QColor(230, 230, 230));
    uih::label(m_answerPanel, "LabelAnswer", QStringLiteral("こたえ"), QRect(12, 4, 200, kAnswerHeading), 16, true);
    for (int k = 0; k <= DivisorDrill::kBoxCount; ++k) {
        auto* l = uih::label(m_answerPanel, QStringLiteral("Label9_%1").arg(k), QString(),
                             slot(std::max(k, 1)).translated(0, kAnswerHeading), 26, true);
        l->setAlignment(Qt::AlignCenter);
        l->hide();
        m_answers.append(l);
    }
    m_answerPanel->hide();

    m_start = uih::button(this, "Command6", QStringLiteral("スタート"), QRect(860, 690, 140, 48), 16);
    m_start->setFocusPolicy(Qt::NoFocus);
    connect(m_start, &QPushButton::clicked, this, &DrillScreen::startAttempt);

    // The overlay shown while the attempt is recorded.
    m_recording = new QWidget(this);
    m_recording->setObjectName("sPicture2");
    m_recording->setGeometry(312, 300, 400, 150);
    uih::setBackground(m_recording, QColor(255, 255, 192));
    uih::label(m_recording, "lblsss1", m_kind->isAttempt() ? QStringLiteral("成績記録中") : QStringLiteral("記録中"),
               QRect(0, 30, 400, 60), 28, true)
        ->setAlignment(Qt::AlignCenter);
    auto* timeUp = uih::label(m_recording, "lblsss2", QStringLiteral("時間切れ"), QRect(0, 90, 400, 40), 18);
    timeUp->setAlignment(Qt::AlignCenter);
    timeUp->hide();
    m_recording->hide();

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &DrillScreen::tick);
}

void DrillScreen::initialSetup()
{
    const SharedState& state = m_context.services.state;
    m_today->setText(QString::number(attempt::todayNumber(state.stats, state.current.pupilNo)));
}

void DrillScreen::formActivate()
{
    initialSetup();
    m_remaining->setText(QString::number(m_drill->remaining()));
    startAttempt();
}

void DrillScreen::startAttempt()
{
    m_clock.start(m_context.services.clock.monotonicMs());
    m_running = true;
    m_timer->start();
    m_start->hide();
    newProblem();
}

void DrillScreen::tick()
{
    if (!m_running)
        return;
    m_elapsedSeconds = m_clock.elapsedSeconds(m_context.services.clock.monotonicMs());
    m_elapsed->setText(QString::number(m_elapsedSeconds));
}

void DrillScreen::newProblem()
{
    m_drill->newProblem();
    refresh();
}

void DrillScreen::playCorrectSound()
{
    m_context.sounds.playCorrectSound();
}

void DrillScreen::playWrongSound()
{
    m_context.sounds.playWrongSound();
}

void DrillScreen::attemptSolved()
{
    m_timer->stop();
    m_running = false;
    refresh();
    endOfAttempt();
}

// Concludes the attempt once: recorded, then the end screen (the navigation lets the wait
// screen stand for a second first), or back to the board for a practice course.
void DrillScreen::endOfAttempt()
{
    if (!letEventsRun() || m_ended)
        return;
    m_ended = true;
    m_recording->show();
    m_recording->raise();
    if (!letEventsRun())
        return;
    Navigator& navigator = m_context.navigator;
    const DrillKind::Next next =
        m_kind->conclude(m_context.services, m_context.pause, m_elapsedSeconds, m_drill->problems());
    switch (next.screen) {
    case DrillKind::Next::Screen::None:
        return; // the program has been ended, or there was nothing to record
    case DrillKind::Next::Screen::Board:
        navigator.showBoard();
        return;
    case DrillKind::Next::Screen::EndScreen:
        navigator.showEndScreen(next.outcome);
        return;
    case DrillKind::Next::Screen::PracticeEnd:
        navigator.showPracticeEnd(next.practice);
        return;
    }
}

void DrillScreen::askToLeave()
{
    if (!m_running || m_ended)
        return; // the attempt is solved and being recorded
    const OpenCheck open = openCheck();
    // The clock goes on while the question is open: "いいえ" continues the same attempt.
    const bool leave = m_context.services.messages.ask(m_context.services.state.catalogue.courseTitle,
                                                       QStringLiteral("練習をやめますか？"));
    if (!open() || !leave || !m_running || m_ended)
        return;
    m_timer->stop();
    m_running = false;
    m_ended = true;
    m_context.navigator.showBoard();
}

void DrillScreen::refresh()
{
    const DivisorDrill& d = *m_drill;
    m_number->setText(d.number() > 0 ? QString::number(d.number()) : QString());
    for (QLabel* l : m_instructions)
        l->setVisible(d.instructionsVisible());
    m_remaining->setText(QString::number(d.remaining()));
    for (int k = 1; k <= DivisorDrill::kBoxCount; ++k) {
        const EntryBox& b = d.box(k);
        QLineEdit* box = m_boxes[k];
        if (box->text() != b.text)
            box->setText(b.text);
        box->setCursorPosition(int(b.text.size()));
        box->setEnabled(b.enabled);
        box->setVisible(b.visible);
        const bool divisor = d.answer(k) != QStringLiteral("*");
        // The answers change only with the number (never the same twice in a row): a style
        // sheet is costly to apply on every key.
        if (d.number() != m_answersShownFor) {
            m_answers[k]->setText(d.answer(k));
            m_answers[k]->setStyleSheet(backgroundStyle("QLabel", divisor ? kDivisorAnswer : kStarAnswer));
        }
        m_answers[k]->setVisible(d.answerPanelVisible() && divisor);
    }
    m_answersShownFor = d.number();
    markWrongEntry();
    m_answerPanel->setVisible(d.answerPanelVisible());
    m_acknowledge->setVisible(d.acknowledgeVisible());
    focusActiveBox();
}

void DrillScreen::markWrongEntry()
{
    const DivisorDrill& d = *m_drill;
    const int wrong = d.answerPanelVisible() ? d.wrongBox() : 0;
    if (wrong == m_markedBox)
        return;
    const QColor windowBackground = palette().color(QPalette::Base);
    if (m_markedBox > 0) { // back to the box's own colours
        const int k = m_markedBox;
        m_boxes[k]->setStyleSheet(backgroundStyle("QLineEdit", columnColour(k <= 12 ? k : 25 - k, windowBackground)));
        m_answers[k]->setStyleSheet(
            backgroundStyle("QLabel", d.answer(k) != QStringLiteral("*") ? kDivisorAnswer : kStarAnswer));
    }
    m_markedBox = wrong;
    m_nextStep->setText(d.nextStepLine());
    m_nextStep->setVisible(wrong > 0);
    m_wrongMark->setVisible(wrong > 0);
    if (wrong == 0)
        return;
    const QColor own = columnColour(wrong <= 12 ? wrong : 25 - wrong, windowBackground);
    m_boxes[wrong]->setStyleSheet(
        QStringLiteral("QLineEdit { background-color: %1; color: #b71c1c; border: 4px solid #c62828; }")
            .arg(own.name()));
    // Where the pupil went wrong, the answer's label is framed too: the right entry for that box.
    m_answers[wrong]->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: black; border: 4px solid "
                                                   "#c62828; }")
                                        .arg(kDivisorAnswer.name()));
    const QRect box = m_boxes[wrong]->geometry(); // as laid out on this screen
    m_wrongMark->move(box.right() - m_wrongMark->width() / 2, box.top() - m_wrongMark->height() / 2 + 4);
    m_wrongMark->raise();
    m_wrongMark->setAccessibleName(QStringLiteral("まちがい"));
    // A screen reader says the wrong entry and the answer at once.
    m_nextStep->setAccessibleName(d.wrongAnnouncement());
    QAccessibleEvent alert(m_nextStep, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void DrillScreen::focusActiveBox()
{
    const int active = m_drill->activeBox();
    QLineEdit* box = active >= 1 ? m_boxes[active] : nullptr;
    if (box && box->isVisibleTo(this) && box->isEnabled())
        box->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

bool DrillScreen::eventFilter(QObject* watched, QEvent* event)
{
    const int k = int(m_boxes.indexOf(static_cast<QLineEdit*>(watched)));
    if (k < 1)
        return Form::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Every key is the drill's: the box shows only what the drill puts into it.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            askToLeave();
            return true;
        }
        const OpenCheck open = openCheck();
        m_drill->keyDown(k, editKeyOf(key->key()));
        const QString text = key->text();
        if (!text.isEmpty() && key->key() != Qt::Key_Backspace)
            m_drill->keyPress(k, text.front());
        if (open())
            refresh();
        return true;
    }
    case QEvent::ShortcutOverride:
        event->accept(); // no shortcut takes a key away from the box being filled
        return true;
    case QEvent::FocusOut: {
        // The pupil cannot leave the box being filled.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Which box that is is decided when the focus is put back, not when it was lost.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QTimer::singleShot(0, this, [this] {
                QLineEdit* active = m_drill->activeBox() >= 1 ? m_boxes[m_drill->activeBox()] : nullptr;
                if (active && active->isVisibleTo(this) && active->isEnabled() && !active->hasFocus())
                    active->setFocus(Qt::OtherFocusReason);
            });
        }
        return Form::eventFilter(watched, event);
    }
    case QEvent::InputMethod: {
        // An input method that still composes (one left on in a mode the box did not turn off)
        // hands over what it committed: those are the pupil's keys, full-width or not.
        const OpenCheck open = openCheck();
        const QString committed = static_cast<QInputMethodEvent*>(event)->commitString();
        for (const QChar ch : committed) {
            if (!open() || m_drill->activeBox() < 1)
                break;
            m_drill->keyPress(m_drill->activeBox(), ch);
        }
        if (open())
            refresh();
        return true;
    }
    case QEvent::ContextMenu:
        return true;
    default:
        return Form::eventFilter(watched, event);
    }
}

void DrillScreen::keyPressEvent(QKeyEvent* event)
{
    // While the answer is shown every box is disabled and the keys come here.
    if (event->key() == Qt::Key_Escape) {
        askToLeave();
        event->accept();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && m_drill) {
        m_drill->formKeyPress(text.front());
        refresh();
    }
    event->accept();
}
