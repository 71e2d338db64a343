#include "school_settings_dialog.h"

#include "school_settings.h"
#include "startup/settings_loader.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

SchoolSettingsDialog::SchoolSettingsDialog(ScreenContext& context, QWidget* parent)
    : QDialog(parent), m_context(context)
{
    setObjectName("SchoolSettings");
    setWindowTitle(QStringLiteral("学校の設定"));
    const SharedState& state = m_context.services.state;
    const SchoolSettings& school = state.school;

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    layout->addLayout(form);
    const auto line = [this, form](const char* name, const QString& caption, const QString& text, int maxLength,
                                   const QString& hint) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(maxLength + 10); // a little over, so that the limit is said, not silently kept
        edit->setPlaceholderText(hint);
        edit->setAccessibleName(caption);
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        return edit;
    };
    const bool real = schoolsettings::hasRealName(state.organisation);
    m_name =
        line("TextName", QStringLiteral("学校の名前(&N)"), real ? state.organisation.schoolName.trimmed() : QString(),
             schoolsettings::kMaxNameLength, QStringLiteral("例：みどり小学校"));
    m_code = line("TextCode", QStringLiteral("学校コード(&C)"), state.organisation.schoolCode.toText().trimmed(), 5,
                  QStringLiteral("半角数字5けた（なければ空）"));
    m_signer = line("TextSigner", QStringLiteral("賞状の署名(&G)"), school.signer, schoolsettings::kMaxSignerLength,
                    QStringLiteral("例：校長　山田　太郎"));
    m_weekStart = new QComboBox(this);
    m_weekStart->setObjectName("ComboWeekStart");
    m_weekStart->addItems(schoolsettings::weekDayChoices());
    m_weekStart->setCurrentIndex(school.weekStart % 7);
    auto* weekLabel = new QLabel(QStringLiteral("週の始まり(&W)"), this);
    weekLabel->setBuddy(m_weekStart);
    form->addRow(weekLabel, m_weekStart);
    m_rankingNames = new QComboBox(this);
    m_rankingNames->setObjectName("ComboRankingNames");
    m_rankingNames->addItems(schoolsettings::rankingNameChoices());
    m_rankingNames->setCurrentIndex(int(school.rankingNames));
    auto* namesLabel = new QLabel(QStringLiteral("生徒の画面の順位(&R)"), this);
    namesLabel->setBuddy(m_rankingNames);
    form->addRow(namesLabel, m_rankingNames);
    auto* note =
        new QLabel(QStringLiteral("学校の名前とコードは、ほかのプログラムと共通の「%1」に書きます。\n"
                                  "「出席番号だけ」「イニシャル」では、生徒の画面の順位にほかの人の名前を出しません"
                                  "（自分の名前は出ます）。")
                       .arg(schoolsettings::commonFileName()),
                   this);
    note->setWordWrap(true);
    layout->addWidget(note);

    m_problems = new QLabel(this);
    m_problems->setObjectName("LabelProblems");
    m_problems->setWordWrap(true);
    m_problems->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(m_problems);
    // A settings file that could not be read as it was: what the program does instead.
    if (!school.problem.isEmpty())
        m_problems->setText(school.problem);
    m_problems->setVisible(!m_problems->text().isEmpty());

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    auto* saveButton = uih::button(this, "CommandSave", QStringLiteral("保存(&S)"), QRect(), 11);
    auto* close = uih::button(this, "CommandClose", QStringLiteral("閉じる"), QRect(), 11);
    saveButton->setDefault(true);
    buttons->addWidget(saveButton);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* edit : {m_name, m_code, m_signer})
        connect(edit, &QLineEdit::textChanged, this, &SchoolSettingsDialog::showProblems);
    setMinimumWidth(560);
}

void SchoolSettingsDialog::showProblems()
{
    schoolsettings::Entry entry{m_code->text(), m_name->text(), m_signer->text(),
                                m_weekStart->currentIndex() == 0 ? 7 : m_weekStart->currentIndex(),
                                RankingNames(m_rankingNames->currentIndex())};
    m_problems->setText(schoolsettings::problems(entry).join(u'\n'));
    m_problems->setVisible(!m_problems->text().isEmpty());
}

bool SchoolSettingsDialog::save()
{
    const schoolsettings::Entry entry{m_code->text().trimmed(), m_name->text().trimmed(), m_signer->text().trimmed(),
                                      m_weekStart->currentIndex() == 0 ? 7 : m_weekStart->currentIndex(),
                                      RankingNames(m_rankingNames->currentIndex())};
    const QStringList problems = schoolsettings::problems(entry);
    if (!problems.isEmpty()) {
        m_problems->setText(problems.join(u'\n'));
        m_problems->show();
        return false;
    }
    SharedState& state = m_context.services.state;
    const auto error = schoolsettings::save(state.folders.sharedFolder, entry);
    // What was written is what the program now goes by; the file is read back as the next start
    // would read it.
    state.school = schoolsettings::read(state.folders.sharedFolder).settings;
    if (error) {
        m_context.services.messages.show(windowTitle(), *error, MessageBox::Icon::Warning);
        return false;
    }
    state.organisation.schoolName = entry.code + entry.name;
    settings::splitSchoolCode(state.organisation);
    return true;
}
