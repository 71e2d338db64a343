#include "namesel_screen.h"

#include "help/help_addresses.h"
#include "help/help_limits.h"
#include "platform/platform.h"
#include "roster/roster_file.h"
#include "sound/sound_players.h"
#include "startup/course_catalogue.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "text/kana.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kRowZero = QStringLiteral("－－－－－－");
const QStringList kModeCaptions = {QStringLiteral("回数(今日／今まで）"), QStringLiteral("ポイント（今日／今まで）"),
                                   QStringLiteral("本日（ポイント／回数）"),
                                   QStringLiteral("今まで（ポイント／回数）")};

} // namespace

NameselScreen::NameselScreen(ScreenContext& context)
    : Form(formname::kMenu.toString()), m_context(context), m_menu(context.services, context.pause)
{}

void NameselScreen::build()
{
    const SharedState& state = m_context.services.state;
    const QColor accent = uih::accent(state.catalogue.accentColour);
    setWindowTitle(state.catalogue.courseTitle);
    setFixedSize(1024, 768);
    uih::setBackground(this, accent);

    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName("menubar");
    QMenu* file = menuBar->addMenu(QStringLiteral("file"));
    file->setObjectName("menufile");
    QAction* rename = file->addAction(QStringLiteral("名前の変更"));
    rename->setObjectName("menuname");
    connect(rename, &QAction::triggered, this, &NameselScreen::openNameChange);
    QAction* quit = file->addAction(QStringLiteral("終了"));
    quit->setObjectName("menuend");
    connect(quit, &QAction::triggered, this, &NameselScreen::quitProgram);
    QMenu* help = menuBar->addMenu(QStringLiteral("ヘルプ"));
    help->setObjectName("menuHelp0");
    const auto item = [&](const char* name, const QString& caption, auto slot) {
        QAction* action = help->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    item("menuhelp1", QStringLiteral("使用法の説明１"), [this] { openHelp(HelpAddresses::Index); });
    item("menuhelp2", QStringLiteral("使用法の説明２"), [this] { openHelp(HelpAddresses::Study); });
    help->addSeparator()->setObjectName("adfsfseee");
    item("menuspt", QStringLiteral("バージョン情報"), [this] { m_context.navigator.showVersionBox(); });
    help->addSeparator()->setObjectName("aaasdsf");
    item("mnmale", QStringLiteral("お問い合わせ"), [this] { openHelp(HelpAddresses::Contact); });
    item("menuCV88", QStringLiteral("Corvalen88ホームページ"), [this] { openHomePage(); });
    menuBar->setGeometry(0, 0, 1024, 26);

    auto* titlePanel = new QWidget(this);
    titlePanel->setObjectName("Picture4");
    titlePanel->setGeometry(24, 36, 976, 96);
    auto* title = uih::label(titlePanel, "Label4", state.catalogue.courseTitle, QRect(0, 0, 976, 96), 48, true);
    title->setStyleSheet(QStringLiteral("color: white"));
    title->setAlignment(Qt::AlignCenter);

    m_list = new QListWidget(this);
    m_list->setObjectName("List1");
    m_list->setGeometry(24, 150, 560, 520);
    uih::showLinesInCells(m_list, 16);
    m_list->installEventFilter(this);
    // Kana typed through an input method reach the list as committed text.
    m_list->setAttribute(Qt::WA_InputMethodEnabled);
    // The kana table's rows, for a pupil who finds their name by its first sound.
    const QStringList rows = kana::rows();
    for (int r = 0; r < rows.size(); ++r) {
        auto* jump =
            uih::button(this, QStringLiteral("CommandKana%1").arg(r), rows[r], QRect(24 + r * 56, 678, 52, 36), 14);
        jump->setFocusPolicy(Qt::NoFocus); // the keyboard jumps by typing, the list keeps the focus
        jump->setAccessibleName(QStringLiteral("%1行へ").arg(rows[r]));
        connect(jump, &QPushButton::clicked, this, [this, r] { jumpTo(m_menu.rowForKanaRow(r)); });
        m_kanaRows.append(jump);
    }
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            rowClicked(row, false);
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { rowClicked(m_list->row(item), true); });

    m_gradeFilter = new QComboBox(this);
    m_gradeFilter->setObjectName("Combo1");
    m_gradeFilter->setGeometry(610, 150, 200, 36);
    m_gradeFilter->setFont(uih::font(14, false, this));
    m_gradeFilter->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    m_gradeFilter->installEventFilter(this);
    connect(m_gradeFilter, &QComboBox::activated, this, [this](int) { changeGradeFilter(); });

    auto* modes = new QWidget(this);
    modes->setObjectName("Picture7");
    modes->setGeometry(610, 200, 390, 150);
    uih::setBackground(modes, QColor(224, 242, 241));
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(kModeCaptions[i], modes);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        option->setGeometry(12, 8 + i * 34, 370, 30);
        option->setFont(uih::font(13, false, this));
        option->installEventFilter(this);
        connect(option, &QRadioButton::clicked, this, [this, i] { changeListMode(i); });
        m_listModes.append(option);
    }

    m_choice = uih::label(this, "Label1", m_menu.choiceText(), QRect(610, 370, 390, 48), 20, true);
    m_choice->setStyleSheet(QStringLiteral("color: white"));
    m_confirm = uih::button(this, "Command14", QStringLiteral("O.K."), QRect(610, 430, 180, 64), 22);
    m_confirm->installEventFilter(this);
    connect(m_confirm, &QPushButton::clicked, this, &NameselScreen::confirmName);
    m_quit = uih::button(this, "Command7", QStringLiteral("終了"), QRect(820, 430, 180, 64), 22);
    m_quit->installEventFilter(this);
    connect(m_quit, &QPushButton::clicked, this, &NameselScreen::quitProgram);

    auto* helpPanel = new QWidget(this);
    helpPanel->setObjectName("Picture6");
    helpPanel->setGeometry(610, 520, 390, 190);
    uih::setBackground(helpPanel, QColor(224, 242, 241));
    uih::label(helpPanel, "Label13", QStringLiteral("オンラインヘルプ"), QRect(12, 6, 360, 26), 13, true);
    auto* rename2 = uih::button(helpPanel, "Command16", QStringLiteral("名前の変更"), QRect(12, 36, 160, 40), 13);
    rename2->installEventFilter(this);
    connect(rename2, &QPushButton::clicked, this, &NameselScreen::openNameChange);
    auto* help1 = uih::button(helpPanel, "Command15", QStringLiteral("使用法の説明１"), QRect(12, 86, 160, 40), 12);
    auto* help2 = uih::button(helpPanel, "Command17", QStringLiteral("使用法の説明2"), QRect(12, 136, 160, 40), 12);
    auto* l15 = uih::label(helpPanel, "Label15", QStringLiteral("名前の変更、名前の選択、レベルの選択、登録など"),
                           QRect(180, 86, 200, 40), 9);
    l15->setWordWrap(true);
    uih::label(helpPanel, "Label16", QStringLiteral("このソフトの勉強の仕方"), QRect(180, 136, 200, 40), 10);
    // The teacher's way in, whether or not the roster has a "先生" line.
    m_teacher = uih::button(helpPanel, "CommandTeacher", QStringLiteral("先生用(&T)"), QRect(218, 36, 160, 40), 13);
    m_teacher->setToolTip(QStringLiteral("先生の画面（クラスの様子、名ぼ、しょうじょう、学校のせってい）"));
    connect(m_teacher, &QPushButton::clicked, this, [this] { m_context.navigator.showTeacherTools(); });
    for (QPushButton* button : {help1, help2, m_teacher})
        button->installEventFilter(this);
    connect(help1, &QPushButton::clicked, this, [this] { openHelp(HelpAddresses::Index); });
    connect(help2, &QPushButton::clicked, this, [this] { openHelp(HelpAddresses::Study); });

    // A new installation's empty roster: what to do, in place of an empty list.
    m_emptyRoster = new QWidget(this);
    m_emptyRoster->setObjectName("PictureEmpty");
    m_emptyRoster->setGeometry(36, 210, 536, 170);
    uih::setBackground(m_emptyRoster, QColor(255, 253, 231));
    m_emptyRosterText = uih::label(m_emptyRoster, "LabelEmpty", QString(), QRect(12, 8, 512, 90), 12);
    m_emptyRosterText->setWordWrap(true);
    m_makeRoster =
        uih::button(m_emptyRoster, "CommandRoster", QStringLiteral("名ぼを作る"), QRect(12, 108, 220, 52), 16);
    m_makeRoster->installEventFilter(this);
    connect(m_makeRoster, &QPushButton::clicked, this, [this] { m_context.navigator.showRosterWindow(this); });
    m_emptyRoster->hide();

    // Shown until the list is built.
    m_wait = uih::waitPanel(this, QStringLiteral("Picture5"), QStringLiteral("Label19"), accent);
    m_wait->show();
    m_wait->raise();
}

