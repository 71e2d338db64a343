#include "board_screen.h"

#include "startup/course_catalogue.h"
#include "state/shared_state.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>

// The board's controls, laid out at fixed places on its 1024 × 768 page as the family's boards
// are: the heading, one column per course made from one template, the display options and the
// buttons.

namespace {

constexpr int kFirstColumnX = 28;
constexpr double kTwipsPerPixel = 3456.0 / 196; // the fixed column width as laid out here
constexpr int kColumnsTop = 118;
constexpr int kColumnsHeight = 500;
constexpr int kListTop = 208;
constexpr int kWeakTop = 330;        // the weak numbers, in the pupil's own view
constexpr int kWeakListHeight = 104; // five lines

} // namespace

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
    m_pupilHeading = uih::label(m_page, "Label12", QString(), QRect(28, 58, 420, 32), 18, true);
    m_schoolLine = uih::label(m_page, "Label13", QString(), QRect(460, 58, 300, 32), 14);
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
    // A pupil's practices: ふくしゅう at the top, the practice sets where the teacher's buttons
    // are for the teacher.
    m_review = uih::button(m_page, "CommandReview", QStringLiteral("ふくしゅう(&F)"), QRect(780, 72, 220, 40), 14);
    m_review->hide();
    connect(m_review, &QPushButton::clicked, this, &BoardScreen::startReview);
    m_setList = practicesets::all();
    m_sets = new QComboBox(m_page);
    m_sets->setObjectName("ComboSet");
    m_sets->setGeometry(600, 646, 250, 38);
    m_sets->setAccessibleName(QStringLiteral("練習する数"));
    for (const practicesets::Set& set : m_setList) {
        m_sets->addItem(set.name);
        m_sets->setItemData(m_sets->count() - 1, set.about, Qt::ToolTipRole);
    }
    m_setPractice = uih::button(m_page, "CommandSet", QStringLiteral("練習(&P)"), QRect(860, 646, 140, 38), 14);
    connect(m_setPractice, &QPushButton::clicked, this, &BoardScreen::startSetPractice);
    m_graph = uih::button(m_page, "Command17", QStringLiteral("グラフ"), QRect(600, 690, 110, 52), 16);
    m_graph->setVisible(false);
    connect(m_graph, &QPushButton::clicked, this, [this] { m_context.navigator.showGraph(m_board.viewedPupil()); });

    m_wait = uih::waitPanel(m_page, QStringLiteral("Picture2"), QStringLiteral("Label1"), accent);
    m_progressPanel = uih::waitPanel(m_page, QStringLiteral("Picture6"), QStringLiteral("Label6"), accent,
                                     QStringLiteral("Just a momento, please."));
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
    uih::keepOnOneLine(rule);
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
        option->setFont(uih::font(13, false, this));
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
        option->setFont(uih::font(13, false, this));
        connect(option, &QRadioButton::clicked, this, [this, i] { changeOrder(i); });
        m_orders.append(option);
    }
    m_gradeFilter = new QComboBox(m_page);
    m_gradeFilter->setObjectName("Combo1");
    m_gradeFilter->setGeometry(380, 652, 200, 34);
    m_gradeFilter->setFont(uih::font(13, false, this));
    m_gradeFilter->addItems(catalogue::gradeChoices());
    m_gradeFilter->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    connect(m_gradeFilter, &QComboBox::activated, this, [this](int) { changeGradeFilter(); });
    m_allAttempts = new QComboBox(m_page);
    m_allAttempts->setObjectName("Combo2");
    m_allAttempts->setGeometry(380, 700, 200, 34);
    m_allAttempts->setFont(uih::font(12, false, this));
    m_allAttempts->addItem(QStringLiteral("　　今までの全成績"));
}
