#include "class_view_window.h"

#include "records/results_file.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/shared_state.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

ClassViewWindow::ClassViewWindow(ScreenContext& context, ShowPupil showPupil, QWidget* parent)
    : QDialog(parent), m_context(context), m_showPupil(std::move(showPupil))
{
    setObjectName("frmClass");
    setWindowTitle(QStringLiteral("クラスの様子"));
    setFont(uih::font(10));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* choices = new QHBoxLayout;
    m_period = new QComboBox(this);
    m_period->setObjectName("ComboPeriod");
    m_period->addItems(classview::periodChoices());
    m_period->setAccessibleName(QStringLiteral("期間"));
    const QDate today = m_context.services.clock.today();
    m_from = new QDateEdit(today.addDays(-13), this);
    m_from->setObjectName("DateFrom");
    m_from->setAccessibleName(QStringLiteral("期間の始め"));
    m_to = new QDateEdit(today, this);
    m_to->setObjectName("DateTo");
    m_to->setAccessibleName(QStringLiteral("期間の終わり"));
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    m_grade = new QComboBox(this);
    m_grade->setObjectName("ComboGrade");
    m_grade->addItems(catalogue::gradeChoices());
    m_grade->setAccessibleName(QStringLiteral("学年"));
    m_days = new QComboBox(this);
    m_days->setObjectName("ComboDays");
    m_days->addItems(classview::notPractisedChoices());
    m_days->setAccessibleName(QStringLiteral("練習していない日数"));
    m_search = new QLineEdit(this);
    m_search->setObjectName("TextSearch");
    m_search->setPlaceholderText(QStringLiteral("名前・よみでさがす"));
    m_search->setAccessibleName(QStringLiteral("名前・よみでさがす"));
    m_search->setClearButtonEnabled(true);
    m_count = new QLabel(this);
    m_count->setObjectName("LabelCount");
    auto* periodLabel = new QLabel(QStringLiteral("期間(&K)"), this);
    periodLabel->setBuddy(m_period);
    choices->addWidget(periodLabel);
    choices->addWidget(m_period);
    choices->addWidget(m_from);
    choices->addWidget(new QLabel(QStringLiteral("〜"), this));
    choices->addWidget(m_to);
    choices->addWidget(m_grade);
    choices->addWidget(m_days);
    choices->addWidget(m_search, 1);
    choices->addWidget(m_count);
    layout->addLayout(choices);
    m_classWeak = new QLabel(this);
    m_classWeak->setObjectName("LabelClassWeak");
    m_classWeak->setWordWrap(true);
    m_classWeak->hide();
    layout->addWidget(m_classWeak);
    auto* legend = new QLabel(
        QStringLiteral("◎クリア　○クリアまでに必要なもの　▲要チェック（14日で10回以上、まだクリアしていない）"
                       "　－まだ　　秒：ベストタイム（↑前の期間より速い ↓遅い →同じ）"),
        this);
    legend->setObjectName("LabelLegend");
    legend->setWordWrap(true);
    layout->addWidget(legend);

    m_model = new ClassViewModel(this);
    // Two views of one model side by side: 学年 and 名前 stay at the left while the figures
    // scroll, so a mark never loses the pupil it belongs to.
    m_names = new QTableView(this);
    m_names->setObjectName("TableNames");
    m_view = new QTableView(this);
    m_view->setObjectName("TableClass");
    const int rowHeight = QFontMetrics(uih::font(10)).height() * 2 + 8; // a level's two lines
    for (QTableView* view : {m_names, m_view}) {
        // The UI face for cells and headers alike: a style may give item views a face of its own.
        view->setFont(uih::font(10));
        view->horizontalHeader()->setFont(uih::font(10));
        view->setModel(m_model);
        view->setSortingEnabled(true);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setTabKeyNavigation(false); // Tab goes on to the buttons, as everywhere else
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(rowHeight);
        view->horizontalHeader()->setSortIndicatorShown(true);
        view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        view->horizontalHeader()->setHighlightSections(false);
        // The style's own minimum (wider under Windows) must not widen 今日 and 分 past what the
        // window gives them.
        view->horizontalHeader()->setMinimumSectionSize(QFontMetrics(uih::font(10)).horizontalAdvance(u'分') + 6);
        view->setWordWrap(true);
    }
    m_names->setSelectionModel(m_view->selectionModel());
    m_names->setFocusPolicy(Qt::NoFocus);
    m_names->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_names->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_names->setFrameShape(QFrame::NoFrame);
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, m_names->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_names->verticalScrollBar(), &QScrollBar::valueChanged, m_view->verticalScrollBar(),
            &QScrollBar::setValue);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this); // the levels share its width as it changes
    auto* table = new QHBoxLayout;
    table->setSpacing(0);
    table->addWidget(m_names);
    table->addWidget(m_view, 1);
    layout->addLayout(table, 1);

    auto* buttons = new QHBoxLayout;
    const struct
    {
        const char* name;
        const char16_t* caption;
        void (ClassViewWindow::*action)();
    } actions[] = {{"CommandShow", u"表示(&H)", &ClassViewWindow::showSelectedPupil},
                   {"CommandConcern", u"気になる順(&O)", nullptr},
                   {"CommandPrint", u"印刷(&P)", &ClassViewWindow::print},
                   {"CommandCsv", u"CSVに書き出す(&X)", &ClassViewWindow::chooseCsvFile},
                   {"CommandCertificate", u"賞状を印刷(&S)", &ClassViewWindow::printCertificates}};
    // Projector mode: one key hides every name (initials or numbers stand for them), the figures
    // stay; printing and the CSV follow it, as 名前なし.
    m_hideNames = new QCheckBox(QStringLiteral("名前をかくす (F9)"), this);
    m_hideNames->setObjectName("CheckHideNames");
    m_hideNames->setToolTip(QStringLiteral("プロジェクターで見せるとき：名前のかわりにイニシャルか番号を出します。"
                                           "印刷とCSVも名前なしになります。"));
    connect(m_hideNames, &QCheckBox::toggled, this, [this](bool hidden) { m_model->setNamesHidden(hidden); });
    auto* hideKey = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(hideKey, &QShortcut::activated, m_hideNames, &QCheckBox::toggle);
    for (const auto& a : actions) {
        auto* button = uih::button(this, QString::fromLatin1(a.name), QString::fromUtf16(a.caption), QRect(), 11);
        button->setAutoDefault(false);
        if (a.action)
            connect(button, &QPushButton::clicked, this, a.action);
        else
            connect(button, &QPushButton::clicked, this, [this] {
                m_names->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
                m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
                m_model->sortByConcern();
            });
        buttons->addWidget(button);
    }
    buttons->addWidget(m_hideNames);
    buttons->addStretch(1);
    auto* close = uih::button(this, "CommandClose", QStringLiteral("閉じる"), QRect(), 11);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_period, &QComboBox::currentIndexChanged, this, &ClassViewWindow::applyPeriod);
    // During a lesson the other PCs' attempts come in: the results file is watched, and looked
    // at every kPollMs too, as a network folder may never say that it changed.
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(300); // an append in progress settles
    connect(m_settle, &QTimer::timeout, this, &ClassViewWindow::refreshLive);
    m_watcher = new QFileSystemWatcher(this);
    m_watcher->addPath(resultsfile::resultsPath(m_context.services.state.folders));
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &ClassViewWindow::refreshLive);
    m_poll->start();
    connect(m_from, &QDateEdit::dateChanged, this, &ClassViewWindow::applyPeriod);
    connect(m_to, &QDateEdit::dateChanged, this, &ClassViewWindow::applyPeriod);
    connect(m_grade, &QComboBox::currentIndexChanged, this, &ClassViewWindow::applyFilter);
    connect(m_days, &QComboBox::currentIndexChanged, this, &ClassViewWindow::applyFilter);
    connect(m_search, &QLineEdit::textChanged, this, &ClassViewWindow::applyFilter);
    connect(m_view, &QTableView::doubleClicked, this, &ClassViewWindow::showSelectedPupil);
    connect(m_names, &QTableView::doubleClicked, this, &ClassViewWindow::showSelectedPupil);

    // As large as the screen's available area allows (a 1024 × 768 screen with a taskbar), up
    // to what a five-level catalogue needs.
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 728);
    resize(std::min(1180, area.width() - 8), std::min(720, area.height() - 32));
}

