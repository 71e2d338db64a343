// The class view's table as Qt's views see it: rows in the chosen order, colours, sorting.
#include "class_view_window.h"

#include "state/shared_state.h"
#include "ui/ui_helpers.h"

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
