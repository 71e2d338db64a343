#include "certificate_dialog.h"

#include "certificate_page.h"
#include "records/record_blocks.h"
#include "records/results_file.h"
#include "roster/roster_file.h"
#include "school/school_settings.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

CertificateDialog::CertificateDialog(ScreenContext& context, const QList<int>& pupils, QWidget* parent)
    : QDialog(parent), m_context(context), m_pupils(pupils)
{
    setObjectName("frmShoujou");
    setWindowTitle(QStringLiteral("賞状を印刷"));
    setFont(uih::font(10));
    const QDate today = m_context.services.clock.today();
    auto* layout = new QVBoxLayout(this);

    auto* period = new QHBoxLayout;
    m_from = new QDateEdit(QDate(today.year(), today.month(), 1), this);
    m_from->setObjectName("DateFrom");
    m_to = new QDateEdit(today, this);
    m_to->setObjectName("DateTo");
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setCalendarPopup(true);
    }
    m_from->setAccessibleName(QStringLiteral("期間の始め"));
    m_to->setAccessibleName(QStringLiteral("期間の終わり"));
    auto* periodLabel = new QLabel(QStringLiteral("クリアした期間(&K)"), this);
    periodLabel->setBuddy(m_from);
    period->addWidget(periodLabel);
    period->addWidget(m_from);
    period->addWidget(new QLabel(QStringLiteral("〜"), this));
    period->addWidget(m_to);
    period->addStretch(1);
    layout->addLayout(period);

    m_found = new QLabel(this);
    m_found->setObjectName("LabelFound");
    m_found->setWordWrap(true);
    layout->addWidget(m_found);
    m_list = new QListWidget(this);
    m_list->setObjectName("ListClearings");
    m_list->setAccessibleName(QStringLiteral("印刷する賞状"));
    layout->addWidget(m_list, 1);

    auto* form = new QFormLayout;
    m_honorific = new QComboBox(this);
    m_honorific->setObjectName("ComboHonorific");
    m_honorific->addItems(certificate::honorificChoices());
    m_writing = new QComboBox(this);
    m_writing->setObjectName("ComboWriting");
    m_writing->addItems({QStringLiteral("縦書き（A4横）"), QStringLiteral("横書き（A4縦）")});
    m_text = new QPlainTextEdit(certificate::defaultTemplate(), this);
    m_text->setObjectName("TextTemplate");
    m_text->setTabChangesFocus(true);
    m_text->setFixedHeight(QFontMetrics(font()).height() * 4 + 12);
    m_problems = new QLabel(this);
    m_problems->setObjectName("LabelProblems");
    m_problems->setWordWrap(true);
    m_problems->setStyleSheet(QStringLiteral("color: #b71c1c"));
    const auto row = [this, form](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(QStringLiteral("名前のあと(&N)"), m_honorific);
    row(QStringLiteral("書き方(&W)"), m_writing);
    row(QStringLiteral("本文(&T)"), m_text);
    auto* issuer = new QHBoxLayout;
    m_issuer = new QLabel(this);
    m_issuer->setObjectName("LabelIssuer");
    m_issuer->setWordWrap(true);
    auto* settingsButton = uih::button(this, "CommandSchool", QStringLiteral("学校の設定(&G)"), QRect(), 10);
    settingsButton->setAutoDefault(false);
    connect(settingsButton, &QPushButton::clicked, this, [this] {
        const QPointer<CertificateDialog> open(this);
        m_context.navigator.showSchoolSettings(this);
        if (open)
            showIssuer();
    });
    issuer->addWidget(m_issuer, 1);
    issuer->addWidget(settingsButton);
    auto* issuerLabel = new QLabel(QStringLiteral("学校と署名"), this);
    form->addRow(issuerLabel, issuer);
    showIssuer();
    form->addRow(QString(), new QLabel(QStringLiteral("{ドリル}{レベル}{きまり} はドリルの名前、レベル、"
                                                      "クリアのきまりになります。句読点は使わず、「よって」の前で"
                                                      "行を変え、「賞します」で終わります。"),
                                       this));
    static_cast<QLabel*>(form->itemAt(form->rowCount() - 1, QFormLayout::FieldRole)->widget())->setWordWrap(true);
    form->addRow(QString(), m_problems);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    auto* previewButton = uih::button(this, "CommandPreview", QStringLiteral("プレビュー(&V)"), QRect(), 11);
    auto* printButton = uih::button(this, "CommandPrint", QStringLiteral("印刷(&P)"), QRect(), 11);
    auto* close = uih::button(this, "CommandClose", QStringLiteral("閉じる"), QRect(), 11);
    for (QPushButton* b : {previewButton, printButton, close})
        b->setAutoDefault(false);
    buttons->addWidget(previewButton);
    buttons->addWidget(printButton);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(previewButton, &QPushButton::clicked, this, &CertificateDialog::preview);
    connect(printButton, &QPushButton::clicked, this, &CertificateDialog::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_from, &QDateEdit::dateChanged, this, &CertificateDialog::listClearings);
    connect(m_to, &QDateEdit::dateChanged, this, &CertificateDialog::listClearings);
    connect(m_text, &QPlainTextEdit::textChanged, this, &CertificateDialog::checkTemplate);
    resize(620, 600);
}

