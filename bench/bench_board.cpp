// The course board with 2000 pupils in the roster and a results file of 20000 records, on the
// offscreen platform. Budgets (median, on the 2-core development machine):
//   one course's ranking list            0.5 ms
//   opening the board                   40 ms   (statistics recomputed, every column and list filled)
//   switching the display mode          15 ms   (every list rebuilt)
//   "全成績" over the whole results file 50 ms
#include "app/navigation.h"
#include "bench_fakes.h"
#include "board/course_board.h"
#include "board/ranking.h"
#include "platform/pause.h"
#include "platform/platform.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "sound/audio_output.h"
#include "sound/sound_players.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/random_source.h"
#include "state/shared_state.h"
#include "ui/form.h"
#include "ui/form_registry.h"
#include "ui/screen_context.h"

#include <QApplication>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
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
    ScreenNavigation navigation;
    ScreenContext context{services, forms, sounds, pause, platform, navigation};

    School()
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
        QFile file(resultsfile::resultsPath(state->folders));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        const double today = oadate::fromDate(QDate::currentDate());
        for (int n = 0; n < kRecords; ++n) {
            ResultRecord r;
            r.date = today - (n % 60);
            r.clockTime = 0.5;
            r.pupil = qint16(1 + n % kPupils);
            r.course = qint16(1 + n % 5);
            r.time = 40 + n % 400;
            r.points = recordtext::pointsField(0);
            file.write(r.encode());
        }
    }
};

School& school()
{
    static School s;
    return s;
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
}

void openBoard(benchmark::State& bench)
{
    School& s = school();
    for (auto _ : bench) {
        s.navigation.openResultsViewer();
        bench.PauseTiming();
        s.forms.unloadAll();
        bench.ResumeTiming();
    }
}

void switchDisplayMode(benchmark::State& bench)
{
    School& s = school();
    s.navigation.openResultsViewer();
    Form* board = s.forms.find(u"seisekitime1");
    auto* times = board->findChild<QRadioButton*>("Option2_0");
    auto* points = board->findChild<QRadioButton*>("Option2_1");
    bool toTimes = true;
    for (auto _ : bench) {
        (toTimes ? times : points)->click();
        toTimes = !toTimes;
    }
    s.forms.unloadAll();
}

void allAttempts(benchmark::State& bench)
{
    School& s = school();
    CourseBoard board(s.services, s.pause);
    board.refresh();
    board.setOrderOption(CourseBoard::kAllAttempts);
    for (auto _ : bench)
        benchmark::DoNotOptimize(board.buildLists());
}

} // namespace

BENCHMARK(rankingList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(openBoard)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(switchDisplayMode)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(allAttempts)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
