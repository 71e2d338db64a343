#pragma once

#include "class_view.h"
#include "ui/screen_context.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>

class QComboBox;
class QCheckBox;
class QDateEdit;
class QFileSystemWatcher;
class QTimer;
class QLabel;
class QLineEdit;
class QPrinter;
class QTableView;

// The class's table as a model: a level's cell shows its state by symbol and colour on two
// lines, and says it in words (with the pupil's name) to a screen reader; clicking a header
// sorts by it, and again the other way. It opens in "気になる順".
class ClassViewModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ClassViewModel(QObject* parent) : QAbstractTableModel(parent) {}

    void setTable(classview::Table table);
    void setFilter(const classview::Filter& filter);
    void setPeriod(const classview::Period& period);
    // Back to "気になる順".
    void sortByConcern();
    // Projector mode: names stand hidden behind initials or numbers, everything else stays.
    void setNamesHidden(bool hidden);
    // The attempts appended since the table was read, the rows keeping their pupils' places in
    // the views (current row, selection). What classview::refresh says; nothing when the
    // program has been ended.
    std::optional<classview::Refresh> refresh(Services services, Pause& pause);
    const classview::Table& table() const { return m_table; }
    const QList<int>& order() const { return m_order; }
    int pupilAt(int row) const;
    // A level's caption on two lines, for columns too narrow for it on one.
    void setNarrow(bool narrow)
    {
        m_narrow = narrow;
        if (rowCount() > 0) // the rows and the selection stay
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
    }
    bool narrow() const { return m_narrow; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void reorder();

    classview::Table m_table;
    classview::Filter m_filter;
    QList<int> m_order;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_narrow = false;
};

// "クラスの様子": the teacher's view of the whole class, opened from the course board and from
// the teacher's panel, laid out to show every level of a five-level catalogue at 1024 × 768
// with a taskbar; 学年 and 名前 stay at the left when a larger catalogue scrolls. A period (今週,
// 今月, 今学期 or from–to), a grade choice, a choice of pupils who have not practised for some
// days and a search by name or reading narrow and measure the table; Enter (or a double click)
// on a row shows that pupil on the board, which comes to the front; "印刷" prints the table as
// it is shown, "CSVに書き出す" writes it for a spreadsheet.
class ClassViewWindow final : public QDialog
{
    Q_OBJECT
public:
    using ShowPupil = std::function<void(int pupil)>;
    // How often the results file is looked at when no change is reported (a network folder).
    static constexpr int kPollMs = 10000;
    ClassViewWindow(ScreenContext& context, ShowPupil showPupil, QWidget* parent);

    // Reads the results and fills the table; false when the program has been ended.
    bool load();
    const ClassViewModel& model() const { return *m_model; }
    classview::Period period() const;
    // Prints the table as shown, landscape, its header row on every page.
    void printTable(QPrinter& printer);
    // Writes the table as shown; the error when it could not.
    std::optional<QString> exportCsv(const QString& path) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshLive(); // the other PCs' attempts, during a lesson
    void applyFilter();
    void applyPeriod();
    void fitColumns();
    void showSelectedPupil();
    void print();
    void chooseCsvFile();
    void printCertificates();
    QString choicesText() const;

    ScreenContext& m_context;
    ShowPupil m_showPupil;
    ClassViewModel* m_model = nullptr;
    QTableView* m_view = nullptr;  // TableClass: the figures
    QTableView* m_names = nullptr; // TableNames: 学年 and 名前, which stay at the left
    QComboBox* m_period = nullptr; // ComboPeriod
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QComboBox* m_grade = nullptr;     // ComboGrade
    QComboBox* m_days = nullptr;      // ComboDays
    QLineEdit* m_search = nullptr;    // TextSearch
    QLabel* m_count = nullptr;        // LabelCount
    QLabel* m_classWeak = nullptr;    // LabelClassWeak
    QCheckBox* m_hideNames = nullptr; // CheckHideNames: projector mode, F9
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_settle = nullptr;
    QTimer* m_poll = nullptr;
    bool m_refreshing = false;
};