bool CertificateDialog::load()
{
    const SharedState& state = m_context.services.state;
    QList<ResultRecord> records;
    const auto error = recordblocks::read(resultsfile::resultsPath(state.folders), RecordLayout::Program,
                                          [&records](qint64, const ResultRecord& r) { records.append(r); });
    if (error) {
        m_context.services.messages.show(
            windowTitle(),
            QStringLiteral("成績ファイル「%1」を読めません（%2）。").arg(resultsfile::resultsFileName(), *error),
            MessageBox::Icon::Warning);
        return false;
    }
    m_clearings = clearing::firstClearings(records, state.rules, state.catalogue.courseCount);
    const roster::Read read = roster::read(state.folders.sharedFolder);
    const int schoolYear =
        roster::schoolYear(m_context.services.clock.today(), state.organisation.schoolYearStartMonth.toInt());
    QSet<int> teachers;
    if (read.parsed) {
        for (const roster::Line& line : read.parsed->lines) {
            m_names.insert(line.number, line.trimmedName());
            m_grades.insert(line.number, roster::shortGradeLabel(roster::gradeIndex(schoolYear, line.birthYear)));
            if (roster::isTeacherName(line.name))
                teachers.insert(line.number);
        }
    }
    // The teacher's own attempts clear levels too, but a certificate is for pupils.
    m_clearings.removeIf([&teachers](const clearing::Cleared& c) { return teachers.contains(c.pupil); });
    listClearings();
    checkTemplate();
    return true;
}

void CertificateDialog::listClearings()
{
    const SharedState& state = m_context.services.state;
    m_listed = certificate::inPeriod(m_clearings, m_from->date(), m_to->date(), m_pupils);
    m_list->clear();
    for (const clearing::Cleared& c : m_listed) {
        const QString name = m_names.value(c.pupil, QStringLiteral("（名簿にない %1 番）").arg(c.pupil));
        auto* item = new QListWidgetItem(QStringLiteral("%1　%2 %3　%4")
                                             .arg(c.date.toString(QStringLiteral("M月d日")), m_grades.value(c.pupil),
                                                  name, state.catalogue.courseNames[c.course].trimmed()));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        m_list->addItem(item);
    }
    const QString whose =
        m_pupils.isEmpty() ? QStringLiteral("全員") : QStringLiteral("選んだ %1 人").arg(m_pupils.size());
    m_found->setText(m_listed.isEmpty()
                         ? QStringLiteral("%1：この期間にクリアしたレベルはありません。").arg(whose)
                         : QStringLiteral("%1：この期間のクリアは %2 件です（レベルごとに、はじめてクリアした日）。"
                                          "印刷しないものはチェックを外してください。")
                               .arg(whose)
                               .arg(m_listed.size()));
}

void CertificateDialog::showIssuer()
{
    const SharedState& state = m_context.services.state;
    const QString signer = state.school.signer.isEmpty() ? QStringLiteral("（署名なし）") : state.school.signer;
    m_issuer->setText(schoolsettings::hasRealName(state.organisation)
                          ? state.organisation.schoolName.trimmed() + QStringLiteral("　") + signer
                          : QStringLiteral("学校の名前がまだ決まっていません（印刷の前にたずねます）"));
}

