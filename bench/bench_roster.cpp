// The roster of a large school: 2000 pupils. Budgets (median, on the 2-core development
// machine): opening "名簿の編集" (the roster, the readings and which pupils have records read,
// the table filled) 100 ms; the preview of a class list of 2000 rows 200 ms; saving the roster
// after one change 50 ms.
#include "bench_budget.h"
#include "roster/readings.h"
#include "roster/roster_book.h"
#include "roster/roster_import.h"
#include "roster/roster_window.h"
#include "state/shared_state.h"
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
        QString csv = QStringLiteral("番号,学年,組,出席番号,氏名,ふりがな\r\n");
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
                       .arg(1 + n % 4)
                       .arg(1 + n % 35)
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
                                                    book.document(), book.readings(), {{}, false, 2026, 2026}));
    }
    bench.counters["budget_ms"] = 200;
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

} // namespace

BENCHMARK(openingTheRosterWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(previewOfAClassList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(savingTheRoster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runWithBudgets(&argc, argv);
}
