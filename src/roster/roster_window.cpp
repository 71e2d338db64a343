#include "roster_window.h"

#include "import_undo.h"
#include "roster_window_dialogs.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "text/text_file.h"
#include "ui/ui_helpers.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

RosterWindow::RosterWindow(ScreenContext& context, std::function<void()> whenSaved, QWidget* parent)
    : QDialog(parent), m_context(context), m_whenSaved(std::move(whenSaved)),
      m_book(context.services.state.folders, context.services.clock.today(),
             context.services.state.organisation.schoolYearStartMonth.toInt())
{
    setObjectName("FrmMeibo");
    setWindowTitle(QStringLiteral("名簿の編集"));
    setFont(uih::font(11));
    // The window's text keeps the dark colours of a dialog whatever the screen behind it uses.
    setAttribute(Qt::WA_KeyboardFocusChange);

    auto* heading =
        new QLabel(QStringLiteral("名簿の編集（%1）").arg(QDir::toNativeSeparators(m_book.rosterPath())), this);
    heading->setObjectName("LabelRoster");
    heading->setWordWrap(true);
    m_table = new QTableWidget(0, 7, this);
    m_table->setObjectName("TableRoster");
    m_table->setHorizontalHeaderLabels({QStringLiteral("番号"), QStringLiteral("生まれた年"), QStringLiteral("学年"),
                                        QStringLiteral("名前"), QStringLiteral("よみ"), QStringLiteral("表示"),
                                        QStringLiteral("時計")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setFont(uih::font(12));
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { editPupil(); });
    m_table->installEventFilter(this); // the buttons' Alt keys work from the table too
    auto* note = new QLabel(RosterBook::earlyBirthNote() +
                                QStringLiteral("　　Enter：変更　Insert：追加　Delete：削除　Alt+↑↓：並べかえ"),
                            this);
    note->setObjectName("LabelNote");
    m_status = new QLabel(this);
    m_status->setObjectName("LabelStatus");
    m_status->setWordWrap(true);

    const struct
    {
        const char* name;
        const char16_t* caption;
        std::function<void()> action;
        bool needsRow;
    } buttons[] = {
        {"CommandAdd", u"追加(&A)", [this] { addPupil(); }, false},
        {"CommandEdit", u"変更(&E)", [this] { editPupil(); }, true},
        {"CommandShown", u"表示／表示しない(&H)", [this] { toggleShown(); }, true},
        {"CommandUntimed", u"時計あり／なし(&T)", [this] { toggleUntimed(); }, true},
        {"CommandUp", u"上へ(&U)", [this] { moveRow(-1); }, true},
        {"CommandDown", u"下へ(&D)", [this] { moveRow(1); }, true},
        {"CommandRemove", u"削除(&R)", [this] { removePupil(); }, true},
        {"CommandImport", u"CSVから読み込む(&I)", [this] { importCsv(); }, false},
        {"CommandUndoImport", u"取り込みを元に戻す(&Z)", [this] { undoImport(); }, false},
        {"CommandExport", u"CSVに書き出す(&X)", [this] { exportCsv(); }, false},
        {"CommandPassword", u"先生用パスワード(&P)", [this] { setPassword(); }, false},
        {"CommandSave", u"保存(&S)", [this] { save(); }, false},
        {"CommandClose", u"閉じる", [this] { reject(); }, false},
    };
    auto* rowOne = new QHBoxLayout;
    auto* rowTwo = new QHBoxLayout;
    int n = 0;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf16(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.action);
        if (b.needsRow)
            m_rowButtons.append(button);
        (n++ < 7 ? rowOne : rowTwo)->addWidget(button);
        if (QString::fromLatin1(b.name) == QStringLiteral("CommandUndoImport"))
            m_undoImport = button;
    }
    rowTwo->insertStretch(3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_table, 1);
    layout->addWidget(note);
    layout->addWidget(m_status);
    layout->addLayout(rowOne);
    layout->addLayout(rowTwo);
    // The teacher's screens are laid out for 1024 × 768 with a taskbar.
    resize(900, 640);
}

