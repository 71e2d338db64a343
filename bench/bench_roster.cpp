// The roster of a large school: 2000 pupils. Budgets (median, on the 2-core development
// machine): opening "名簿の編集" (the roster, the readings and which pupils have records read,
// the table filled) 100 ms; the preview of a class list of 2000 rows 200 ms; saving the roster
// after one change 50 ms. The name menu's kana jump over 2000 names 5 ms; saving 学校の設定 100 ms.
// A class list: its preview of 2000 rows 150 ms, taking its 2000 rows into the roster 300 ms, the
// preview of 50 000 rows within 64 MiB more memory at its peak (Linux: the resident peak). The
// teacher's password checked (its slow hash, 200 000 rounds) 300 ms.
#include "bench_budget.h"
#include "menu/name_menu.h"
#include "roster/readings.h"
#include "roster/roster_book.h"
#include "roster/roster_import.h"
#include "roster/roster_window.h"
#include "school/school_settings.h"
#include "state/shared_state.h"
#include "teacher/teacher_password.h"
#include "test_world.h"
#include "text/cp932.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

constexpr int kPupils = 2000;

struct School : TestWorld
{
    QString csvPath;
    School()
    {
        QString roster;
        QString readings;
        QString csv = QStringLiteral("生徒番号,学年,組,出席番号,氏名,ふりがな\r\n");
        for (int n = 1; n <= kPupils; ++n) {
            const QString name = QStringLiteral("生徒%1　はなこ").arg(n);
            roster += roster::Line{qint16(n),
                                   qint16(2014 + n % 6),
                                   0,
                                   0,
                                   roster::fixedField(name),
                                   0,
                                   roster::fixedField({}),
                                   roster::fixedField({})}
                          .format() +
                      QStringLiteral("\r\n");
            readings += QStringLiteral("%1,\"せいと　はなこ\"\r\n").arg(n);
            csv += QStringLiteral("%1,小%2,%3,%4,%5,せいと　はなこ\r\n")
                       .arg(n)
                       .arg(1 + n % 6)
                       .arg(1 + n / 6 % 9)
                       .arg(1 + n / 54 % 50)
                       .arg(name);
        }
        for (const auto& [file, text] :
             {std::pair(roster::fileName(), roster), std::pair(readings::fileName(), readings)}) {
            QFile out(state->folders.sharedFolder + file);
            if (out.open(QIODevice::WriteOnly))
                out.write(cp932::encode(text).bytes);
        }
        csvPath = dir.filePath("class.csv");
        QFile out(csvPath);
        if (out.open(QIODevice::WriteOnly))
            out.write(csv.toUtf8());
    }
};

rosterimport::Options options()
{
    rosterimport::Options o;
    o.schoolYear = 2026;
    o.thisYear = 2026;
    return o;
}

School& school()
{
    static School s;
    return s;
}

void openingTheRosterWindow(benchmark::State& bench)
{
    School& s = school();
    for (auto _ : bench) {
        RosterWindow window(s.context, {}, nullptr);
        benchmark::DoNotOptimize(window.load());
    }
    bench.counters["budget_ms"] = 100;
}

void previewOfAClassList(benchmark::State& bench)
{
    School& s = school();
    RosterBook book(s.state->folders, s.clock.today(), 4);
    book.load();
    for (auto _ : bench) {
        const auto sheet = rosterimport::readFile(s.csvPath, rosterimport::Encoding::Automatic, nullptr);
        benchmark::DoNotOptimize(rosterimport::plan(*sheet, rosterimport::recognise(sheet->rows.front()),
                                                    book.document(), book.readings(), options()));
    }
    bench.counters["budget_ms"] = 150;
}

// The 2000 rows of a new school taken into an empty roster.
void applyingAClassList(benchmark::State& bench)
{
    School& s = school();
    const auto sheet = rosterimport::readFile(s.csvPath, rosterimport::Encoding::Automatic, nullptr);
    for (auto _ : bench) {
        bench.PauseTiming();
        RosterDocument empty = RosterDocument::fromBytes({});
        QHash<int, QString> readings;
        const rosterimport::Plan plan =
            rosterimport::plan(*sheet, rosterimport::recognise(sheet->rows.front()), empty, readings, options());
        bench.ResumeTiming();
        rosterimport::apply(plan, empty, readings, 2026);
        if (empty.entries().size() != kPupils)
            std::abort();
    }
    bench.counters["budget_ms"] = 300;
}

#ifdef Q_OS_LINUX
#include <malloc.h>

// The process's resident memory now and at its peak, in KiB.
std::pair<long, long> residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    long now = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                now = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return {now, peak};
}
#endif

