#include "name_change_screen.h"

#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QDir>
#include <QLineEdit>

NameChangeScreen::NameChangeScreen(ScreenContext& context) : Form(formname::kNameChange.toString()), m_context(context)
{}

QString NameChangeScreen::rosterPath() const
{
    return m_context.services.state.folders.sharedFolder + roster::fileName();
}

void NameChangeScreen::formLoad()
{
    setWindowTitle(QStringLiteral("Corvalen88"));
    setFixedSize(640, 420);
    uih::setBackground(this, QColor(255, 253, 231));
    uih::label(this, "Label4", QStringLiteral("名前変更"), QRect(24, 16, 300, 40), 22, true);
    uih::label(this, "Label2", QStringLiteral("名前"), QRect(24, 70, 300, 28), 14);
    uih::label(this, "Label1", QStringLiteral("生まれた年"), QRect(360, 70, 200, 28), 14);
    for (int i = 1; i <= RosterEditor::kRows; ++i) {
        auto* name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("Text1_%1").arg(i));
        name->setGeometry(24, 60 + i * 50, 310, 40);
        name->setFont(uih::font(16, false, this));
        name->setAttribute(Qt::WA_InputMethodEnabled, true); // names are typed in hiragana and kanji
        m_names.append(name);
        auto* year = new QLineEdit(this);
        year->setObjectName(QStringLiteral("Text2_%1").arg(i));
        year->setGeometry(360, 60 + i * 50, 140, 40);
        year->setFont(uih::font(16, false, this));
        year->setAttribute(Qt::WA_InputMethodEnabled, false);
        year->setInputMethodHints(Qt::ImhDigitsOnly);
        m_years.append(year);
    }
    auto* note = uih::label(this, "Label3", QStringLiteral("※生まれた年は早生まれの場合は1年引いてください"),
                            QRect(24, 270, 590, 28), 12);
    note->setStyleSheet(QStringLiteral("color: #b71c1c"));
    m_empty = uih::label(this, "LabelEmpty", QString(), QRect(24, 110, 590, 140), 13);
    m_empty->setWordWrap(true);
    m_empty->hide();
    m_change = uih::button(this, "Command1", QStringLiteral("変更"), QRect(24, 330, 160, 52), 16);
    auto* back = uih::button(this, "Command2", QStringLiteral("もどる"), QRect(200, 330, 160, 52), 16);
    connect(m_change, &QPushButton::clicked, this, &NameChangeScreen::saveNames);
    connect(back, &QPushButton::clicked, this, &NameChangeScreen::backToMenu);
    fill();
}

void NameChangeScreen::fill()
{
    QString error;
    m_editor = RosterEditor::load(rosterPath(), &error);
    if (!m_editor) {
        m_context.services.messages.show(
            QStringLiteral("名前変更"),
            QStringLiteral("名簿ファイル「%1」を開けません。\r\n理由：%2\r\n先生を呼んでください。")
                .arg(QDir::toNativeSeparators(rosterPath()), error),
            MessageBox::Icon::Warning);
    }
    for (int i = 0; i < RosterEditor::kRows; ++i) {
        const bool present = m_editor && m_editor->row(i).present;
        // A row without a roster line is shown empty and cannot be typed into: no line is invented.
        m_names[i]->setText(present ? m_editor->row(i).line.name : QString());
        // The stored name keeps its trailing blanks; the cursor waits after the name itself, so
        // that what is typed joins the name and not the blanks.
        m_names[i]->setCursorPosition(int(m_names[i]->text().trimmed().size()));
        m_years[i]->setText(present ? QString::number(m_editor->row(i).line.birthYear) : QString());
        m_names[i]->setEnabled(present);
        m_years[i]->setEnabled(present);
    }
    // An empty roster (a new installation) has nobody to change: say what to do instead.
    const bool nobody = m_editor && !m_editor->hasRows();
    for (QLineEdit* edit : m_names + m_years)
        edit->setVisible(!nobody);
    m_empty->setText(QStringLiteral("名簿に生徒がいません（%1）。\r\n先生が、名前を選ぶ画面の「名簿を作る」か、"
                                    "成績の画面の「印刷」にある「名簿の編集」で生徒を登録してください。")
                         .arg(QDir::toNativeSeparators(rosterPath())));
    m_empty->setVisible(nobody);
    m_change->setEnabled(m_editor && m_editor->hasRows());
}

void NameChangeScreen::saveNames()
{
    if (!m_editor || !m_editor->hasRows())
        return;
    MessageBox& messages = m_context.services.messages;
    const QString notChanged = QStringLiteral("\r\n名簿は変更していません。");
    // Another program (or another copy on the network) may have changed the roster since the
    // form opened: the typed names go into the roster as it is now.
    QString error;
    const auto current = RosterEditor::load(rosterPath(), &error);
    if (!current) {
        messages.show(QStringLiteral("名前変更"),
                      QStringLiteral("名簿ファイル「%1」を開けません。\r\n理由：%2\r\n先生を呼んでください。")
                              .arg(QDir::toNativeSeparators(rosterPath()), error) +
                          notChanged,
                      MessageBox::Icon::Warning);
        return;
    }
    if (!current->samePupils(*m_editor)) {
        messages.show(QStringLiteral("名前変更"),
                      QStringLiteral("名簿がほかのプログラムで変更されたため、いまの名簿を表示しなおします。"
                                     "もう一度入力してください。") +
                          notChanged,
                      MessageBox::Icon::Warning);
        fill();
        return;
    }
    std::array<QString, RosterEditor::kRows> names;
    std::array<QString, RosterEditor::kRows> years;
    bool changed = false;
    for (int i = 0; i < RosterEditor::kRows; ++i) {
        names[std::size_t(i)] = m_names[i]->text();
        years[std::size_t(i)] = m_years[i]->text();
        const RosterEditor::Row& row = current->row(i);
        changed = changed || (row.present && (names[std::size_t(i)].trimmed() != row.line.trimmedName() ||
                                              years[std::size_t(i)].trimmed() != QString::number(row.line.birthYear)));
    }
    if (!changed) {
        messages.show(QStringLiteral("名前変更"), QStringLiteral("変更はありません。名簿はそのままです。"),
                      MessageBox::Icon::Information);
        return;
    }
    if (const auto problem = current->save(rosterPath(), names, years, m_context.services.clock.today().year())) {
        messages.show(QStringLiteral("名前変更"), *problem + notChanged, MessageBox::Icon::Warning);
        return;
    }
    messages.show(QStringLiteral("名前変更"), QStringLiteral("保存しました。"), MessageBox::Icon::Information);
    m_editor = RosterEditor::load(rosterPath());
}

void NameChangeScreen::backToMenu()
{
    for (QLineEdit* name : m_names)
        name->setInputMethodHints(Qt::ImhNone);
    m_context.navigator.showMenu();
}
