// The screens with 2000 pupils in the roster and a results file of 20000 records, on the
// offscreen platform. Budgets (median, on the 2-core development machine), stated beside each
// benchmark as its "budget_ms" counter:
//   start-up to the menu shown           40 ms   (settings, sounds, statistics, roster listed)
//   listing the menu, each display mode  10 ms
//   one keystroke in the drill            0.5 ms (the space bar: judged, the next box focused)
//   one course's ranking list             0.5 ms
//   opening the board                    40 ms   (statistics recomputed, every column and list filled),
//                                                 the same with the other pupils' names hidden
//   switching the display mode           15 ms   (every list rebuilt)
//   "全成績" over the whole results file  50 ms
// The class view, on 200 pupils, 20000 results and 200000 logged problems: opening 60 ms, a sort
// 15 ms, a keystroke in the search 10 ms, another period 60 ms. During a lesson, on 2000 pupils
// and 400000 results: the view brought up to date after one attempt appended 60 ms.
// Certificates: one laid out (made, set in columns by the rules, painted on an A4 page at
// 150 dpi) 20 ms; forty written to a PDF file 3 s.
#include "app/navigation.h"
#include "app/startup_sequence.h"
#include "app/tool_windows.h"
#include "bench_budget.h"
#include "bench_fakes.h"
#include "board/course_board.h"
#include "board/ranking.h"
#include "certificate/certificate.h"
#include "certificate/certificate_page.h"
#include "classview/class_view_window.h"
#include "drill/divisor_drill.h"
#include "drill/drill_screen.h"
#include "menu/name_menu.h"
#include "platform/pause.h"
#include "platform/platform.h"
#include "problemlog/problem_log.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "roster/roster_file.h"
#include "sound/audio_output.h"
#include "sound/sound_players.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/random_source.h"
#include "state/shared_state.h"
#include "text/cp932.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

class NoAudio final : public AudioOutput
{
public:
    int playWav(const QString&) override { return 0; }
    QString errorText(int) const override { return QString(); }
};
class NoLauncher final : public Launcher
{
public:
    bool start(const QString&, const QStringList&) override { return true; }
};
class AlwaysFirst final : public SingleInstance
{
public:
    bool claim() override { return true; }
};

constexpr int kPupils = 2000;
constexpr int kRecords = 20000;
constexpr int kClassPupils = 200;      // the class view's school
constexpr int kClassProblems = 200000; // and its problem log, a school year's

// 20000 attempts of the pupils over the last 60 days.
void writeResults(const QString& path, int pupils = kPupils)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    const double today = oadate::fromDate(QDate::currentDate());
    for (int n = 0; n < kRecords; ++n) {
        ResultRecord r;
        r.date = today - (n % 60);
        r.clockTime = 0.5;
        r.pupil = qint16(1 + n % pupils);
        r.course = qint16(1 + n % 5);
        r.time = 40 + n % 400;
        r.points = recordtext::pointsField(0);
        file.write(r.encode());
    }
}

// A school of 2000 pupils with 20000 attempts over the last 60 days, and the screens around it.
struct School
{
    QTemporaryDir dir;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    SystemClock clock;
    SystemRandom random;
    NoBox box;
    NoEnd end;
    NoAudio audio;
    EventLoopPause pause{clock};
    Services services{*state, clock, random, box, end};
    SoundPlayers sounds{services, audio};
    FormRegistry forms;
    NoLauncher launcher;
    AlwaysFirst instance;
    Platform platform{launcher, instance};
    ScreenNavigation navigation{forms, [](QString*) { return &toolWindows(); }};
    ScreenContext context{services, sounds, pause, platform, navigation};