classview::Period ClassViewWindow::period() const
{
    const SharedState& state = m_context.services.state;
    return classview::periodOf(classview::PeriodChoice(m_period->currentIndex()), m_context.services.clock.today(),
                               state.organisation.schoolYearStartMonth.toInt(), state.school.weekStart,
                               {m_from->date(), m_to->date()});
}

bool ClassViewWindow::load()
{
    const auto loaded = classview::load(m_context.services, m_context.pause, period());
    if (!loaded)
        return false;
    m_model->setTable(loaded->table);
    applyPeriod();
    if (!loaded->rosterProblem.isEmpty())
        m_count->setText(loaded->rosterProblem.section(u'\r', 0, 0));
    m_classWeak->setText(loaded->classWeak);
    m_classWeak->setVisible(!loaded->classWeak.isEmpty());
    applyFilter();
    fitColumns();
    m_view->setFocus(Qt::OtherFocusReason);
    if (m_model->rowCount() > 0)
        m_view->selectRow(0);
    return true;
}

void ClassViewWindow::refreshLive()
{
    // Not while a dialog of its own is open (printing reads the table) or events are let run
    // inside a refresh already.
    if (m_refreshing || QApplication::activeModalWidget())
        return;
    m_refreshing = true;
    const QPointer<ClassViewWindow> open(this);
    const auto refreshed = m_model->refresh(m_context.services, m_context.pause);
    if (!open)
        return; // the program has been ended, or the window closed meanwhile
    m_refreshing = false;
    if (!refreshed)
        return;
    if (refreshed->reloadNeeded) {
        const int pupil = m_model->pupilAt(m_view->currentIndex().row());
        const int scrolled = m_view->verticalScrollBar()->value();
        if (!load() || !open)
            return;
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (m_model->pupilAt(row) == pupil)
                m_view->selectRow(row);
        }
        m_view->verticalScrollBar()->setValue(scrolled);
    }
    // A file watched is no longer watched once it was replaced; watched again if it is there.
    const QString path = resultsfile::resultsPath(m_context.services.state.folders);
    if (!m_watcher->files().contains(path))
        m_watcher->addPath(path);
}

