#include "class_view_window.h"

#include "records/results_file.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "text/text_file.h"
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
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <numeric>

void ClassViewModel::reorder()
{
    m_order = classview::filtered(m_table, m_filter);
    if (m_sortColumn >= 0)
        classview::sort(m_order, m_table, m_sortColumn, m_sortOrder == Qt::DescendingOrder);
    else
        classview::sortByConcern(m_order, m_table);
}

void ClassViewModel::setTable(classview::Table table)
{
    beginResetModel();
    const bool hidden = m_table.namesHidden; // read again, the names stay as the teacher chose
    m_table = std::move(table);
    m_table.namesHidden = hidden;
    reorder();
    endResetModel();
}

void ClassViewModel::setFilter(const classview::Filter& filter)
{
    beginResetModel();
    m_filter = filter;
    reorder();
    endResetModel();
}

void ClassViewModel::setPeriod(const classview::Period& period)
{
    beginResetModel();
    m_table.setPeriod(period);
    reorder();
    endResetModel();
}

void ClassViewModel::setNamesHidden(bool hidden)
{
    m_table.namesHidden = hidden;
    if (rowCount() > 0) // the rows, their order and the selection stay
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ClassViewModel::sortByConcern()
{
    beginResetModel();
    m_sortColumn = -1;
    reorder();
    endResetModel();
}

std::optional<classview::Refresh> ClassViewModel::refresh(Services services, Pause& pause)
{
    auto refreshed = classview::refresh(m_table, services, pause);
    if (!refreshed || refreshed->reloadNeeded || refreshed->pupils.isEmpty())
        return refreshed;
    // The rows move as their figures do, in the order and filter chosen; the current row, the
    // selection and the scrolled place go with their pupils.
    emit layoutAboutToBeChanged();
    const QList<int> before = m_order;
    reorder();
    QHash<int, int> rowNow; // table row → model row
    for (int i = 0; i < m_order.size(); ++i)
        rowNow.insert(m_order[i], i);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex& index : from) {
        const int tableRow = index.row() < before.size() ? before[index.row()] : -1;
        const auto now = rowNow.constFind(tableRow);
        to << (now == rowNow.cend() ? QModelIndex() : createIndex(*now, index.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    return refreshed;
}

int ClassViewModel::pupilAt(int row) const
{
    return row >= 0 && row < m_order.size() ? m_table.rows[m_order[row]].pupil : 0;
}

int ClassViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int ClassViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant ClassViewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_order.size())
        return {};
    const int row = m_order[index.row()];
    const classview::Row& r = m_table.rows[row];
    const int column = index.column();
    const bool level = column >= classview::FirstLevelColumn && column < m_table.weakColumn();
    const classview::LevelCell cell =
        level ? r.levels.value(column - classview::FirstLevelColumn) : classview::LevelCell();
    switch (role) {
    case Qt::DisplayRole:
        if (level) {
            const QString best = cell.bestLine();
            QString caption = cell.symbol() + cell.caption();
            if (m_narrow) // "あと2回・" above "15点" where a column cannot hold both
                caption.replace(QStringLiteral("・"), QStringLiteral("・\n"));
            return caption + (best.isEmpty() ? QString() : u'\n' + best);
        }
        if (column == m_table.weakColumn()) // the level on one line, its numbers on the next
            return m_table.text(row, column).replace(QStringLiteral("："), QStringLiteral("\n"));
        if (column == m_table.reviewColumn()) // due above, learned this week below: a narrow column
            return m_table.text(row, column).replace(QStringLiteral("／"), QStringLiteral("\n"));
        return m_table.text(row, column);
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        if (level)
            return QStringLiteral("%1、%2、%3")
                .arg(r.shownName(m_table.namesHidden), m_table.headers.value(column), cell.spoken());
        if (column == classview::LastPracticeColumn && r.lastPractice.isValid())
            return QStringLiteral("%1（%2）")
                .arg(m_table.text(row, column), r.lastPractice.toString(QStringLiteral("M月d日")));
        if (column == classview::NameColumn && m_table.namesHidden)
            return m_table.text(row, column);
        if (column == classview::NameColumn)
            return r.reading.isEmpty() ? QStringLiteral("%1（%2番）").arg(r.name).arg(r.pupil)
                                       : QStringLiteral("%1（%2、%3番）").arg(r.name, r.reading).arg(r.pupil);
        return m_table.text(row, column);
    case Qt::TextAlignmentRole:
        return classview::isNumberColumn(column) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return level ? QVariant(QColor(QRgb(classview::coloursOf(cell.state()).text))) : QVariant();
    case Qt::BackgroundRole:
        return level ? QVariant(QColor(QRgb(classview::coloursOf(cell.state()).background))) : QVariant();
    case Qt::FontRole:
        if (column == classview::LastPracticeColumn && r.practisingNow)
            return uih::font(10, true);
        if (level && cell.state() == classview::LevelState::Stuck) {
            QFont bold = uih::font(10, true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant ClassViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_table.headers.value(section);
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole) {
        switch (section) {
        case classview::LastPracticeColumn:
            return QStringLiteral("最後の練習");
        case classview::TodayColumn:
            return QStringLiteral("今日の回数");
        case classview::PeriodAttemptsColumn:
            return QStringLiteral("期間の回数");
        case classview::PeriodMinutesColumn:
            return QStringLiteral("期間の練習時間（分）");
        default:
            return m_table.headers.value(section);
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ClassViewModel::sort(int column, Qt::SortOrder order)
{
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    reorder();
    endResetModel();
}

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

void ClassViewWindow::printTable(QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(
        QStringLiteral("クラスの様子 %1").arg(m_context.services.clock.today().toString(QStringLiteral("yyyy-MM-dd"))));
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const SharedState& state = m_context.services.state;
    const classview::Table& table = m_model->table();
    const QList<int>& order = m_model->order();
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    QFont font = uih::font(9);
    QFont bold = uih::font(9, true);
    font.setStyleStrategy(QFont::PreferDefault);
    const QFontMetrics fm(font, &printer);
    const QFontMetrics fmBold(bold, &printer);
    const int pad = fm.horizontalAdvance(u' ');
    const int lineHeight = fm.height() + pad / 2;

    // One line per pupil, each cell whole on its line: never a break inside a figure or a word.
    const int columns = table.columnCount();
    QList<int> widths(columns, 0);
    for (int c = 0; c < columns; ++c) {
        widths[c] = fmBold.horizontalAdvance(table.headers[c]) + 2 * pad;
        for (const int row : order)
            widths[c] = std::max(widths[c], fmBold.horizontalAdvance(table.text(row, c)) + 2 * pad);
    }
    int total = std::accumulate(widths.cbegin(), widths.cend(), 0);
    if (total > page.width()) // the weak numbers give way first, cut at a number's end
        widths[table.weakColumn()] =
            std::max(fm.horizontalAdvance(u'あ') * 6, widths[table.weakColumn()] - (total - page.width()));
    total = std::accumulate(widths.cbegin(), widths.cend(), 0);
    const double stretch = total < page.width() ? double(page.width()) / total : 1.0;
    for (int& w : widths)
        w = int(w * stretch);

    const QString title =
        QStringLiteral("クラスの様子　%1%2")
            .arg(state.organisation.schoolName, table.namesHidden ? QStringLiteral("　（名前なし）") : QString());
    const QString subtitle = QStringLiteral("%1　%2 人").arg(choicesText()).arg(order.size());
    const QString printed =
        QStringLiteral("印刷 %1").arg(m_context.services.clock.today().toString(QStringLiteral("yyyy年M月d日")));
    const int top = lineHeight * 3;
    const int bottom = page.height() - lineHeight * 2;
    const int perPage = std::max(1, (bottom - top - lineHeight) / lineHeight);
    const int pages = std::max<int>(1, int((order.size() + perPage - 1) / perPage));
    const QString legend = QStringLiteral("◎クリア　○クリアまで　▲要チェック　－まだ　秒：ベスト（↑速い ↓遅い →同じ）");
    for (int pageNo = 0; pageNo < pages; ++pageNo) {
        if (pageNo > 0)
            printer.newPage();
        painter.setFont(bold);
        painter.drawText(QRect(0, 0, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, page.width(), lineHeight), Qt::AlignRight | Qt::AlignVCenter, printed);
        painter.drawText(QRect(0, lineHeight, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
        painter.drawText(QRect(0, lineHeight * 2, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, legend);
        int x = 0;
        painter.setFont(bold);
        painter.fillRect(QRect(0, top, page.width(), lineHeight), QColor(0xe0, 0xe0, 0xe0));
        for (int c = 0; c < columns; ++c) {
            const Qt::Alignment side = classview::isNumberColumn(c) ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(QRect(x + pad, top, widths[c] - 2 * pad, lineHeight), side | Qt::AlignVCenter,
                             table.headers[c]);
            x += widths[c];
        }
        for (int k = 0; k < perPage; ++k) {
            const qsizetype at = qsizetype(pageNo) * perPage + k;
            if (at >= order.size())
                break;
            const int row = order[at];
            const int y = top + lineHeight * (k + 1);
            painter.setPen(QColor(0xbd, 0xbd, 0xbd));
            painter.drawLine(0, y + lineHeight, page.width(), y + lineHeight);
            x = 0;
            for (int c = 0; c < columns; ++c) {
                const bool level = c >= classview::FirstLevelColumn && c < table.weakColumn();
                const bool stuck = level && table.rows[row].levels[c - classview::FirstLevelColumn].state() ==
                                                classview::LevelState::Stuck;
                painter.setFont(stuck ? bold : font);
                painter.setPen(stuck ? QColor(0xb7, 0x1c, 0x1c) : QColor(Qt::black));
                const QRect cell(x + pad, y, widths[c] - 2 * pad, lineHeight);
                QString text = table.text(row, c);
                if (c == table.weakColumn()) // cut after a whole number
                    while (fm.horizontalAdvance(text) > cell.width() && text.contains(u' '))
                        text = text.left(text.lastIndexOf(u' '));
                painter.drawText(
                    cell, (classview::isNumberColumn(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
                x += widths[c];
            }
        }
        painter.setPen(Qt::black);
        painter.setFont(font);
        painter.drawText(QRect(0, page.height() - lineHeight, page.width(), lineHeight), Qt::AlignCenter,
                         QStringLiteral("%1 / %2").arg(pageNo + 1).arg(pages));
    }
    painter.end();
}

void ClassViewWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    uih::Modal<QPrintDialog> dialog(&printer, this);
    dialog->setWindowTitle(QStringLiteral("クラスの様子の印刷"));
    if (dialog.accepted())
        printTable(printer);
}

std::optional<QString> ClassViewWindow::exportCsv(const QString& path) const
{
    const QByteArray bytes = classview::csv(m_model->table(), m_model->order(), m_context.services.state.catalogue);
    if (const auto error = textfile::replace(path, bytes))
        return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, *error);
    return std::nullopt;
}

void ClassViewWindow::chooseCsvFile()
{
    // The file's name says whether it holds names.
    const QString stem = m_model->table().namesHidden ? QStringLiteral("クラスの様子_名前なし")
                                                      : QStringLiteral("クラスの様子_名前あり");
    uih::exportCsvAskingWhere(this, m_context.services.messages, stem, m_context.services.clock.today(),
                              [this](const QString& path) { return exportCsv(path); });
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