    explicit School(int pupils = kPupils, bool log = false)
    {
        navigation.attach(context);
        state->folders.programFolder = dir.path() + "/";
        state->folders.sharedFolder = dir.path() + "/";
        catalogue::fill(state->catalogue);
        state->catalogue.courseTitle = QStringLiteral("約数早押しドリル");
        for (int c = 1; c <= 5; ++c) {
            state->rules.targetTime[c] = 60 * c;
            state->rules.requiredCount[c] = 5;
            state->rules.requiredPoints[c] = 50;
            state->rules.pointWeight[c] = 1.5f;
            state->rules.windowDays[c] = Loose(30);
            state->rules.window2Days[c] = Loose(7);
        }
        state->roster.schoolYear = QDate::currentDate().year();
        for (int p = 1; p <= kPupils; ++p) {
            state->roster.listedPupils.append(qint16(p));
            state->roster.pupilNames[p] = QStringLiteral("生徒　%1").arg(p);
            state->roster.pupilBirthYears[p] = qint16(state->roster.schoolYear - 7 - p % 9);
        }
        state->current.pupilNo = 7;
        state->current.pupilName = QStringLiteral("生徒　7");
        writeResults(resultsfile::resultsPath(state->folders), pupils);
        QStringList roster;
        for (int p = 1; p <= pupils; ++p)
            roster << QStringLiteral("%1,%2,0,0,\"生徒　%1\",0,\"\",\"\"").arg(p).arg(2008 + p % 12);
        QFile rosterFile(state->folders.sharedFolder + roster::fileName());
        if (!rosterFile.open(QIODevice::WriteOnly))
            std::abort();
        rosterFile.write(cp932::encode(roster.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).bytes);
        if (!log)
            return;
        QByteArray text = problemlog::header();
        for (int n = 0; n < kClassProblems; ++n) {
            problemlog::Entry e{QDate::currentDate().addDays(-(n / 1000)),
                                QTime(15, 0),
                                1 + (n / 10) % pupils,
                                1 + (n / 10 / pupils) % 5,
                                12 + n % 60,
                                2.5 + n % 7,
                                n % 9 == 0 ? 1 : 0,
                                QString(),
                                false,
                                {}};
            text += problemlog::line(e);
        }
        QFile logFile(problemlog::path(state->folders));
        if (!logFile.open(QIODevice::WriteOnly))
            std::abort();
        logFile.write(text);
    }
};

School& school()
{
    static School s;
    return s;
}

// The class view's: 200 pupils, 20000 results, 200000 logged problems.
School& classSchool()
{
    static School s(kClassPupils, true);
    return s;
}

classview::Period thisWeek()
{
    return classview::periodOf(classview::PeriodChoice::ThisWeek, QDate::currentDate(), 4);
}

// A whole installation in a folder of its own, from the demo's settings, with the school's
// 2000 pupils and 20000 attempts: what start-up reads.
struct Installation
{
    QTemporaryDir dir;
    QString programDir;
    Installation()
    {
        const QDir demo(QStringLiteral(DEMO_DIR));
        for (const QString& sub : {QStringLiteral("files"), QStringLiteral("約数ドリル")}) {
            QDir(dir.path()).mkpath(sub);
            for (const QString& file : QDir(demo.filePath(sub)).entryList(QDir::Files))
                QFile::copy(demo.filePath(sub + "/" + file), dir.filePath(sub + "/" + file));
        }
        programDir = dir.filePath(QStringLiteral("約数ドリル"));
        QStringList roster;
        for (int p = 1; p <= kPupils; ++p)
            roster << QStringLiteral("%1,%2,0,0,\"生徒　%1\",0,\"\",\"\"").arg(p).arg(2008 + p % 12);
        QFile rosterFile(dir.filePath(QStringLiteral("files/生徒用名簿.txt")));
        if (!rosterFile.open(QIODevice::WriteOnly))
            std::abort();
        rosterFile.write(cp932::encode(roster.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).bytes);
        writeResults(QDir(programDir).filePath(resultsfile::resultsFileName()));
    }
};

void startUpToMenu(benchmark::State& bench)
{
    Installation installation;
    for (auto _ : bench) {
        bench.PauseTiming();
        auto s = std::make_unique<School>(); // a fresh program: empty state, no screen
        bench.ResumeTiming();
        if (startProgram(s->context, installation.programDir))
            std::abort();
        bench.PauseTiming();
        s->forms.unloadAll();
        s.reset();
        // The screens are deleted later, as in the program's orderly end: here there is no event
        // loop to do it, and every screen left over would be told of the next start's translator.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bench.ResumeTiming();
    }
    bench.counters["budget_ms"] = 40;
}

void listMenu(benchmark::State& bench)
{
    Installation installation;
    School s;
    if (startProgram(s.context, installation.programDir))
        std::abort();
    NameMenu menu(s.services, s.pause);
    int mode = 0;
    for (auto _ : bench) {
        menu.setListMode(mode);
        mode = (mode + 1) % 4;
        if (!menu.list(QStringLiteral("全学年")))
            std::abort();
    }
    s.forms.unloadAll();
    bench.counters["budget_ms"] = 10;
}