void CertificateDialog::checkTemplate()
{
    const QStringList problems = certificate::templateProblems(m_text->toPlainText());
    m_problems->setText(problems.join(u'\n'));
    m_problems->setVisible(!problems.isEmpty());
}

certificate::Writing CertificateDialog::writing() const
{
    return m_writing->currentIndex() == 1 ? certificate::Writing::Horizontal : certificate::Writing::Vertical;
}

QList<certificate::Certificate> CertificateDialog::chosen() const
{
    const SharedState& state = m_context.services.state;
    QList<certificate::Certificate> out;
    for (int row = 0; row < m_list->count() && row < m_listed.size(); ++row) {
        if (m_list->item(row)->checkState() != Qt::Checked)
            continue;
        const clearing::Cleared& c = m_listed[row];
        out << certificate::make(c, m_names.value(c.pupil), certificate::Honorific(m_honorific->currentIndex()),
                                 m_text->toPlainText(), state.catalogue, state.rules, state.organisation.schoolName,
                                 state.school.signer, writing());
    }
    return out;
}

void CertificateDialog::printCertificates(QPrinter& printer) const
{
    const QList<certificate::Certificate> certificates = chosen();
    setUpPage(printer);
    printer.setDocName(QStringLiteral("賞状"));
    QPainter painter;
    if (certificates.isEmpty() || !painter.begin(&printer))
        return;
    for (qsizetype i = 0; i < certificates.size(); ++i) {
        if (i > 0)
            printer.newPage();
        const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
        certificatepage::paint(painter, page, certificates[i], writing());
    }
    painter.end();
}

bool CertificateDialog::readyToPrint(QPrinter& printer)
{
    const QList<certificate::Certificate> certificates = chosen();
    if (certificates.isEmpty()) {
        m_context.services.messages.show(windowTitle(), QStringLiteral("印刷する賞状がありません。"),
                                         MessageBox::Icon::Information);
        return false;
    }
    // Never a certificate set against the rules of Japanese line breaking: refused, with why.
    QStringList problems;
    for (const certificate::Certificate& c : certificates) {
        for (const QString& problem : certificate::layoutProblems(c, writing())) {
            if (!problems.contains(problem))
                problems << problem;
        }
    }
    if (!problems.isEmpty()) {
        m_context.services.messages.show(windowTitle(),
                                         QStringLiteral("縦書きできない賞状があります。\r\n") +
                                             problems.join(QStringLiteral("\r\n")) +
                                             QStringLiteral("\r\n本文を直すか、横書きをえらんでください。"),
                                         MessageBox::Icon::Warning);
        return false;
    }
    // A certificate names its school: the installer's placeholder never goes on one.
    if (!schoolsettings::hasRealName(m_context.services.state.organisation)) {
        m_context.services.messages.show(windowTitle(),
                                         QStringLiteral("賞状に書く学校の名前が、まだ決まっていません。\r\n"
                                                        "次の「学校の設定」で学校の名前を入れてください。"),
                                         MessageBox::Icon::Information);
        const QPointer<CertificateDialog> open(this);
        m_context.navigator.showSchoolSettings(this);
        if (!open || !schoolsettings::hasRealName(m_context.services.state.organisation))
            return false;
        showIssuer();
    }
    setUpPage(printer);
    return true;
}

void CertificateDialog::setUpPage(QPrinter& printer) const
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(writing() == certificate::Writing::Vertical ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

void CertificateDialog::preview()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!readyToPrint(printer))
        return;
    uih::Modal<QPrintPreviewDialog> dialog(&printer, this);
    dialog->setWindowTitle(QStringLiteral("賞状のプレビュー"));
    if (const QScreen* screen = this->screen()) { // a page large enough to read
        const QRect area = screen->availableGeometry();
        dialog->resize(area.width() * 9 / 10, area.height() * 9 / 10);
    }
    connect(dialog.get(), &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { printCertificates(*p); });
    dialog.exec();
}

void CertificateDialog::print()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!readyToPrint(printer))
        return;
    uih::Modal<QPrintDialog> dialog(&printer, this);
    dialog->setWindowTitle(QStringLiteral("賞状の印刷"));
    if (dialog.accepted())
        printCertificates(printer);
}
