#include "roster_window_dialogs.h"

#include "readings.h"
#include "ui/ui_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, bool japanese)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFont(uih::font(13));
    edit->setAttribute(Qt::WA_InputMethodEnabled, japanese);
    return edit;
}

QDialogButtonBox* okCancel(QDialog* dialog, const QString& ok)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* accept = buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    accept->setObjectName("ButtonOk");
    accept->setDefault(true); // Enter in a field is OK
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole)->setObjectName("ButtonCancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

PupilDialog::PupilDialog(RosterBook& book, int row, QWidget* parent) : QDialog(parent), m_book(book), m_row(row)
{
    setObjectName("PupilDialog");
    setWindowTitle(row < 0 ? QStringLiteral("生徒の追加") : QStringLiteral("生徒の変更"));
    setFont(uih::font(12));
    auto* form = new QFormLayout;
    // In the order a teacher types a new pupil: name, reading, birth year.
    m_number = lineEdit(this, "TextNumber", false);
    m_name = lineEdit(this, "TextName", true);
    m_name->setMaxLength(40); // longer is refused with its length, not cut silently
    m_reading = lineEdit(this, "TextReading", true);
    m_year = lineEdit(this, "TextYear", false);
    m_grade = new QLabel(this);
    m_grade->setObjectName("LabelGrade");
    m_shown = new QComboBox(this);
    m_shown->setObjectName("ComboShown");
    m_shown->addItems({RosterBook::statusCaption(0), RosterBook::statusCaption(1),
                       RosterBook::statusCaption(2) + QStringLiteral("（共通データの3番目が1のときだけ表示）")});
    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(m_year);
    yearRow->addWidget(m_grade);
    auto* yearLabel = new QLabel(QStringLiteral("生まれた年(&Y)"), this);
    yearLabel->setBuddy(m_year);
    form->addRow(QStringLiteral("番号(&N)"), m_number);
    form->addRow(QStringLiteral("名前(&M)"), m_name);
    form->addRow(QStringLiteral("よみ(&R)"), m_reading);
    form->addRow(yearLabel, yearRow);
    form->addRow(QString(), new QLabel(RosterBook::earlyBirthNote(), this));
    form->addRow(QStringLiteral("表示(&S)"), m_shown);
    m_problem = new QLabel(this);
    m_problem->setObjectName("LabelProblem");
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b71c1c"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(okCancel(this, QStringLiteral("決定")));
    if (row < 0) {
        m_number->setText(QString::number(book.nextFreeNumber()));
    } else {
        const RosterBook::Row& r = book.rows()[row];
        m_number->setText(QString::number(r.number));
        m_number->setReadOnly(true); // the number is the pupil's identity in every record
        m_year->setText(QString::number(r.birthYear));
        m_name->setText(r.name);
        m_reading->setText(r.reading);
        m_shown->setCurrentIndex(r.status == 0 ? 0 : r.status == 2 ? 2 : 1);
    }
    connect(m_year, &QLineEdit::textChanged, this, &PupilDialog::showGrade);
    showGrade();
    m_name->setFocus();
}

void PupilDialog::showGrade()
{
    const auto year = RosterDocument::parseYear(m_year->text());
    m_grade->setText(year ? QStringLiteral("（今年度 %1）").arg(m_book.gradeOf(*year)) : QString());
}

void PupilDialog::accept()
{
    const qint64 status = m_shown->currentIndex() == 0 ? 0 : m_shown->currentIndex() == 2 ? 2 : 1;
    std::optional<QString> problem;
    if (m_row < 0) {
        bool ok = false;
        const int number = m_number->text().normalized(QString::NormalizationForm_KC).trimmed().toInt(&ok);
        problem = ok ? m_book.add(number, m_name->text(), m_year->text(), m_reading->text(), status)
                     : std::optional(QStringLiteral("番号は 1 から 5000 までの数で入れてください。"));
    } else {
        problem = m_book.edit(m_row, m_name->text(), m_year->text(), m_reading->text(), status);
    }
    if (problem) {
        m_problem->setText(*problem);
        return;
    }
    QDialog::accept();
}

ImportDialog::ImportDialog(RosterBook& book, QString path, QWidget* parent)
    : QDialog(parent), m_book(book), m_path(std::move(path))
{
    setObjectName("ImportDialog");
    setWindowTitle(QStringLiteral("CSVから読み込む"));
    setFont(uih::font(11));
    auto* options = new QFormLayout;
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName("ComboEncoding");
    m_encoding->addItems({QStringLiteral("自動"), QStringLiteral("UTF-8"), QStringLiteral("Shift_JIS（CP932）")});
    m_numbering = new QComboBox(this);
    m_numbering->setObjectName("ComboNumbering");
    m_numbering->addItems(
        {QStringLiteral("空いている番号（小さい順）"), QStringLiteral("学年・組・出席番号から（1年1組1番は 2001）")});
    m_numbering->setToolTip(rosterimport::seatNumberScheme());
    m_changeNames = new QCheckBox(QStringLiteral("名簿にいる生徒の名前を、CSVの書き方（髙・﨑など）にする(&C)"), this);
    m_changeNames->setObjectName("CheckNames");
    m_problemsOnly = new QCheckBox(QStringLiteral("問題のある行だけ表示(&P)"), this);
    m_problemsOnly->setObjectName("CheckProblems");
    options->addRow(QStringLiteral("文字コード(&E)"), m_encoding);
    options->addRow(QStringLiteral("新しい生徒の番号(&B)"), m_numbering);
    options->addRow(QString(), m_changeNames);
    m_mapping = new QTableWidget(2, 0, this);
    m_mapping->setObjectName("TableColumns");
    m_mapping->setVerticalHeaderLabels({QStringLiteral("CSVの列"), QStringLiteral("読み方")});
    m_mapping->horizontalHeader()->hide();
    m_mapping->setMaximumHeight(84);
    m_preview = new QTableWidget(0, 7, this);
    m_preview->setObjectName("TablePreview");
    m_preview->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("どうするか"),
                                          QStringLiteral("生徒番号"), QStringLiteral("学年"), QStringLiteral("名前"),
                                          QStringLiteral("よみ"), QStringLiteral("問題・変わること")});
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->verticalHeader()->hide();
    m_summary = new QLabel(this);
    m_summary->setObjectName("LabelSummary");
    m_summary->setWordWrap(true);
    auto* buttons = okCancel(this, QStringLiteral("読み込む(&T)"));
    m_take = buttons->findChild<QPushButton*>("ButtonOk");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ファイル：%1").arg(QDir::toNativeSeparators(m_path)), this));
    layout->addLayout(options);
    layout->addWidget(m_mapping);
    layout->addWidget(m_problemsOnly);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    resize(940, 600);
    connect(m_encoding, &QComboBox::activated, this, [this] {
        if (read())
            return;
        m_summary->setText(m_error);
    });
    connect(m_numbering, &QComboBox::activated, this, &ImportDialog::replan);
    connect(m_changeNames, &QCheckBox::toggled, this, &ImportDialog::replan);
    connect(m_problemsOnly, &QCheckBox::toggled, this, &ImportDialog::showPlan);
}