// A class list of 50 000 rows previewed: read, recognised and planned, measured at its peak.
void previewOf50000Rows(benchmark::State& bench)
{
    const RosterDocument empty = RosterDocument::fromBytes({});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.csv"));
    {
        QString csv = QStringLiteral("学年,組,出席番号,氏名,ふりがな\r\n");
        for (int n = 0; n < 50000; ++n)
            csv += QStringLiteral("小%1,%2,%3,生徒%4　たろう,せいと　たろう\r\n")
                       .arg(1 + n % 6)
                       .arg(1 + n / 6 % 9)
                       .arg(1 + n % 50)
                       .arg(n);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(csv.toUtf8());
    }
    double added = 0;
    for (auto _ : bench) {
#ifdef Q_OS_LINUX
        // Memory freed by the benchmarks before goes back to the system first, so that the
        // preview's own pages are what the peak counts.
        malloc_trim(0);
        { // the peak counted from here
            QFile clear(QStringLiteral("/proc/self/clear_refs"));
            if (clear.open(QIODevice::WriteOnly))
                clear.write("5");
        }
        const long before = residentKiB().first;
#endif
        const auto sheet = rosterimport::readFile(path, rosterimport::Encoding::Automatic, nullptr);
        const rosterimport::Plan plan =
            rosterimport::plan(*sheet, rosterimport::recognise(sheet->rows.front()), empty, {}, options());
        benchmark::DoNotOptimize(plan);
#ifdef Q_OS_LINUX
        added = std::max(added, double(residentKiB().second - before) / 1024.0);
#endif
    }
    bench.counters["added_MiB"] = added;
    bench.counters["budget_MiB"] = 64;
}

void savingTheRoster(benchmark::State& bench)
{
    School& s = school();
    int year = 2014;
    for (auto _ : bench) {
        bench.PauseTiming();
        RosterBook book(s.state->folders, s.clock.today(), 4);
        book.load();
        year = year == 2014 ? 2015 : 2014;
        book.edit(0, book.rows()[0].name, QString::number(year), book.rows()[0].reading, 0);
        bench.ResumeTiming();
        benchmark::DoNotOptimize(book.save());
    }
    bench.counters["budget_ms"] = 50;
}

// The teacher's password typed: read, checked against its marks and its slow hash.
void checkingThePassword(benchmark::State& bench)
{
    School& s = school();
    const teacherlock::Places places = teacherlock::placesOf(s.state->folders);
    if (teacherpassword::set(places, QStringLiteral("hana2026")))
        std::abort();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto _ : bench) {
        if (teacherpassword::check(places, QStringLiteral("hana2026"), now).outcome !=
            teacherpassword::Check::Outcome::Accepted)
            std::abort();
    }
    teacherlock::reset(places);
    bench.counters["budget_ms"] = 300;
}

// A kana typed in the name menu: the first name read with it, else with its row of the table.
void kanaJump(benchmark::State& bench)
{
    School& s = school();
    NameMenu menu(s.services, s.pause);
    if (!menu.list(QStringLiteral("全学年")) || menu.rows().size() != kPupils)
        std::abort();
    const QString typed = QStringLiteral("わがせぴん");
    int k = 0;
    for (auto _ : bench)
        benchmark::DoNotOptimize(menu.rowForKana(typed[k++ % typed.size()]));
    bench.counters["budget_ms"] = 5;
}

// "学校の設定" saved: 共通データ.txt's second value and the settings file, each replaced whole.
void savingSchoolSettings(benchmark::State& bench)
{
    School& s = school();
    QFile common(s.state->folders.sharedFolder + schoolsettings::commonFileName());
    if (!common.open(QIODevice::WriteOnly))
        std::abort();
    common.write(cp932::encode(QStringLiteral("4,\"学習塾\",0,0,0,0,0,0,0,0\r\n")).bytes);
    common.close();
    int k = 0;
    for (auto _ : bench) {
        const schoolsettings::Entry entry{QStringLiteral("12345"), QStringLiteral("みどり小学校%1").arg(k % 2),
                                          QStringLiteral("校長　山田　太郎"), 1 + k % 7, RankingNames::Names};
        ++k;
        if (schoolsettings::save(s.state->folders.sharedFolder, entry))
            std::abort();
    }
    bench.counters["budget_ms"] = 100;
}

} // namespace

BENCHMARK(checkingThePassword)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(applyingAClassList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(previewOf50000Rows)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(kanaJump)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(savingSchoolSettings)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(openingTheRosterWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(previewOfAClassList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(savingTheRoster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runWithBudgets(&argc, argv);
}
