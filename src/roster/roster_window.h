#pragma once

#include "roster_book.h"
#include "ui/screen_context.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

// "名簿の編集": the teacher's window on the roster. One row per line of the file, in file order,
// with its number, birth year and the grade it gives today, name, reading and whether the menu
// lists it. Pupils are added, changed, hidden and shown, moved (the order is the menu's and
// decides ties in the rankings) and removed while they have no records; a class list is
// imported from CSV and the roster exported as CSV. Every control works by keyboard. What it
// shows and does is the RosterBook's; nothing is written until "保存".
class RosterWindow final : public QDialog
{
    Q_OBJECT
public:
    // whenSaved runs after each save, so that the screen behind lists the roster anew.
    RosterWindow(ScreenContext& context, std::function<void()> whenSaved, QWidget* parent);

    // False when the roster cannot be read (the teacher has been told why).
    bool load();
    const RosterBook& book() const { return m_book; }

    void addPupil();  // 追加
    void editPupil(); // 変更
    void toggleShown();
    void toggleUntimed(); // 表示／表示しない
    void moveRow(int direction);
    void removePupil(); // 削除
    void importCsv();   // CSVから読み込む
    void exportCsv();   // CSVに書き出す
    void undoImport();  // 取り込みを元に戻す
    void setPassword(); // 先生用パスワード
    bool save();        // 保存
    // What a roster without a "先生" line is saved with, once per window: how the teacher gets in.
    static QString teacherWayIn();

signals:
    // "先生用パスワード": the password is the teacher's tools' business.
    void passwordRequested();

protected:
    void done(int result) override; // asks before unsaved changes are lost
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRows(int current);
    int currentRow() const;
    void say(const QString& text);

    ScreenContext& m_context;
    std::function<void()> m_whenSaved;
    RosterBook m_book;
    QTableWidget* m_table = nullptr;
    QLabel* m_status = nullptr;
    QList<QPushButton*> m_rowButtons; // those that need a chosen row
    bool m_toldTheWayIn = false;
    QPushButton* m_undoImport = nullptr;
};