bool RosterWindow::load()
{
    if (const auto failure = m_book.load()) {
        m_context.services.messages.show(windowTitle(),
                                         *failure + QStringLiteral("\r\n先生は名簿ファイルを確かめてください。"),
                                         MessageBox::Icon::Warning);
        return false;
    }
    showRows(0);
    if (m_book.rows().isEmpty())
        say(QStringLiteral(
            "名簿に生徒がいません。「追加」で一人ずつ、「CSVから読み込む」でクラス全員を登録できます。"));
    return true;
}

void RosterWindow::showRows(int current)
{
    const QList<RosterBook::Row>& rows = m_book.rows();
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const RosterBook::Row& row = rows[r];
        const QStringList cells = {row.editable ? QString::number(row.number) : QString(),
                                   row.editable ? QString::number(row.birthYear) : QString(),
                                   row.grade,
                                   row.name,
                                   row.reading,
                                   row.shown,
                                   row.editable ? (row.untimed ? QStringLiteral("なし") : QStringLiteral("あり"))
                                                : QString()};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (row.editable && row.status != 0)
                item->setForeground(QColor(0x61, 0x61, 0x61)); // hidden: grey, and said in 表示
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    const bool any = !rows.isEmpty();
    for (QPushButton* button : m_rowButtons)
        button->setEnabled(any);
    if (any) {
        m_table->setCurrentCell(std::clamp(current, 0, int(rows.size()) - 1), 0);
        m_table->setFocus(Qt::OtherFocusReason);
    }
}

int RosterWindow::currentRow() const
{
    return m_table->currentRow();
}

void RosterWindow::say(const QString& text)
{
    m_status->setText(text);
}

void RosterWindow::addPupil()
{
    uih::Modal<PupilDialog> dialog(m_book, -1, this);
    if (!dialog.accepted())
        return;
    showRows(int(m_book.rows().size()) - 1);
    say(QStringLiteral("追加しました。「保存」で名簿ファイルに書き込みます。"));
}

void RosterWindow::editPupil()
{
    const int row = currentRow();
    if (row < 0)
        return;
    if (!m_book.rows()[row].editable) {
        say(QStringLiteral("この行は読めないため変えられません。ほかのプログラムのためにそのまま残します。"));
        return;
    }
    uih::Modal<PupilDialog> dialog(m_book, row, this);
    if (dialog.accepted()) {
        showRows(row);
        say(QStringLiteral("変更しました。「保存」で名簿ファイルに書き込みます。"));
    }
}

void RosterWindow::toggleShown()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_book.toggleShown(row);
    showRows(row);
}

void RosterWindow::toggleUntimed()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_book.toggleUntimed(row);
    showRows(row);
    say(m_book.rows()[row].untimed
            ? QStringLiteral(
                  "この生徒は時計なしで練習します（タイムを出さず、成績には記録しません）。「保存」で書き込みます。")
            : QStringLiteral("この生徒は時計ありにもどります。「保存」で書き込みます。"));
}

void RosterWindow::moveRow(int direction)
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_book.move(row, direction);
    showRows(row + direction);
}

void RosterWindow::removePupil()
{
    const int row = currentRow();
    if (row < 0)
        return;
    const RosterBook::Row& r = m_book.rows()[row];
    if (r.editable && !m_book.hasRecords(r.number) &&
        !m_context.services.messages.ask(
            windowTitle(), QStringLiteral("%1 さん（番号 %2）を名簿から消しますか？").arg(r.name).arg(r.number)))
        return;
    say(m_book.remove(row));
    showRows(row);
}

void RosterWindow::importCsv()
{
    const QString path =
        uih::chooseFile(this, QStringLiteral("CSVから読み込む"), uih::documentsFolder(),
                        QStringLiteral("CSV・テキスト (*.csv *.txt);;すべてのファイル (*)"), QFileDialog::AcceptOpen);
    if (path.isEmpty())
        return;
    uih::Modal<ImportDialog> dialog(m_book, path, this);
    if (!dialog->read()) {
        m_context.services.messages.show(
            QStringLiteral("CSVから読み込む"),
            QStringLiteral("「%1」を読めません：%2").arg(QDir::toNativeSeparators(path), dialog->error()),
            MessageBox::Icon::Warning);
        return;
    }
    if (dialog.accepted()) {
        showRows(currentRow());
        say(QStringLiteral("読み込みました。確かめてから「保存」を押してください。"));
    }
}

