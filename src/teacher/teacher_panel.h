#pragma once

#include "roster/roster_file.h"
#include "ui/screen_context.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QPrinter;

// The teacher's panel, opened from the board by "印刷" for a pupil named "先生": the roster's
// pupils ("name/number", several may be selected), "表示" shows the first selected pupil's
// figures on the board, "他の人のデータを見る" switches the board to that pupil and closes the
// panel, "印刷" prints one page per selected pupil (the pupil on the board when none is
// selected), "CSVに書き出す" writes every attempt to a CSV file the teacher chooses.
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
    // Writes the CSV file; the error when it could not.
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
    QListWidget* m_list = nullptr; // List1
};
