#pragma once

#include "roster/roster_file.h"
#include "ui/screen_context.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QListWidget;
class QPrinter;

// The teacher's panel, opened from the board by "印刷" for a pupil named "先生": the roster's
// pupils ("grade name/number", those the menu does not list marked "（非表示）", several may be
// selected), "表示" shows the first selected pupil's figures on the board and brings it to the
// front, "他の人のデータを見る" does the same and closes the panel, "印刷" prints one page per
// selected pupil (the pupil on the board when none is selected), "CSVに書き出す" writes the
// attempts of the selected pupils, or of everyone when none is, to a CSV file the teacher chooses.
class TeacherPanel final : public QDialog
{
    Q_OBJECT
public:
    using ShowPupil = std::function<void(int pupil)>;
    TeacherPanel(ScreenContext& context, int boardPupil, ShowPupil showPupil, QWidget* board);

    // The pupils to print: those of the selected entries, or the board's.
    QList<int> pupilsToPrint() const;
    // Prints one page per pupil; used by "印刷" after the print dialog, and by tests on a PDF.
    void printReports(QPrinter& printer, const QList<int>& pupils);
    // A pupil's entry in the list: grade, name and number, marked when the menu does not list them.
    static QString panelEntry(const roster::Line& line, int schoolYear, bool listStatus2);
    // Writes the CSV file, of the chosen pupils or of everyone; the error when it could not.
    std::optional<QString> exportCsv(const QString& path);

private:
    void print();
    void chooseCsvFile();
    int selectedPupil() const;
    QString nameOf(int pupil) const;

    ScreenContext& m_context;
    int m_boardPupil;
    ShowPupil m_showPupil;
    QList<roster::Line> m_roster;
    QListWidget* m_list = nullptr;       // List1
    QCheckBox* m_withoutNames = nullptr; // CheckWithoutNames: 名前なし
};
