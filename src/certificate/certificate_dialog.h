#pragma once

#include "certificate.h"
#include "ui/screen_context.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPrinter;

// "賞状を印刷": the first clearings of a period (this month at first), of the pupils the teacher
// chose or of everyone, each ticked to print; the honorific, vertical or horizontal writing and
// the body's template, checked as it is typed; a preview, and printing (a PDF too) through the
// print dialog, one page per certificate.
class CertificateDialog final : public QDialog
{
    Q_OBJECT
public:
    CertificateDialog(ScreenContext& context, const QList<int>& pupils, QWidget* parent);

    // Reads the records and lists the period's clearings; false when the program has been ended.
    bool load();
    // The certificates ticked, as they will be printed.
    QList<certificate::Certificate> chosen() const;
    certificate::Writing writing() const;
    // One page per certificate, in the page orientation the writing asks for.
    void printCertificates(QPrinter& printer) const;

private:
    void listClearings();
    void checkTemplate();
    void showIssuer(); // the school and who signs, or that the school has no name yet
    // A4 in the orientation the writing asks for; false, after saying so, when nothing is ticked.
    bool readyToPrint(QPrinter& printer);
    void setUpPage(QPrinter& printer) const;
    void preview();
    void print();

    ScreenContext& m_context;
    QList<int> m_pupils; // empty: everyone
    QList<clearing::Cleared> m_clearings;
    QList<clearing::Cleared> m_listed;
    QHash<int, QString> m_names;  // pupil → name, from the roster
    QHash<int, QString> m_grades; // pupil → "小4"
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QListWidget* m_list = nullptr;    // ListClearings
    QLabel* m_found = nullptr;        // LabelFound: what the period holds
    QComboBox* m_honorific = nullptr; // ComboHonorific
    QComboBox* m_writing = nullptr;   // ComboWriting
    QPlainTextEdit* m_text = nullptr; // TextTemplate
    QLabel* m_problems = nullptr;     // LabelProblems
    QLabel* m_issuer = nullptr;       // LabelIssuer
};
