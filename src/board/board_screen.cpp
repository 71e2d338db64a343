#include "board_screen.h"

#include "problemlog/weak_numbers.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>

namespace {

constexpr int kFirstColumnX = 28;
constexpr double kTwipsPerPixel = 3456.0 / 196; // the fixed column width as laid out here
constexpr int kColumnsTop = 118;
constexpr int kColumnsHeight = 500;
constexpr int kListTop = 208;
constexpr int kWeakTop = 330;        // the weak numbers, in the pupil's own view
constexpr int kWeakListHeight = 104; // five lines

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
    // The board's own controls, in a page of their own: its white text on the accent colour
    // must not reach the windows opened from the board (the graph, the teacher's panel and
    // Qt's print and file dialogs), which are children of the board itself.
    m_page = new QWidget(this);
    m_page->setObjectName("Page");
    m_page->setGeometry(0, 0, 1024, 768);
    // White text on the accent colour; the options' dot drawn dark, as white text would turn
    // it white on white.
    m_page->setStyleSheet(QStringLiteral(
        "QLabel, QRadioButton { color: white; }"
        "QRadioButton::indicator { width: 14px; height: 14px; border-radius: 9px; border: 2px solid white;"
        " background: white; }"
        "QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5,"
        " fy:0.5, stop:0 #004d40, stop:0.55 #004d40, stop:0.65 white, stop:1 white); }"));

    const QString title = state.catalogue.courseTitle;
    uih::label(m_page, "Label11", title, QRect(28, 10, 600, 44), title.size() > 9 ? 20 : 24, true);
    uih::label(m_page, "Label12", QString(), QRect(28, 58, 420, 32), 18, true);
    uih::label(m_page, "Label13", QString(), QRect(460, 58, 300, 32), 14);
    showPupilHeading();
    m_heading = uih::label(m_page, "Label5", QString(), QRect(28, 90, 600, 26), 13, true);
    m_minutes = uih::label(m_page, "Label17", QString(), QRect(780, 10, 220, 28), 14);
    m_todayTotal = uih::label(m_page, "Label18", QString(), QRect(780, 40, 220, 28), 14);

    // The columns: copies of one template, side by side.
    const QList<CourseBoard::Column> columns = m_board.layout();
    const int count = int(columns.size()) - 1;
    const int width = int(CourseBoard::columnWidthTwips(count) / kTwipsPerPixel);
    m_columns.resize(count + 1);
    for (int i = 1; i <= count; ++i)
        buildColumn(i, columns[i], kFirstColumnX + (i - 1) * width, width);

    m_scroll = new QScrollBar(Qt::Horizontal, m_page);
    m_scroll->setObjectName("HScroll1");
    m_scroll->setGeometry(28, 622, 968, 18);
    m_scroll->setRange(1, std::max(1, CourseBoard::scrollMaximum(count)));
    m_scroll->setVisible(CourseBoard::hasScrollBar(count));
    connect(m_scroll, &QScrollBar::valueChanged, this, &BoardScreen::scrollColumns);

    buildOptions();

    auto* back = uih::button(m_page, "Command1", QStringLiteral("戻る(0)"), QRect(840, 690, 160, 52), 16);
    connect(back, &QPushButton::clicked, this, &BoardScreen::backToMenu);
    // "0" goes back from anywhere on the board, the grade choice and the lists included.
    auto* zero = new QShortcut(QKeySequence(Qt::Key_0), this);
    connect(zero, &QShortcut::activated, this, &BoardScreen::backToMenu);
    m_print = uih::button(m_page, "Command24_1", QStringLiteral("印刷"), QRect(720, 690, 110, 52), 16);
    m_print->setVisible(false);
    connect(m_print, &QPushButton::clicked, this, [this] { m_context.navigator.showTeacherPanel(); });
    m_classView = uih::button(m_page, "CommandClass", QStringLiteral("クラスの様子"), QRect(720, 642, 280, 42), 14);
    m_classView->setVisible(false);
    connect(m_classView, &QPushButton::clicked, this, [this] { m_context.navigator.showClassView(); });
    m_graph = uih::button(m_page, "Command17", QStringLiteral("グラフ"), QRect(600, 690, 110, 52), 16);
    m_graph->setVisible(false);
    connect(m_graph, &QPushButton::clicked, this, [this] { m_context.navigator.showGraph(m_board.viewedPupil()); });