// The space bar after a right divisor: judged, the next box opened and focused. The divisor is
// typed untimed; a problem that has no divisor left is answered wrong and acknowledged with
// "+" "+", so that the attempt never ends.
void drillKeystroke(benchmark::State& bench)
{
    School& s = school();
    s.navigation.startDrill(5);
    auto* screen = qobject_cast<DrillScreen*>(s.forms.find(u"mainfrm"));
    // Each key goes to the open box, or to the screen while the answer is shown.
    const auto type = [screen](QChar ch) {
        const int box = screen->drill().activeBox();
        QWidget* target = screen->findChild<QWidget*>(QStringLiteral("Text3_%1").arg(box));
        if (!target || !target->isEnabled())
            target = screen;
        QKeyEvent press(QEvent::KeyPress, ch == u' ' ? Qt::Key_Space : Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
    };
    for (auto _ : bench) {
        bench.PauseTiming();
        const DivisorDrill& d = screen->drill();
        QString answer = d.activeBox() >= 1 ? d.answer(d.activeBox()) : QString();
        if (answer == u"*" || answer.isEmpty()) {
            for (QChar ch : QStringLiteral("99 ++"))
                type(ch);
            answer = d.answer(d.activeBox());
        }
        for (QChar ch : answer)
            type(ch);
        bench.ResumeTiming();
        type(u' ');
    }
    s.forms.unloadAll();
    bench.counters["budget_ms"] = 0.5;
}

void rankingList(benchmark::State& bench)
{
    School& s = school();
    CourseBoard board(s.services, s.pause);
    board.refresh();
    ranking::Request request;
    request.currentPupil = 7;
    for (auto _ : bench)
        benchmark::DoNotOptimize(
            ranking::build(1, true, s.state->roster.listedPupils, s.state->stats, s.state->roster, request));
    bench.counters["budget_ms"] = 0.5;
}

// The board shown again and again, with the school's choice of names in rankings.
void openBoardShowing(benchmark::State& bench, RankingNames names)
{
    School& s = school();
    s.state->school.rankingNames = names;
    for (auto _ : bench) {
        s.navigation.showBoard();
        bench.PauseTiming();
        s.forms.unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // see startUpToMenu
        bench.ResumeTiming();
    }
    s.state->school.rankingNames = RankingNames::Names;
    bench.counters["budget_ms"] = 40;
}

void openBoard(benchmark::State& bench)
{
    openBoardShowing(bench, RankingNames::Names);
}

// The same board where the school shows pupils the others' initials: the names hidden cost
// nothing the budget feels.
void openBoardNamesHidden(benchmark::State& bench)
{
    openBoardShowing(bench, RankingNames::Initials);
}

void switchDisplayMode(benchmark::State& bench)
{
    School& s = school();
    s.navigation.showBoard();
    Form* board = s.forms.find(u"seisekitime1");
    auto* times = board->findChild<QRadioButton*>("Option2_0");
    auto* points = board->findChild<QRadioButton*>("Option2_1");
    bool toTimes = true;
    for (auto _ : bench) {
        (toTimes ? times : points)->click();
        toTimes = !toTimes;
    }
    s.forms.unloadAll();
    bench.counters["budget_ms"] = 15;
}

void allAttempts(benchmark::State& bench)
{
    School& s = school();
    CourseBoard board(s.services, s.pause);
    board.refresh();
    board.setOrderOption(CourseBoard::kAllAttempts);
    for (auto _ : bench)
        benchmark::DoNotOptimize(board.buildLists());
    bench.counters["budget_ms"] = 50;
}

// The class's view: the whole table, from the statistics and one pass over the results file.
void classViewBuild(benchmark::State& bench)
{
    School& s = classSchool();
    for (auto _ : bench) {
        auto loaded = classview::load(s.services, s.pause, thisWeek());
        if (!loaded || loaded->table.rows.size() != kClassPupils)
            std::abort();
        benchmark::DoNotOptimize(loaded);
    }
    bench.counters["budget_ms"] = 60;
}

// A click on a column's header: the rows sorted again (name, last practice, a level in turn).
void classViewSort(benchmark::State& bench)
{
    School& s = classSchool();
    const auto loaded = classview::load(s.services, s.pause, thisWeek());
    ClassViewModel model(nullptr);
    model.setTable(loaded->table);
    const int columns[] = {classview::NameColumn, classview::LastPracticeColumn, classview::FirstLevelColumn};
    int k = 0;
    for (auto _ : bench) {
        model.sort(columns[k % 3], k % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        ++k;
    }
    bench.counters["budget_ms"] = 15;
}

// One keystroke in the search box: the rows narrowed again.
void classViewKeystroke(benchmark::State& bench)
{
    School& s = classSchool();
    const auto loaded = classview::load(s.services, s.pause, thisWeek());
    ClassViewModel model(nullptr);
    model.setTable(loaded->table);
    classview::Filter filter;
    int k = 0;
    for (auto _ : bench) {
        filter.search = QStringLiteral("生徒12").left(3 + k++ % 2);
        model.setFilter(filter);
    }
    bench.counters["budget_ms"] = 10;
}

// Another period chosen: every pupil's attempts, minutes and best times in it and the one before.
void classViewPeriod(benchmark::State& bench)
{
    School& s = classSchool();
    const auto loaded = classview::load(s.services, s.pause, thisWeek());
    ClassViewModel model(nullptr);
    model.setTable(loaded->table);
    int k = 0;
    for (auto _ : bench)
        model.setPeriod(classview::periodOf(classview::PeriodChoice(k++ % 3), QDate::currentDate(), 4));
    bench.counters["budget_ms"] = 60;
}

// Another PC's attempt appended during a lesson: the class view of 2000 pupils over 400000
// results brought up to date, in the order and filter chosen.
void classViewRefresh(benchmark::State& bench)
{
    static School s(kPupils);
    {
        QFile file(resultsfile::resultsPath(s.state->folders));
        if (!file.open(QIODevice::Append))
            std::abort();
        const double today = oadate::fromDate(QDate::currentDate());
        QByteArray block;
        for (int n = kRecords; n < 400000; ++n) {
            ResultRecord r;
            r.date = today - (n % 300);
            r.clockTime = 0.5;
            r.pupil = qint16(1 + n % kPupils);
            r.course = qint16(1 + n % 5);
            r.time = 40 + n % 400;
            block += r.encode();
        }
        file.write(block);
    }
    const auto loaded = classview::load(s.services, s.pause, thisWeek());
    ClassViewModel model(nullptr);
    model.setTable(loaded->table);
    int k = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        QFile file(resultsfile::resultsPath(s.state->folders));
        if (!file.open(QIODevice::Append))
            std::abort();
        ResultRecord r;
        r.date = oadate::fromDate(QDate::currentDate());
        r.clockTime = oadate::fromTime(QTime::currentTime());
        r.pupil = qint16(1 + k++ % kPupils);
        r.course = 1;
        r.time = 55;
        file.write(r.encode());
        file.close();
        bench.ResumeTiming();
        const auto refreshed = model.refresh(s.services, s.pause);
        if (!refreshed || refreshed->pupils.isEmpty())
            std::abort();
    }
    bench.counters["budget_ms"] = 60;
}

} // namespace