void NameselScreen::formLoad()
{
    build();
    // The list is built by the activation that always follows, once the roster is repaired:
    // building it here as well would read the results and the roster twice.
    (void)letEventsRun();
}

void NameselScreen::formActivate()
{
    if (!isOpen())
        return; // left while the form loaded
    roster::repair(m_context.services.state.folders.sharedFolder);
    if (m_gradeFilter->count() == 0)
        m_gradeFilter->addItems(catalogue::gradeChoices());
    m_gradeFilter->setCurrentIndex(0);
    m_listModes[NameMenu::kDefaultListMode]->setChecked(true);
    const OpenCheck open = openCheck();
    changeListMode(NameMenu::kDefaultListMode);
    if (!open())
        return;
    m_choice->show();
    if (!letEventsRun())
        return; // left while events ran
    m_wait->hide();
    if (m_menu.rosterEmpty())
        m_makeRoster->setFocus(Qt::OtherFocusReason);
    else
        m_list->setFocus(Qt::OtherFocusReason);
}

void NameselScreen::showList()
{
    const OpenCheck open = openCheck(); // the results may keep it waiting, with events running
    if (!m_menu.list(m_gradeFilter->currentText()) || !open())
        return; // the program has been ended, or the menu left
    const QSignalBlocker blocker(m_list);
    QStringList lines{kRowZero};
    lines.reserve(m_menu.rows().size() + 1);
    for (const namelist::Row& row : m_menu.rows())
        lines.append(row.text);
    m_list->clear();
    m_list->addItems(lines); // at once: item by item, each row tells the view again
    m_list->setCurrentRow(0);
    rowClicked(0, false);
    m_emptyRosterText->setText(m_menu.emptyRosterText() +
                               QStringLiteral("\r\n先生が名ぼを作ると、ここに名前がならびます。"));
    m_emptyRoster->setVisible(m_menu.rosterEmpty());
}

