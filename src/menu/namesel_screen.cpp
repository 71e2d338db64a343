#include "namesel_screen.h"

#include "platform/pending_events.h"
#include "platform/platform.h"
#include "records/results_store.h"
#include "roster/roster_file.h"
#include "sound/sound_players.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/random_source.h"
#include "state/shared_state.h"
#include "text/text_file.h"
#include "ui/form_registry.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kChooseName = QStringLiteral("名前を選びなさい");
const QString kRowZero = QStringLiteral("－－－－－－");
const QStringList kGrades = {QStringLiteral("全学年"), QStringLiteral("中学生全体"), QStringLiteral("小学生全体"),
                             QStringLiteral("中３"),   QStringLiteral("中２"),       QStringLiteral("中１"),
                             QStringLiteral("小６"),   QStringLiteral("小５"),       QStringLiteral("小４"),
                             QStringLiteral("小３"),   QStringLiteral("小２"),       QStringLiteral("小１")};
const QStringList kModeCaptions = {QStringLiteral("回数(今日／今まで）"), QStringLiteral("ポイント（今日／今まで）"),
                                   QStringLiteral("本日（ポイント／回数）"),
                                   QStringLiteral("今まで（ポイント／回数）")};

} // namespace

NameselScreen::NameselScreen(ScreenContext& context) : Form(QStringLiteral("namesel")), m_context(context) {}

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
    connect(rename, &QAction::triggered, this, &NameselScreen::Command16_Click);
    QAction* quit = file->addAction(QStringLiteral("終了"));
    quit->setObjectName("menuend");
    connect(quit, &QAction::triggered, this, &NameselScreen::Command7_Click);
    menuBar->setGeometry(0, 0, 1024, 26);

    auto* titlePanel = new QWidget(this);
    titlePanel->setObjectName("Picture4");
    titlePanel->setGeometry(24, 36, 976, 96);
    auto* title = uih::label(titlePanel, "Label4", state.catalogue.courseTitle, QRect(0, 0, 976, 96), 48, true);
    title->setStyleSheet(QStringLiteral("color: white"));
    title->setAlignment(Qt::AlignCenter);

    m_list = new QListWidget(this);
    m_list->setObjectName("List1");
    m_list->setGeometry(24, 150, 560, 560);
    m_list->setFont(uih::fixedFont(16));
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            List1_Click(row);
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { List1_DblClick(m_list->row(item)); });

    m_grade = new QComboBox(this);
    m_grade->setObjectName("Combo1");
    m_grade->setGeometry(610, 150, 200, 36);
    m_grade->setFont(uih::font(14));
    m_grade->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    m_grade->installEventFilter(this);
    connect(m_grade, &QComboBox::activated, this, [this](int) { Combo1_Click(); });

    auto* modes = new QWidget(this);
    modes->setObjectName("Picture7");
    modes->setGeometry(610, 200, 390, 150);
    uih::setBackground(modes, QColor(224, 242, 241));
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(kModeCaptions[i], modes);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        option->setGeometry(12, 8 + i * 34, 370, 30);
        option->setFont(uih::font(13));
        option->installEventFilter(this);
        connect(option, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        m_modes.append(option);
    }

    m_choice = uih::label(this, "Label1", kChooseName, QRect(610, 370, 390, 48), 20, true);
    m_choice->setStyleSheet(QStringLiteral("color: white"));
    m_number = uih::label(this, "Label2", QString(), QRect(610, 420, 10, 10));
    m_number->hide();
    m_ok = uih::button(this, "Command14", QStringLiteral("O.K."), QRect(610, 430, 180, 64), 22);
    m_ok->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &NameselScreen::Command14_Click);
    m_end = uih::button(this, "Command7", QStringLiteral("終了"), QRect(820, 430, 180, 64), 22);
    m_end->installEventFilter(this);
    connect(m_end, &QPushButton::clicked, this, &NameselScreen::Command7_Click);

    auto* helpPanel = new QWidget(this);
    helpPanel->setObjectName("Picture6");
    helpPanel->setGeometry(610, 520, 390, 190);
    uih::setBackground(helpPanel, QColor(224, 242, 241));
    uih::label(helpPanel, "Label13", QStringLiteral("オンラインヘルプ"), QRect(12, 6, 360, 26), 13, true);
    auto* rename2 = uih::button(helpPanel, "Command16", QStringLiteral("名前の変更"), QRect(12, 36, 160, 40), 13);
    rename2->installEventFilter(this);
    connect(rename2, &QPushButton::clicked, this, &NameselScreen::Command16_Click);
    auto* help1 = uih::button(helpPanel, "Command15", QStringLiteral("使用法の説明１"), QRect(12, 86, 160, 40), 12);
    auto* help2 = uih::button(helpPanel, "Command17", QStringLiteral("使用法の説明2"), QRect(12, 136, 160, 40), 12);
    auto* l15 = uih::label(helpPanel, "Label15", QStringLiteral("名前の変更、名前の選択、レベルの選択、登録など"),
                           QRect(180, 86, 200, 40), 9);
    l15->setWordWrap(true);
    uih::label(helpPanel, "Label16", QStringLiteral("このソフトの勉強の仕方"), QRect(180, 136, 200, 40), 10);
    for (QPushButton* help : {help1, help2}) {
        help->installEventFilter(this);
        connect(help, &QPushButton::clicked, this, &NameselScreen::showHelpNotice);
    }

    m_wait = new QWidget(this);
    m_wait->setObjectName("Picture5");
    m_wait->setGeometry(262, 300, 500, 140);
    uih::setBackground(m_wait, accent);
    auto* wait =
        uih::label(m_wait, "Label19", QStringLiteral("Just a moment, please."), QRect(0, 40, 500, 60), 20, true);
    wait->setAlignment(Qt::AlignCenter);
    wait->setStyleSheet(QStringLiteral("color: white"));
    m_wait->raise();
}