bool ImportDialog::read()
{
    const auto encoding = rosterimport::Encoding(m_encoding->currentIndex());
    const auto sheet = rosterimport::readFile(m_path, encoding, &m_error);
    if (!sheet)
        return false;
    m_sheet = *sheet;
    m_columns = rosterimport::recognise(m_sheet.rows.front());
    m_decided.clear();
    const QList<rosterimport::Column> all = rosterimport::allColumns();
    m_mapping->setColumnCount(int(m_columns.size()));
    for (int c = 0; c < m_columns.size(); ++c) {
        m_mapping->setItem(0, c, new QTableWidgetItem(m_sheet.rows.front().value(c)));
        auto* choice = new QComboBox(m_mapping);
        choice->setObjectName(QStringLiteral("ComboColumn_%1").arg(c));
        for (const rosterimport::Column kind : all)
            choice->addItem(rosterimport::caption(kind));
        choice->setCurrentIndex(int(all.indexOf(m_columns[c])));
        connect(choice, &QComboBox::activated, this, [this, c, all](int index) {
            m_columns[c] = all[index];
            m_decided.insert(c);
            replan();
        });
        m_mapping->setCellWidget(1, c, choice);
    }
    m_mapping->resizeColumnsToContents();
    replan();
    return true;
}

void ImportDialog::replan()
{
    rosterimport::Options options;
    options.numbering = rosterimport::Numbering(m_numbering->currentIndex());
    options.changeNames = m_changeNames->isChecked();
    options.decided = m_decided;
    options.schoolYear = m_book.schoolYear();
    options.schoolYearStartMonth = m_book.schoolYearStartMonth();
    options.thisYear = m_book.thisYear();
    m_plan = rosterimport::plan(m_sheet, m_columns, m_book.document(), m_book.readings(), options);
    showPlan();
}

