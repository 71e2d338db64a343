#include "teacher_panel.h"

#include "board/results_lists.h"
#include "export/results_csv.h"
#include "problemlog/weak_numbers.h"
#include "progress_chart.h"
#include "progress_graph.h"
#include "pupil_report.h"
#include "records/results_file.h"
#include "records/results_reader.h"
#include "state/clock.h"
#include "state/loose.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "ui/navigator.h"
#include "ui/ui_helpers.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>

namespace {

// The resolution QTextDocument::print lays a page out at before it scales it to the printer: the
// primary screen's (96 where the application asks for it, 100 with no screen).
int documentDpi()
{
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        return 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return qRound(screen->logicalDotsPerInchY());
    return 100;
}

} // namespace

QString TeacherPanel::panelEntry(const roster::Line& line, int schoolYear, bool listStatus2)
{
    const QString grade = roster::shortGradeLabel(roster::gradeIndex(schoolYear, line.birthYear));
    QString entry = QStringLiteral("%1 %2/%3").arg(grade, line.trimmedName()).arg(line.number).trimmed();
    if (!roster::isListed(line, listStatus2))
        entry += QStringLiteral("（非表示）");
    return entry;
}

TeacherPanel::TeacherPanel(ScreenContext& context, int boardPupil, ShowPupil showPupil, QWidget* board)
    : QDialog(board), m_context(context), m_boardPupil(boardPupil), m_showPupil(std::move(showPupil))
{
    setObjectName("Picture8");
    setWindowTitle(QStringLiteral("先生用"));
    setFixedSize(480, 560);
    const SharedState& state = m_context.services.state;
    const roster::Read read = roster::read(state.folders.sharedFolder);
    if (read.parsed)
        m_roster = read.parsed->lines;
    m_list = new QListWidget(this);
    m_list->setObjectName("List1");
    m_list->setGeometry(16, 16, 240, 484);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setFont(uih::font(12));
    m_list->setAccessibleName(QStringLiteral("生徒"));
    const bool listStatus2 = state.organisation.commonItem3 == Loose(1);
    const int schoolYear =
        roster::schoolYear(m_context.services.clock.today(), state.organisation.schoolYearStartMonth.toInt());
    for (const roster::Line& line : m_roster) {
        auto* item = new QListWidgetItem(panelEntry(line, schoolYear, listStatus2));
        item->setData(Qt::UserRole, int(line.number));
        m_list->addItem(item);
    }
    auto* hint = new QLabel(QStringLiteral("Ctrl や Shift を押しながらで\n何人でもえらべます"), this);
    hint->setObjectName("LabelChoose");
    hint->setGeometry(16, 504, 240, 40);
    hint->setFont(uih::font(9));

    const struct
    {
        const char* name;
        const char16_t* caption;
        std::function<void()> action;
    } buttons[] = {
        {"Command22", u"表示",
         [this] {
             if (const int p = selectedPupil())
                 m_showPupil(p);
         }},
        {"Command23", u"他の人のデータを見る",
         [this] {
             if (const int p = selectedPupil()) {
                 accept();
                 m_showPupil(p);
             }
         }},
        {"Command21", u"印刷", [this] { print(); }},
        {"Command25", u"CSVに書き出す（全員）", [this] { chooseCsvFile(); }},
        {"Command27", u"クラスの様子", [this] { m_context.navigator.showClassView(); }},
        {"CommandRoster", u"名簿の編集", [this] { m_context.navigator.showRosterWindow(this); }},
        {"CommandSchool", u"学校の設定", [this] { m_context.navigator.showSchoolSettings(this); }},
        {"CommandCertificate", u"賞状を印刷",
         [this] {
             QList<int> chosen;
             for (const QListWidgetItem* item : m_list->selectedItems())
                 chosen << item->data(Qt::UserRole).toInt();
             m_context.navigator.showCertificates(chosen, this);
         }},
        {"Command26", u"閉じる", [this] { accept(); }},
    };
    int y = 16;
    for (const auto& b : buttons) {
        auto* button =
            uih::button(this, QString::fromLatin1(b.name), QString::fromUtf16(b.caption), QRect(268, y, 196, 46), 11);
        connect(button, &QPushButton::clicked, this, b.action);
        y += 56;
    }
    // 名前なし: printing and the CSV name each pupil by number only, for papers that leave the school.
    m_withoutNames = new QCheckBox(QStringLiteral("名前なし（番号だけ）(&W)"), this);
    m_withoutNames->setObjectName("CheckWithoutNames");
    m_withoutNames->setGeometry(268, y, 196, 30);
    m_withoutNames->setToolTip(QStringLiteral("印刷とCSVに名前を出さず、生徒番号だけにします。"));
    // The export says whose attempts it writes: the chosen pupils', or everyone's.
    auto* csv = findChild<QPushButton*>("Command25");
    connect(m_list, &QListWidget::itemSelectionChanged, csv, [this, csv] {
        const qsizetype chosen = m_list->selectedItems().size();
        csv->setText(chosen == 0 ? QStringLiteral("CSVに書き出す（全員）")
                                 : QStringLiteral("CSVに書き出す（%1人）").arg(chosen));
    });
    // Without the roster the panel can still print and export what the board shows, but the
    // teacher must know why the list is empty.
    if (!read.parsed)
        m_context.services.messages.show(QStringLiteral("先生用"), read.failure, MessageBox::Icon::Warning);
}