    m_wait = uih::waitPanel(m_page, QStringLiteral("Picture2"), QStringLiteral("Label1"), accent);
    m_progressPanel = uih::waitPanel(m_page, QStringLiteral("Picture6"), QStringLiteral("Label6"), accent);
    m_progressPanel->findChild<QLabel*>("Label6")->setText(QStringLiteral("Just a momento, please."));
    m_progress = new QProgressBar(m_progressPanel);
    m_progress->setObjectName("ProgressBar6");
    m_progress->setGeometry(40, 100, m_progressPanel->width() - 80, 22);
    m_progress->setRange(0, count);
}

void BoardScreen::buildColumn(int i, const CourseBoard::Column& column, int x, int width)
{
    Column& c = m_columns[i];
    c.panel = new QWidget(m_page);
    c.panel->setObjectName(QStringLiteral("Column_%1").arg(i));
    c.panel->setGeometry(x, kColumnsTop, width, kColumnsHeight);
    const int w = width - 12;
    c.name = uih::label(c.panel, QStringLiteral("Label3_%1").arg(i), column.name, QRect(0, 0, w, 36), 20, true);
    c.name->setCursor(Qt::PointingHandCursor);
    c.name->installEventFilter(this);
    auto* rule = uih::label(c.panel, QStringLiteral("Label7_%1").arg(i), column.rule, QRect(0, 36, w, 40), 10);
    rule->setWordWrap(true);
    c.figureHeadings << uih::label(c.panel, QStringLiteral("Label9_%1").arg(i), QStringLiteral("今日"),
                                   QRect(0, 78, 52, 24), 11);
    c.today = uih::label(c.panel, QStringLiteral("Label14_%1").arg(i), QString(), QRect(52, 78, w - 52, 24), 11);
    c.figureHeadings << uih::label(c.panel, QStringLiteral("Label10_%1").arg(i), QStringLiteral("今まで"),
                                   QRect(0, 102, 52, 24), 11);
    c.total = uih::label(c.panel, QStringLiteral("Label15_%1").arg(i), QString(), QRect(52, 102, w - 52, 24), 11);
    c.toClear = uih::label(c.panel, QStringLiteral("LabelClear_%1").arg(i), QString(), QRect(0, 126, w, 24), 11, true);
    c.toClear->setStyleSheet(QStringLiteral("color: #fff59d"));
    c.start = uih::button(c.panel, QStringLiteral("Command4_%1").arg(i), courseboard::startCaption(i),
                          QRect(0, 154, w - 12, 46), 16);
    connect(c.start, &QPushButton::clicked, this, [this, i] { startCourse(i); });
    c.list = new QListWidget(c.panel);
    c.list->setObjectName(QStringLiteral("List5_%1").arg(i));
    c.list->setGeometry(0, kListTop, w, kColumnsHeight - kListTop - 4);
    uih::showLinesInCells(c.list, 11);
    c.list->setUniformItemSizes(true); // one line each: 2000 lines are laid out without measuring each
    c.list->setAccessibleName(column.name);
    c.list->setVisible(!column.practice);

    c.weakHeading = uih::label(c.panel, QStringLiteral("LabelWeak_%1").arg(i), QStringLiteral("にがてな数（秒・ミス）"),
                               QRect(0, kWeakTop, w, 22), 11, true);
    c.weak = new QListWidget(c.panel);
    c.weak->setObjectName(QStringLiteral("ListWeak_%1").arg(i));
    c.weak->setGeometry(0, kWeakTop + 22, w, kWeakListHeight);
    uih::showLinesInCells(c.weak, 11);
    c.weak->setAccessibleName(column.name + QStringLiteral("　にがてな数"));
    c.practice = uih::button(c.panel, QStringLiteral("CommandWeak_%1").arg(i), QStringLiteral("にがてな数の練習"),
                             QRect(0, kColumnsHeight - 38, w - 12, 34), 11);
    connect(c.practice, &QPushButton::clicked, this, [this, i] { startPractice(i); });
    c.weakHeading->hide();
    c.weak->hide();
    c.practice->hide();
}