BENCHMARK(classViewRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(classViewPeriod)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(classViewBuild)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(classViewSort)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(classViewKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(startUpToMenu)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(20);
BENCHMARK(listMenu)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(drillKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(rankingList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(openBoardNamesHidden)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(openBoard)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(switchDisplayMode)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(allAttempts)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

namespace {

certificate::Certificate benchCertificate(int pupil)
{
    Catalogue catalogue;
    catalogue.courseTitle = QStringLiteral("約数早押しドリル");
    catalogue.courseNames[3] = QStringLiteral("レベル三");
    CourseRules rules;
    return certificate::make({pupil, 3, QDate(2026, 12, 3)}, QStringLiteral("長谷川　さくら"),
                             certificate::Honorific::San, certificate::defaultTemplate(), catalogue, rules,
                             QStringLiteral("みどり学習塾"), QStringLiteral("塾長　山田　太郎"),
                             certificate::Writing::Vertical);
}

void certificateLayout(benchmark::State& bench)
{
    QImage page(1754, 1240, QImage::Format_RGB32); // A4 landscape at 150 dpi
    for (auto _ : bench) {
        const certificate::Certificate c = benchCertificate(1);
        benchmark::DoNotOptimize(certificate::layoutProblems(c, certificate::Writing::Vertical));
        page.fill(Qt::white);
        QPainter painter(&page);
        certificatepage::paint(painter, QRectF(page.rect()), c, certificate::Writing::Vertical);
    }
    bench.counters["budget_ms"] = 20;
}

void fortyCertificatesToPdf(benchmark::State& bench)
{
    QTemporaryDir dir;
    for (auto _ : bench) {
        QPdfWriter pdf(dir.filePath(QStringLiteral("賞状.pdf")));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(300);
        QPainter painter(&pdf);
        for (int n = 1; n <= 40; ++n) {
            if (n > 1)
                pdf.newPage();
            certificatepage::paint(painter, QRectF(painter.viewport()), benchCertificate(n),
                                   certificate::Writing::Vertical);
        }
    }
    bench.counters["budget_ms"] = 3000;
}

} // namespace

BENCHMARK(certificateLayout)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(fortyCertificatesToPdf)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform cannot raise windows and says so every time a screen is shown.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.contains(QStringLiteral("does not support raise")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QApplication app(argc, argv);
    return runWithBudgets(&argc, argv);
}