void ImportDialog::showPlan()
{
    using rosterimport::Action;
    m_preview->setRowCount(0);
    for (const rosterimport::Item& item : m_plan.items) {
        if (m_problemsOnly->isChecked() && item.action != Action::Skipped)
            continue;
        const int r = m_preview->rowCount();
        m_preview->insertRow(r);
        const bool skipped = item.action == Action::Skipped;
        const QStringList cells = {QString::number(item.row),
                                   rosterimport::caption(item.action),
                                   skipped ? QString() : QString::number(item.number),
                                   item.birthYear ? m_book.gradeOf(item.birthYear) : QString(),
                                   item.name,
                                   item.reading,
                                   (skipped ? item.problems : item.changes).join(QStringLiteral("、"))};
        for (int c = 0; c < cells.size(); ++c) {
            auto* cell = new QTableWidgetItem(cells[c]);
            cell->setToolTip(cells[c]); // a long problem is read whole here
            if (skipped) {
                cell->setForeground(QColor(0xb7, 0x1c, 0x1c));
                if (c == 1)
                    cell->setText(QStringLiteral("× ") + cells[c]); // readable without colour
            }
            m_preview->setItem(r, c, cell);
        }
    }
    m_preview->resizeColumnsToContents();
    QString summary = m_plan.notes.isEmpty() ? QString() : m_plan.notes.join(u'\n') + u'\n';
    if (m_numbering->currentIndex() == int(rosterimport::Numbering::GradeClassSeat))
        summary += rosterimport::seatNumberScheme() + u'\n';
    summary += QStringLiteral("新しく登録 %1 人、変更 %2 人、変更なし %3 人、読み込まない行 %4。")
                   .arg(m_plan.count(Action::New))
                   .arg(m_plan.count(Action::Changed))
                   .arg(m_plan.count(Action::Unchanged))
                   .arg(m_plan.count(Action::Skipped));
    if (m_plan.count(Action::Skipped) > 0)
        summary += QStringLiteral("問題のある行は読み込みません。CSVを直すか、列の読み方を選びなおしてください。");
    if (!m_sheet.warning.isEmpty())
        summary = m_sheet.warning + QStringLiteral("\n") + summary;
    m_summary->setText(summary);
    m_take->setEnabled(m_plan.count(Action::New) + m_plan.count(Action::Changed) > 0);
}

void ImportDialog::accept()
{
    // The file may have been changed (saved again from the spreadsheet) while the preview was
    // open: what is taken is only ever what was shown.
    const auto now = rosterimport::readFile(m_path, rosterimport::Encoding(m_encoding->currentIndex()), &m_error);
    if (!now || now->digest != m_sheet.digest) {
        m_summary->setText(QStringLiteral("ファイルが、この画面で読んだあとに変わりました。読みなおしたので、"
                                          "もう一度確かめてから「読み込む」を押してください。"));
        if (!read())
            m_summary->setText(m_error);
        return;
    }
    rosterimport::apply(m_plan, m_book.document(), m_book.readings(), m_book.thisYear());
    m_book.refresh();
    m_book.markImported();
    QDialog::accept();
}