void BoardScreen::buildOptions()
{
    const QStringList views = {QStringLiteral("ﾀｲﾑ表示"), QStringLiteral("ﾎﾟｲﾝﾄ表示"), QStringLiteral("個人ﾀｲﾑ")};
    auto* viewPanel = new QWidget(m_page);
    viewPanel->setObjectName("Frame2");
    viewPanel->setGeometry(28, 646, 160, 96);
    for (int i = 0; i < views.size(); ++i) {
        auto* option = new QRadioButton(views[i], viewPanel);
        option->setObjectName(QStringLiteral("Option2_%1").arg(i));
        option->setGeometry(0, i * 31, 160, 30);
        option->setFont(uih::font(13));
        connect(option, &QRadioButton::clicked, this, [this, i] { changeView(i); });
        m_views.append(option);
    }
    auto* orderPanel = new QWidget(m_page);
    orderPanel->setObjectName("Frame1");
    orderPanel->setGeometry(196, 646, 170, 96);
    m_orders.append(nullptr);
    const QStringList captions = CourseBoard::openingOrderCaptions();
    for (int i = 1; i <= 3; ++i) {
        auto* option = new QRadioButton(captions[i - 1], orderPanel);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        option->setGeometry(0, (i - 1) * 31, 170, 30);
        option->setFont(uih::font(13));
        connect(option, &QRadioButton::clicked, this, [this, i] { changeOrder(i); });
        m_orders.append(option);
    }
    m_gradeFilter = new QComboBox(m_page);
    m_gradeFilter->setObjectName("Combo1");
    m_gradeFilter->setGeometry(380, 652, 200, 34);
    m_gradeFilter->setFont(uih::font(13));
    m_gradeFilter->addItems(catalogue::gradeChoices());
    m_gradeFilter->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    connect(m_gradeFilter, &QComboBox::activated, this, [this](int) { changeGradeFilter(); });
    m_allAttempts = new QComboBox(m_page);
    m_allAttempts->setObjectName("Combo2");
    m_allAttempts->setGeometry(380, 700, 200, 34);
    m_allAttempts->setFont(uih::font(12));
    m_allAttempts->addItem(QStringLiteral("　　今までの全成績"));
}

void BoardScreen::formActivate()
{
    // Events run while the lists are built: the pupil may leave the board meanwhile (the close
    // box, "0"), which unloads it, so nothing of it is used once it has gone.
    const OpenCheck open = openCheck();
    if (!m_board.refresh() || !open())
        return; // the program has been ended, or the board left
    m_activating = true;
    m_minutes->setText(m_board.minutesSinceStart());
    m_todayTotal->setText(m_board.todayTotal());
    m_print->setVisible(m_board.showsTeacherTools());
    m_classView->setVisible(m_board.showsTeacherTools());
    showFigures();
    // The opening display: points, all-time order, every list built with the progress shown.
    m_board.setView(CourseBoard::View::Points);
    m_board.setOrderOption(1);
    m_board.setGradeFilter(m_gradeFilter->currentText());
    m_orders[1]->setChecked(true);
    if (!rebuildLists())
        return;
    m_views[int(CourseBoard::View::Points)]->setChecked(true);
    m_activating = false;
    if (m_columns.size() > 1)
        m_columns[1].start->setFocus(Qt::OtherFocusReason);
}

void BoardScreen::showPupilHeading()
{
    findChild<QLabel*>("Label12")->setText(m_board.pupilHeading());
    findChild<QLabel*>("Label13")->setText(m_board.schoolLine());
}

void BoardScreen::showFigures()
{
    const QList<CourseBoard::Column>& columns = m_board.columns();
    for (int i = 1; i < m_columns.size() && i < columns.size(); ++i) {
        Column& c = m_columns[i];
        for (QLabel* heading : c.figureHeadings)
            heading->setVisible(!columns[i].practice);
        c.today->setVisible(!columns[i].practice);
        c.total->setVisible(!columns[i].practice);
        c.toClear->setVisible(!columns[i].practice);
        c.today->setText(columns[i].today);
        c.total->setText(columns[i].total);
        c.toClear->setText(columns[i].toClear);
        c.start->setEnabled(true);
    }
}

void BoardScreen::showPupil(int pupil)
{
    const OpenCheck open = openCheck();
    m_board.setViewedPupil(pupil);
    if (!m_board.refresh() || !open())
        return; // the program has been ended, or the board left
    showPupilHeading();
    showFigures();
    (void)rebuildLists();
}

void BoardScreen::changeView(int view)
{
    if (m_activating)
        return; // during the first activation the display mode is set, not applied
    m_board.setView(CourseBoard::View(view));
    const bool personal = m_board.view() == CourseBoard::View::PersonalTimes;
    m_allAttempts->setVisible(!personal);
    if (!personal) {
        const QStringList captions = m_board.orderCaptions();
        for (int i = 1; i <= 3; ++i)
            m_orders[i]->setText(captions[i - 1]);
    }
    (void)rebuildLists();
}

void BoardScreen::changeOrder(int option)
{
    m_board.setOrderOption(option);
    (void)rebuildLists();
}

void BoardScreen::changeGradeFilter()
{
    m_board.setGradeFilter(m_gradeFilter->currentText());
    (void)rebuildLists();
}