void NameselScreen::formLoad()
{
    m_context.services.random.seedFromClock();
    if (!m_context.platform.instance.claim()) {
        m_ended = true;
        m_context.services.messages.show(
            QStringLiteral("注意"),
            QStringLiteral("このプログラムと同じプログラムがすでに起動され、完全に終了されていません。"
                           "同じプログラムを完全に終了させてから実行してください。"),
            MessageBox::Icon::Critical);
        m_context.services.programEnd.endProgram(0);
        return;
    }
    build();
    // The list is built by the activation that always follows, once the roster is repaired:
    // building it here as well would read the results and the roster twice.
    letPendingEventsRun();
}

void NameselScreen::formActivate()
{
    if (m_ended)
        return;
    SharedState& state = m_context.services.state;
    roster::repair(state.folders.sharedFolder);
    m_list->setCurrentRow(-1);
    m_modes[1]->setChecked(true);
    Option1_Click(1);
    if (m_grade->count() == 0)
        m_grade->addItems(kGrades);
    m_grade->setCurrentIndex(0);
    state.current.gradeFilter = kGrades[0];
    m_context.forms.unload(QStringLiteral("seisekitime1"));
    m_choice->setText(kChooseName);
    m_choice->show();
    letPendingEventsRun();
    m_wait->hide();
    m_list->setFocus(Qt::OtherFocusReason);
}

void NameselScreen::rosterDisplay()
{
    SharedState& state = m_context.services.state;
    const int startMonth = state.organisation.schoolYearStartMonth.toInt();
    const int schoolYear = roster::schoolYear(m_context.services.clock.today(), startMonth);
    state.organisation.currentSchoolYear = Loose(schoolYear);
    ResultsStore store(m_context.services, m_context.pause);
    if (!store.computeStatistics())
        return;

    QList<namelist::Row> rows;
    const QString path = state.folders.sharedFolder + roster::fileName();
    const auto text = textfile::read(path);
    QStringList problems;
    if (!text.text) {
        // Nobody can be chosen: the teacher is told once per start, not on every return here.
        if (!state.roster.unreadableReported) {
            state.roster.unreadableReported = true;
            m_context.services.messages.show(
                QStringLiteral("名簿の読み込み"),
                QStringLiteral("名簿ファイル「%1」を読めません（%2）。\r\nこのフォルダにあるはずです：%3\r\n"
                               "先生を呼んでください。")
                    .arg(roster::fileName(), text.error, QDir::toNativeSeparators(state.folders.sharedFolder)),
                MessageBox::Icon::Warning);
        }
    } else {
        const roster::Parsed parsed = roster::parse(*text.text);
        problems = parsed.problems;
        const bool listStatus2 = state.organisation.commonItem3 == Loose(1);
        const namelist::Mode mode = namelist::mode(m_listMode);
        int count = 0;
        constexpr int kMaxListed = decltype(state.roster.rosterNumbers)::high;
        for (qsizetype i = 0; i < parsed.lines.size(); ++i) {
            const roster::Line& line = parsed.lines[i];
            if (!roster::isListed(line, listStatus2))
                continue;
            if (count == kMaxListed) {
                problems << QStringLiteral("%1 行目から先：一度に表示できるのは %2 人までです。")
                                .arg(parsed.lineNumbers[i])
                                .arg(kMaxListed);
                break;
            }
            ++count;
            const int n = line.number;
            const int g = roster::gradeIndex(schoolYear, line.birthYear);
            state.roster.pupilNames[n] = line.name;
            state.roster.pupilBirthYears[n] = line.birthYear;
            state.roster.rosterNumbers[count] = qint16(n);
            if (const auto full = roster::fullGradeLabel(g))
                state.roster.pupilGradeLabels[n] = *full;
            rows.append(namelist::makeRow(roster::shortGradeLabel(g), roster::yearWithinSchool(g), line.trimmedName(),
                                          namelist::figureText(state, mode.first, n),
                                          namelist::figureText(state, mode.second, n), m_listMode, line.birthYear, n));
        }
        state.roster.rosterCount = qint16(count);
    }
    if (!problems.isEmpty() && !m_problemsShown) {
        m_problemsShown = true; // once per opening of the menu, not on every rebuild
        m_context.services.messages.show(
            QStringLiteral("名簿の読み込み"),
            QStringLiteral("名簿ファイル「%1」の次の行は表示できません。先生を呼んでください。\r\n")
                    .arg(roster::fileName()) +
                problems.join(QStringLiteral("\r\n")),
            MessageBox::Icon::Warning);
    }

    m_rows = namelist::ordered(rows, schoolYear,
                               m_grade->currentText().isEmpty() ? QStringLiteral("全学年") : m_grade->currentText());
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->addItem(kRowZero);
    for (const namelist::Row& row : m_rows)
        m_list->addItem(row.text);
    m_list->setCurrentRow(0);
    List1_Click(0);
}

