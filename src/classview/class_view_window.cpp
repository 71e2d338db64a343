#include "class_view_window.h"

#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>

void ClassViewModel::setTable(classview::Table table)
{
    beginResetModel();
    m_table = std::move(table);
    m_order = classview::filtered(m_table, m_filter);
    if (m_sortColumn >= 0)
        classview::sort(m_order, m_table, m_sortColumn, m_sortOrder == Qt::DescendingOrder);
    endResetModel();
}

void ClassViewModel::setFilter(const classview::Filter& filter)
{
    beginResetModel();
    m_filter = filter;
    m_order = classview::filtered(m_table, m_filter);
    if (m_sortColumn >= 0)
        classview::sort(m_order, m_table, m_sortColumn, m_sortOrder == Qt::DescendingOrder);
    endResetModel();
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
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return m_table.text(row, index.column());
    case Qt::TextAlignmentRole:
        return index.column() == classview::NumberColumn || index.column() == classview::TodayColumn ||
                       index.column() == classview::WeekColumn
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (index.column() >= classview::FirstLevelColumn &&
            m_table.rows[row].levels.value(index.column() - classview::FirstLevelColumn).needsCheck)
            return QColor(0xb7, 0x1c, 0x1c);
        return {};
    default:
        return {};
    }
}

QVariant ClassViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
        return m_table.headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ClassViewModel::sort(int column, Qt::SortOrder order)
{
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    m_order = classview::filtered(m_table, m_filter);
    classview::sort(m_order, m_table, column, order == Qt::DescendingOrder);
    endResetModel();
}

ClassViewWindow::ClassViewWindow(ScreenContext& context, ShowPupil showPupil, QWidget* parent)
    : QDialog(parent), m_context(context), m_showPupil(std::move(showPupil))
{
    setObjectName("frmClass");
    setWindowTitle(QStringLiteral("クラスの様子"));
    auto* layout = new QVBoxLayout(this);
    auto* choices = new QHBoxLayout;
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
    m_search->setPlaceholderText(QStringLiteral("名前でさがす"));
    m_search->setAccessibleName(QStringLiteral("名前でさがす"));
    m_search->setClearButtonEnabled(true);
    m_count = new QLabel(this);
    m_count->setObjectName("LabelCount");
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

    m_model = new ClassViewModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName("TableClass");
    m_view->setModel(m_model);
    m_view->setSortingEnabled(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false); // Tab goes on to the buttons, as everywhere else
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSortIndicatorShown(true);
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->installEventFilter(this);
    layout->addWidget(m_view, 1);

    auto* buttons = new QHBoxLayout;
    const struct
    {
        const char* name;
        const char16_t* caption;
        void (ClassViewWindow::*action)();
    } actions[] = {{"CommandShow", u"表示", &ClassViewWindow::showSelectedPupil},
                   {"CommandPrint", u"印刷", &ClassViewWindow::print},
                   {"CommandCsv", u"CSVに書き出す", &ClassViewWindow::chooseCsvFile}};
    for (const auto& a : actions) {
        auto* button = uih::button(this, QString::fromLatin1(a.name), QString::fromUtf16(a.caption), QRect(), 12);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, a.action);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* close = uih::button(this, "CommandClose", QStringLiteral("閉じる"), QRect(), 12);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_grade, &QComboBox::currentIndexChanged, this, &ClassViewWindow::applyFilter);
    connect(m_days, &QComboBox::currentIndexChanged, this, &ClassViewWindow::applyFilter);
    connect(m_search, &QLineEdit::textChanged, this, &ClassViewWindow::applyFilter);
    connect(m_view, &QTableView::doubleClicked, this, &ClassViewWindow::showSelectedPupil);

    // As large as the screen allows, up to the size the twelve columns need.
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 728);
    resize(std::min(1100, area.width() - 24), std::min(700, area.height() - 48));
}

bool ClassViewWindow::load()
{
    const auto loaded = classview::load(m_context.services, m_context.pause);
    if (!loaded)
        return false;
    m_model->setTable(loaded->table);
    if (!loaded->rosterProblem.isEmpty())
        m_count->setText(loaded->rosterProblem.section(u'\r', 0, 0));
    m_classWeak->setText(loaded->classWeak);
    m_classWeak->setVisible(!loaded->classWeak.isEmpty());
    applyFilter();
    m_view->resizeColumnsToContents();
    m_view->setFocus(Qt::OtherFocusReason);
    if (m_model->rowCount() > 0)
        m_view->selectRow(0);
    return true;
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
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showSelectedPupil();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString ClassViewWindow::choicesText() const
{
    QStringList parts{m_grade->currentText()};
    if (m_days->currentIndex() > 0)
        parts << m_days->currentText();
    if (!m_search->text().isEmpty())
        parts << QStringLiteral("「%1」をふくむ名前").arg(m_search->text());
    return parts.join(QStringLiteral("、"));
}

void ClassViewWindow::printTable(QPrinter& printer)
{
    const SharedState& state = m_context.services.state;
    const classview::Table& table = m_model->table();
    QString html = QStringLiteral("<h3>クラスの様子　%1</h3><p>%2（%3）　%4</p>")
                       .arg(state.organisation.schoolName.toHtmlEscaped(),
                            m_context.services.clock.today().toString(QStringLiteral("yyyy年M月d日")),
                            choicesText().toHtmlEscaped(), QStringLiteral("%1 人").arg(m_model->rowCount()));
    if (!m_classWeak->text().isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(m_classWeak->text().toHtmlEscaped());
    // The header row in <thead> is repeated on every page.
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const QString& h : table.headers)
        html += QStringLiteral("<th>%1</th>").arg(h.toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    for (const int row : m_model->order()) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < table.columnCount(); ++c)
            html += QStringLiteral("<td>%1</td>").arg(table.text(row, c).toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QTextDocument document;
    document.setDefaultFont(uih::font(8));
    document.setHtml(html);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(
        QStringLiteral("クラスの様子 %1").arg(m_context.services.clock.today().toString(QStringLiteral("yyyy-MM-dd"))));
    document.print(&printer);
}

void ClassViewWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("クラスの様子の印刷"));
    if (dialog.exec() == QDialog::Accepted)
        printTable(printer);
}

std::optional<QString> ClassViewWindow::exportCsv(const QString& path) const
{
    const QByteArray bytes = classview::csv(m_model->table(), m_model->order());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, file.errorString());
    return std::nullopt;
}

void ClassViewWindow::chooseCsvFile()
{
    uih::exportCsvAskingWhere(this, m_context.services.messages, QStringLiteral("クラスの様子"),
                              m_context.services.clock.today(),
                              [this](const QString& path) { return exportCsv(path); });
}