// The lists are hidden while they are rebuilt; the progress bar moves one step per course and
// window events run between courses. False when the board was left meanwhile.
bool BoardScreen::rebuildLists()
{
    bool open = true;
    m_heading->setText(m_board.heading());
    m_graph->setVisible(m_board.view() == CourseBoard::View::PersonalTimes);
    for (int i = 1; i < m_columns.size(); ++i)
        m_columns[i].list->hide();
    m_progress->setValue(0);
    m_progressPanel->show();
    m_progressPanel->raise();
    const auto lists = m_board.buildLists([&](int course) {
        if (!open)
            return;
        m_progress->setValue(course);
        open = letEventsRun();
    });
    if (!open || !lists)
        return false; // left meanwhile, or the program has been ended
    const QList<CourseBoard::Column>& columns = m_board.columns();
    for (int i = 1; i < m_columns.size(); ++i) {
        QListWidget* list = m_columns[i].list;
        list->setUpdatesEnabled(false);
        list->clear();
        const resultslists::Lines& lines = (*lists)[i];
        list->addItems(lines.text);
        for (qsizetype k = 0; k < lines.detail.size() && k < list->count(); ++k)
            list->item(int(k))->setToolTip(lines.detail[k]);
        list->setUpdatesEnabled(true);
        list->setVisible(i < columns.size() && !columns[i].practice);
    }
    showWeakNumbers();
    m_progressPanel->hide();
    return true;
}

// The pupil's own view puts the weak numbers under a shorter list.
void BoardScreen::showWeakNumbers()
{
    const bool personal = m_board.view() == CourseBoard::View::PersonalTimes;
    const QList<CourseBoard::Column>& columns = m_board.columns();
    const QList<CourseBoard::WeakColumn> weak = personal ? m_board.weakColumns() : QList<CourseBoard::WeakColumn>{};
    for (int i = 1; i < m_columns.size(); ++i) {
        Column& c = m_columns[i];
        const bool shown = personal && i < weak.size() && i < columns.size() && !columns[i].practice;
        // In the controls' places as shown: the screen may have been scaled to fit.
        const int bottom = shown ? c.weakHeading->y() - 2 : c.practice->geometry().bottom() + 1;
        c.list->resize(c.list->width(), bottom - c.list->y());
        c.weakHeading->setVisible(shown);
        c.weak->setVisible(shown);
        c.practice->setVisible(shown);
        if (!shown)
            continue;
        c.weak->clear();
        c.weak->addItems(weak[i].lines);
        c.practice->setEnabled(weak[i].practiceAvailable);
        c.practice->setToolTip(
            weak[i].practiceAvailable
                ? QStringLiteral("にがてな数を10問練習します（成績には記録しません）")
                : QStringLiteral("このレベルを%1問以上解くと練習できます").arg(weaknumbers::kPracticeNeeds));
    }
}

void BoardScreen::startPractice(int course)
{
    if (course < 1 || course >= m_columns.size() || !m_columns[course].practice->isEnabled())
        return;
    const QList<int> numbers = m_board.practiceNumbers(course);
    if (!numbers.isEmpty())
        leaveForDrill([&] { m_context.navigator.startPractice(course, numbers); });
}

// The wait panel stands while the drill gets ready; the drill replaces the board, and a level
// without problems leaves it here.
void BoardScreen::leaveForDrill(const std::function<void()>& start)
{
    m_wait->show();
    m_wait->raise();
    if (!letEventsRun())
        return;
    const OpenCheck open = openCheck();
    start();
    if (open())
        m_wait->hide();
}

void BoardScreen::scrollColumns(int value)
{
    const int count = int(m_columns.size()) - 1;
    if (count < 2)
        return;
    if (m_columnStep == 0) { // the columns as shown, after the screen was fitted
        m_firstColumnX = m_columns[1].panel->x();
        m_columnStep = m_columns[2].panel->x() - m_firstColumnX;
    }
    const int first = CourseBoard::firstVisibleCourse(value, count);
    for (int k = 1; k <= count; ++k) {
        m_columns[k].panel->move(m_firstColumnX + (k - first) * m_columnStep, m_columns[k].panel->y());
        m_columns[k].panel->setVisible(k >= first); // off the form to the left
    }
}

void BoardScreen::startCourse(int course)
{
    if (course >= 1 && course < m_columns.size() && m_columns[course].start->isEnabled())
        leaveForDrill([&] { m_context.navigator.startDrill(course); });
}

void BoardScreen::backToMenu()
{
    m_wait->show();
    m_wait->raise();
    m_context.navigator.showMenu();
}

// A click on a course's name starts it.
bool BoardScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 1; i < m_columns.size(); ++i) {
            if (watched == m_columns[i].name) {
                startCourse(i);
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}