void RosterWindow::undoImport()
{
    const QString folder = m_context.services.state.folders.sharedFolder;
    const importundo::State state = importundo::state(folder);
    if (!state.available) {
        m_context.services.messages.show(windowTitle(), state.why, MessageBox::Icon::Information);
        return;
    }
    if (m_book.modified()) {
        m_context.services.messages.show(
            windowTitle(),
            QStringLiteral("この画面で変えて、まだ保存していないことがあります。保存するか、閉じてから"
                           "元に戻してください。"),
            MessageBox::Icon::Information);
        return;
    }
    if (!m_context.services.messages.ask(windowTitle(), state.why + QStringLiteral("\r\nよろしいですか？")))
        return;
    if (const auto failure = importundo::undo(folder)) {
        m_context.services.messages.show(windowTitle(), *failure, MessageBox::Icon::Warning);
        return;
    }
    load();
    say(QStringLiteral("取り込む前の名簿に戻しました。"));
    if (m_whenSaved)
        m_whenSaved();
}

void RosterWindow::exportCsv()
{
    uih::exportCsvAskingWhere(this, m_context.services.messages, QStringLiteral("名簿"),
                              m_context.services.clock.today(), [this](const QString& path) -> std::optional<QString> {
                                  if (const auto error = textfile::replace(path, m_book.csv()))
                                      return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, *error);
                                  return std::nullopt;
                              });
}

void RosterWindow::setPassword()
{
    emit passwordRequested();
}

QString RosterWindow::teacherWayIn()
{
    return QStringLiteral("名簿に「先生」の行はありません。それでもだいじょうぶです。\r\n"
                          "先生用の画面には、名前をえらぶ画面の「先生用」ボタン（Alt+T）から入れます"
                          "（パスワードを決めてあれば、それをたずねます）。");
}

bool RosterWindow::save()
{
    bool changedElsewhere = false;
    QString backupProblem;
    if (const auto failure = m_book.save(&changedElsewhere, &backupProblem)) {
        if (!changedElsewhere) {
            m_context.services.messages.show(windowTitle(), *failure, MessageBox::Icon::Warning);
            return false;
        }
        // What was typed stays in view; reading again loses it, so the teacher decides.
        if (m_context.services.messages.ask(windowTitle(),
                                            *failure + QStringLiteral("\r\nいまの名簿を読みなおしますか？"
                                                                      "（この画面で変えたことは消えます）"))) {
            load();
            say(QStringLiteral("名簿を読みなおしました。"));
        }
        return false;
    }
    say(backupProblem.isEmpty()
            ? QStringLiteral("保存しました（前の名簿は「%1」に残しました）。").arg(RosterDocument::backupFileName())
            : QStringLiteral("保存しました。") + backupProblem);
    if (m_whenSaved)
        m_whenSaved();
    if (!m_book.hasTeacherLine() && !m_toldTheWayIn) {
        m_toldTheWayIn = true;
        m_context.services.messages.show(windowTitle(), teacherWayIn(), MessageBox::Icon::Information);
    }
    return true;
}

void RosterWindow::done(int result)
{
    if (m_book.modified()) {
        const int choice = m_context.services.messages.choose(
            windowTitle(), QStringLiteral("名簿の変更をまだ保存していません。"),
            {QStringLiteral("保存して閉じる(&S)"), QStringLiteral("保存しないで閉じる(&N)"), QStringLiteral("もどる")});
        if (choice == 2 || (choice == 0 && !save()))
            return;
    }
    QDialog::done(result);
}

bool RosterWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The table takes a letter for its keyboard search, Alt+letter too: left to the buttons.
    if (watched == m_table && event->type() == QEvent::ShortcutOverride &&
        (static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier))
        return true;
    return QDialog::eventFilter(watched, event);
}

void RosterWindow::keyPressEvent(QKeyEvent* event)
{
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_table->hasFocus()) {
            editPupil();
            return;
        }
        break;
    case Qt::Key_Insert:
        addPupil();
        return;
    case Qt::Key_Delete:
        removePupil();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (alt) {
            moveRow(event->key() == Qt::Key_Up ? -1 : 1);
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}