void ClassViewWindow::fitColumns()
{
    const classview::Table& table = m_model->table();
    const int columns = table.columnCount();
    if (columns == 0)
        return;
    // 学年 and 名前 at the left, as wide as their text; the figures share what is left, the
    // levels alike, each never narrower than its state and best time need.
    m_names->resizeColumnsToContents();
    const QFontMetrics fm(m_view->horizontalHeader()->font());
    m_names->setColumnWidth(classview::NameColumn,
                            std::min(m_names->columnWidth(classview::NameColumn), fm.horizontalAdvance(u'あ') * 8));
    for (int c = 0; c < columns; ++c) {
        m_names->setColumnHidden(c, c > classview::NameColumn);
        m_view->setColumnHidden(c, c <= classview::NameColumn);
    }
    const int namesWidth =
        m_names->columnWidth(classview::GradeColumn) + m_names->columnWidth(classview::NameColumn) + 2;
    m_names->setFixedWidth(namesWidth);
    // Paddings as small as the cells' own margins allow: every one of them is a pixel the five
    // levels need on a 1024-wide screen in a wider face.
    const int small = fm.horizontalAdvance(QStringLiteral("今日")) + 10;
    for (int c = classview::LastPracticeColumn; c < classview::FirstLevelColumn; ++c)
        m_view->setColumnWidth(
            c, c == classview::LastPracticeColumn ? fm.horizontalAdvance(QStringLiteral("30日前")) + 8 : small);
    const int levelMin = fm.horizontalAdvance(QStringLiteral("○あと10回・60点")) + 8;
    const int weak =
        std::max({fm.horizontalAdvance(QStringLiteral("にがてな数")), fm.horizontalAdvance(QStringLiteral("レベル5")),
                  fm.horizontalAdvance(QStringLiteral("36 48 24"))}) +
        10;
    const int reviewWidth =
        std::max(fm.horizontalAdvance(QStringLiteral("今週10")), fm.horizontalAdvance(QStringLiteral("復習"))) + 10;
    int fixed = weak + reviewWidth;
    for (int c = classview::LastPracticeColumn; c < classview::FirstLevelColumn; ++c)
        fixed += m_view->columnWidth(c);
    const int levels = int(table.courses.size());
    const int available = m_view->viewport()->width() - fixed;
    // Where five levels cannot each hold "あと10回・60点" on one line (a wider face, a smaller
    // screen), what is still needed takes two lines and the rows a third.
    const bool narrow = levels > 0 && available / levels < levelMin;
    if (narrow != m_model->narrow()) {
        m_model->setNarrow(narrow);
        const int lines = narrow ? 3 : 2;
        for (QTableView* view : {m_names, m_view})
            view->verticalHeader()->setDefaultSectionSize(fm.height() * lines + 8);
    }
    const int each = narrow ? std::max(fm.horizontalAdvance(QStringLiteral("○あと10回・")) + 8, available / levels)
                            : std::max(levelMin, levels > 0 ? available / levels : levelMin);
    for (int k = 0; k < levels; ++k)
        m_view->setColumnWidth(classview::FirstLevelColumn + k, each);
    m_view->setColumnWidth(table.weakColumn(), std::max(weak, available - each * levels + weak));
    m_view->setColumnWidth(table.reviewColumn(), reviewWidth);
}