void NameselScreen::List1_Click(int row)
{
    if (row <= 0 || row > m_rows.size()) {
        m_choice->setText(kChooseName);
        m_number->clear();
        return;
    }
    const namelist::Row& r = m_rows[row - 1];
    m_choice->setText(namelist::clickedName(r.text));
    m_number->setText(QString::number(r.pupil));
}

void NameselScreen::List1_DblClick(int row)
{
    if (row <= 0 || row > m_rows.size()) {
        List1_Click(row);
        return;
    }
    const namelist::Row& r = m_rows[row - 1];
    m_choice->setText(r.nameText);
    m_number->setText(QString::number(r.pupil));
    Command14_Click();
}

void NameselScreen::Command14_Click()
{
    const QString chosen = m_choice->text();
    if (chosen == kChooseName || chosen.isEmpty() || m_number->text().isEmpty()) {
        m_context.sounds.playWrongSound();
        return;
    }
    SharedState& state = m_context.services.state;
    const double seconds = m_context.services.clock.timeOfDay().msecsSinceStartOfDay() / 1000.0;
    state.current.pupilStartTime = qint32(roundHalfEven(seconds));
    const int n = m_number->text().toInt();
    state.current.pupilNo = qint16(n);
    state.current.pupilName = state.roster.pupilNames[n];
    state.current.pupilGrade = state.roster.pupilGradeLabels[n];
    m_ok->hide();
    m_wait->show();
    m_wait->raise();
    letPendingEventsRun();
    m_context.navigator.openResultsViewer();
}

void NameselScreen::Command7_Click()
{
    // The family's launcher may be missing: the program ends all the same.
    m_context.platform.launcher.start(launcherPath(m_context.services.state.folders.programFolder),
                                      {QStringLiteral("001")});
    m_context.services.programEnd.endProgram(0);
}

void NameselScreen::Command16_Click()
{
    ScreenContext& context = m_context;
    context.navigator.showNameChange();
    context.forms.unload(this);
}

void NameselScreen::Option1_Click(int index)
{
    m_listMode = index;
    rosterDisplay();
}

void NameselScreen::Combo1_Click()
{
    m_context.services.state.current.gradeFilter = m_grade->currentText();
    rosterDisplay();
    m_list->setFocus(Qt::OtherFocusReason);
}

void NameselScreen::showHelpNotice()
{
    m_context.services.messages.show(
        QStringLiteral("使用法の説明"),
        QStringLiteral("使用法の説明のページは、このパソコンでは開けません。先生に聞いてください。"),
        MessageBox::Icon::Information);
}

// The form sees every key before its controls: "1" confirms, "0" ends, and in the list Enter
// or the space bar confirms the chosen name.
bool NameselScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == QStringLiteral("1") && m_ok->isVisible()) {
            Command14_Click();
            return true;
        }
        if (key->text() == QStringLiteral("0") && m_end->isVisible()) {
            Command7_Click();
            return true;
        }
        if (watched == m_list &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
            Command14_Click();
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}
