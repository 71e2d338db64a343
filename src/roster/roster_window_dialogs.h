#pragma once

#include "roster_book.h"
#include "roster_import.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// A pupil of the roster window, new or changed: number (a new pupil's only), birth year with
// the grade it gives, name, reading and whether the menu lists the pupil. OK asks the book, and
// the dialog stays open with the reason while the book refuses.
class PupilDialog final : public QDialog
{
    Q_OBJECT
public:
    // row < 0: a new pupil, with the next free number proposed.
    PupilDialog(RosterBook& book, int row, QWidget* parent);

protected:
    void accept() override;

private:
    void showGrade();

    RosterBook& m_book;
    int m_row;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_year = nullptr;
    QLabel* m_grade = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_reading = nullptr;
    QComboBox* m_shown = nullptr;
    QLabel* m_problem = nullptr;
};

// "CSVから読み込む": the class list's rows with what will happen to each (新しく登録, 変更,
// 変更なし, 読み込まない) and every problem, before anything is written. The teacher may choose
// the encoding (the preview changes at once), map a column the header did not name, choose how
// new pupils are numbered and whether existing pupils' names change, and show the problems
// alone. Accepting takes the rows without problems into the book; cancelling changes nothing.
class ImportDialog final : public QDialog
{
    Q_OBJECT
public:
    ImportDialog(RosterBook& book, QString path, QWidget* parent);

    // False when the file cannot be read at all; error() says why.
    bool read();
    QString error() const { return m_error; }
    const rosterimport::Plan& plan() const { return m_plan; }

protected:
    void accept() override;

private:
    void replan();
    void showPlan();

    RosterBook& m_book;
    QString m_path;
    QString m_error;
    rosterimport::Sheet m_sheet;
    QList<rosterimport::Column> m_columns;
    QSet<qsizetype> m_decided; // columns the teacher set by hand
    rosterimport::Plan m_plan;
    QComboBox* m_encoding = nullptr;
    QComboBox* m_numbering = nullptr;
    QCheckBox* m_changeNames = nullptr;
    QCheckBox* m_problemsOnly = nullptr;
    QTableWidget* m_mapping = nullptr;
    QTableWidget* m_preview = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_take = nullptr;
};