int TeacherPanel::selectedPupil() const
{
    const QList<int> pupils = pupilsToPrint();
    return m_list->selectedItems().isEmpty() || pupils.isEmpty() ? 0 : pupils.first();
}

QList<int> TeacherPanel::pupilsToPrint() const
{
    QList<int> pupils;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->isSelected())
            pupils << item->data(Qt::UserRole).toInt();
    }
    if (pupils.isEmpty())
        pupils << m_boardPupil;
    return pupils;
}

QString TeacherPanel::nameOf(int pupil) const
{
    if (m_withoutNames->isChecked())
        return QStringLiteral("%1番").arg(pupil);
    for (const roster::Line& line : m_roster) {
        if (line.number == pupil)
            return line.trimmedName();
    }
    return m_context.services.state.roster.pupilNames[pupil].trimmed();
}

void TeacherPanel::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    uih::Modal<QPrintDialog> dialog(&printer, this);
    dialog->setWindowTitle(QStringLiteral("成績表の印刷"));
    if (dialog.accepted())
        printReports(printer, pupilsToPrint());
}

namespace {

// The width, in the document's pixels, that lets the graph fill what a pupil's page leaves below
// its text on this printer: the text is laid out as QTextDocument::print lays it out (on the
// printer, with its 2 cm margins), and the graph keeps its proportions. Never wider than the
// page's own graph, never so small that it cannot be read.
int graphWidthFor(const QString& text, QPrinter& printer)
{
    QTextDocument measure;
    measure.setDefaultFont(uih::font(10));
    measure.setHtml(text);
    measure.documentLayout()->setPaintDevice(&printer);
    const qreal dpi = documentDpi();
    const qreal scale = printer.logicalDpiY() / dpi;
    QTextFrameFormat frame = measure.rootFrame()->frameFormat();
    frame.setMargin(int((2 / 2.54) * dpi));
    measure.rootFrame()->setFrameFormat(frame);
    measure.setPageSize(QSizeF(printer.width(), printer.height()));
    const qreal used = measure.documentLayout()->blockBoundingRect(measure.lastBlock()).bottom();
    const qreal room = printer.height() - used - frame.margin() * scale;
    // The graph's paragraph adds its own spacing; a twentieth is left for it.
    const qreal width = room * 0.95 / scale * pupilreport::kGraphPictureWidth / pupilreport::kGraphPictureHeight;
    return int(std::clamp(width, qreal(pupilreport::kGraphWidth) / 2, qreal(pupilreport::kGraphWidth)));
}

} // namespace