void ClassViewWindow::applyPeriod()
{
    const bool range = m_period->currentIndex() == int(classview::PeriodChoice::Range);
    m_from->setEnabled(range);
    m_to->setEnabled(range);
    const classview::Period chosen = period();
    // The boxes always show the days the figures are of; a range typed the wrong way round is
    // shown as it is taken.
    for (const auto& [edit, day] : {std::pair{m_from, chosen.from}, std::pair{m_to, chosen.to}}) {
        const QSignalBlocker blocker(edit);
        edit->setDate(day);
    }
    m_model->setPeriod(chosen);
}

void ClassViewWindow::applyFilter()
{
    classview::Filter filter;
    filter.grade = m_grade->currentText();
    filter.notPractisedFor = classview::notPractisedDays(m_days->currentIndex());
    filter.search = m_search->text();
    m_model->setFilter(filter);
    m_count->setText(QStringLiteral("%1 人").arg(m_model->rowCount()));
}

void ClassViewWindow::showSelectedPupil()
{
    const QModelIndex current = m_view->currentIndex();
    if (const int pupil = m_model->pupilAt(current.isValid() ? current.row() : -1); pupil > 0 && m_showPupil)
        m_showPupil(pupil);
}

bool ClassViewWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showSelectedPupil();
            return true;
        }
    }
    // The table takes a letter for its keyboard search, Alt+letter too: left to the buttons.
    if (watched == m_view && event->type() == QEvent::ShortcutOverride &&
        (static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier))
        return true;
    return QDialog::eventFilter(watched, event);
}

QString ClassViewWindow::choicesText() const
{
    const classview::Period p = m_model->table().period;
    QStringList parts{
        QStringLiteral("期間 %1〜%2").arg(p.from.toString(QStringLiteral("M/d")), p.to.toString(QStringLiteral("M/d"))),
        m_grade->currentText()};
    if (m_days->currentIndex() > 0)
        parts << m_days->currentText();
    if (!m_search->text().isEmpty())
        parts << QStringLiteral("「%1」をふくむ名前").arg(m_search->text());
    return parts.join(QStringLiteral("、"));
}

void ClassViewWindow::printCertificates()
{
    // The pupils the table shows when it is narrowed, else everyone.
    QList<int> pupils;
    if (m_model->rowCount() < m_model->table().rows.size()) {
        for (int row = 0; row < m_model->rowCount(); ++row)
            pupils << m_model->pupilAt(row);
    }
    m_context.navigator.showCertificates(pupils, this);
}