void NameselScreen::rowClicked(int row, bool doubleClick)
{
    m_menu.click(row, doubleClick);
    m_choice->setText(m_menu.choiceText());
    if (doubleClick && m_menu.hasChoice())
        confirmName();
}

void NameselScreen::jumpTo(int row)
{
    if (row <= 0)
        return;
    m_list->setCurrentRow(row);
    m_list->scrollToItem(m_list->item(row), QAbstractItemView::PositionAtTop);
    m_list->setFocus(Qt::OtherFocusReason);
}

void NameselScreen::confirmName()
{
    if (!m_menu.confirm()) {
        m_context.sounds.playWrongSound();
        return;
    }
    m_confirm->hide();
    m_wait->show();
    m_wait->raise();
    if (!letEventsRun())
        return;
    m_context.navigator.showBoard();
}

void NameselScreen::quitProgram()
{
    // The family's launcher may be missing: the program ends all the same.
    m_context.platform.launcher.start(launcherPath(m_context.services.state.folders.programFolder),
                                      {QStringLiteral("001")});
    m_context.services.programEnd.endProgram(0);
}

void NameselScreen::openNameChange()
{
    m_context.navigator.showNameChange();
}

void NameselScreen::changeListMode(int mode)
{
    m_menu.setListMode(mode);
    showList();
}

void NameselScreen::changeGradeFilter()
{
    showList();
    m_list->setFocus(Qt::OtherFocusReason);
}

// The home page in the system's browser when it is a web page; any other address (the help
// pages installed with the program, by default) is shown in the help browser instead, as a
// local file must never be handed to the system's opener.
void NameselScreen::openHomePage()
{
    const QString address = m_context.services.state.catalogue.helpAddresses.value(HelpAddresses::Home);
    const QUrl url(address);
    if (!helplimits::forSystemBrowser(url)) {
        m_context.navigator.showHelp(address);
        return;
    }
    if (!QDesktopServices::openUrl(url)) {
        m_context.services.messages.show(
            QStringLiteral("ホームページ"),
            QStringLiteral(
                "ブラウザを開けません。このパソコンにはインターネットを見るブラウザがせっていされていません。"
                "\r\nアドレス：%1")
                .arg(helplimits::shownAddress(address)),
            MessageBox::Icon::Information);
    }
}

void NameselScreen::openHelp(int page)
{
    m_context.navigator.showHelp(m_context.services.state.catalogue.helpAddresses.value(page));
}

// The form sees every key before its controls: "1" confirms, "0" ends, and in the list Enter
// or the space bar confirms the chosen name.
bool NameselScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == QStringLiteral("1") && m_confirm->isVisible()) {
            confirmName();
            return true;
        }
        if (key->text() == QStringLiteral("0") && m_quit->isVisible()) {
            quitProgram();
            return true;
        }
        if (watched == m_list &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
            confirmName();
            return true;
        }
        // The kana jump: a kana typed, or the first letter of a row of the kana table in romaji
        // (k for か行) when no input method is on.
        if (watched == m_list && key->text().size() == 1 &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QChar typed = key->text().front();
            static const QString romaji = QStringLiteral("aksthnmyrw");
            if (const qsizetype r = romaji.indexOf(typed.toLower()); r >= 0) {
                jumpTo(m_menu.rowForKanaRow(int(r)));
                return true;
            }
            if (kana::rowOf(typed) >= 0) {
                jumpTo(m_menu.rowForKana(typed));
                return true;
            }
        }
        if (watched == m_makeRoster && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            m_makeRoster->click();
            return true;
        }
    }
    if (watched == m_list && event->type() == QEvent::InputMethod) {
        const QString committed = static_cast<QInputMethodEvent*>(event)->commitString();
        if (!committed.isEmpty() && kana::rowOf(committed.front()) >= 0) {
            jumpTo(m_menu.rowForKana(committed.front()));
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}