void TeacherPanel::printReports(QPrinter& printer, const QList<int>& pupils)
{
    const SharedState& state = m_context.services.state;
    const QDate today = m_context.services.clock.today();
    ResultsReader reader(m_context.services, m_context.pause);
    const auto attempts = reader.read(resultslists::kPersonalRecords);
    if (!attempts)
        return; // the program has been ended
    // The weak numbers are left out when the problem log cannot be read, and the page says why.
    QString logError;
    const auto log = problemlog::read(problemlog::path(state.folders), &logError);
    const QHash<int, QList<problemlog::Problem>> logOf =
        log ? weaknumbers::byPupil(log->problems) : QHash<int, QList<problemlog::Problem>>{};
    const QString logNote =
        !log ? QStringLiteral("にがてな数：「%1」を読めません（%2）").arg(problemlog::fileName(), logError)
        : log->damaged > 0
            ? QStringLiteral("にがてな数：「%1」の %2").arg(problemlog::fileName(), problemlog::damageNote(*log))
            : QString();
    QTextDocument document;
    document.setDefaultFont(uih::font(10));
    QString html;
    for (int i = 0; i < pupils.size(); ++i) {
        const int p = pupils[i];
        const QStringList last = pupilreport::lastAttempts(*attempts, p, state.catalogue);
        const auto series = progressgraph::personalSeries(*attempts, p, state.catalogue, state.rules, today);
        const QString image = QStringLiteral("graph%1").arg(p);
        document.addResource(
            QTextDocument::ImageResource, QUrl(image),
            progresschart::render(series, QSize(pupilreport::kGraphPictureWidth, pupilreport::kGraphPictureHeight)));
        const QString grade = state.roster.pupilGradeLabels[p];
        html +=
            QStringLiteral("<div style=\"%1\">").arg(i == 0 ? QString() : QStringLiteral("page-break-before: always"));
        const QString text = pupilreport::html(state, p, nameOf(p), grade, today, last, logOf.value(p), QString());
        html += series.isEmpty() ? text
                                 : pupilreport::html(state, p, nameOf(p), grade, today, last, logOf.value(p), image,
                                                     graphWidthFor(text, printer));
        if (!logNote.isEmpty())
            html += QStringLiteral("<p>%1</p>").arg(logNote.toHtmlEscaped());
        html += QStringLiteral("</div>");
    }
    document.setHtml(html);
    QStringList names;
    for (const int p : pupils)
        names << nameOf(p);
    printer.setDocName(pupilreport::documentTitle(names)); // the PDF's title
    document.print(&printer);
}

std::optional<QString> TeacherPanel::exportCsv(const QString& path)
{
    const SharedState& state = m_context.services.state;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, file.errorString());
    // The results file is read a block at a time and each row written as it is made: a file of
    // any size is exported in little memory.
    QSet<int> chosen;
    for (const QListWidgetItem* item : m_list->selectedItems())
        chosen.insert(item->data(Qt::UserRole).toInt());
    const auto error = resultscsv::exportFile(
        resultsfile::resultsPath(state.folders), file, m_roster, state.roster.schoolYear, state.catalogue, state.rules,
        chosen, m_withoutNames->isChecked() ? resultscsv::Names::Without : resultscsv::Names::With);
    if (error) {
        file.cancelWriting();
        if (file.error() != QFileDevice::NoError)
            return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, *error);
        return QStringLiteral("成績ファイル「%1」を読めません（%2）。").arg(resultsfile::resultsFileName(), *error);
    }
    if (!file.flush() || !file.commit())
        return QStringLiteral("「%1」に書き込めません（%2）。").arg(path, file.errorString());
    return std::nullopt;
}

void TeacherPanel::chooseCsvFile()
{
    uih::exportCsvAskingWhere(
        this, m_context.services.messages,
        m_withoutNames->isChecked() ? QStringLiteral("成績_名前なし") : QStringLiteral("成績_名前あり"),
        m_context.services.clock.today(), [this](const QString& path) { return exportCsv(path); });
}
