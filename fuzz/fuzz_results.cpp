// The results files from any bytes: the statistics over a 44-byte file, the check of both kinds,
// the CSV export and the board's lists of single attempts.
#include "board/results_lists.h"
#include "export/results_csv.h"
#include "platform/pause.h"
#include "records/results_file.h"
#include "records/results_reader.h"
#include "startup/course_catalogue.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/random_source.h"
#include "state/shared_state.h"
#include "teacher/results_check.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace {

class Silent final : public MessageBox
{
public:
    void show(const QString&, const QString&, Icon) override {}
    bool ask(const QString&, const QString&) override { return false; }
    int choose(const QString&, const QString&, const QStringList& buttons) override { return int(buttons.size()) - 1; }
    std::unique_ptr<Waiting> waiting(const QString&, const QString&) override { return nullptr; }
};
class Abort final : public ProgramEnd
{
public:
    void endProgram(int) override { std::abort(); } // a readable file never ends the program
};
class NoWait final : public Pause
{
public:
    void wait(int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static auto state = [] {
        auto s = std::make_unique<SharedState>();
        s->folders.programFolder = dir.path() + "/";
        s->folders.sharedFolder = dir.path() + "/";
        catalogue::fill(s->catalogue);
        for (int c = 1; c <= 5; ++c) {
            s->rules.targetTime[c] = 60 * c;
            s->rules.pointWeight[c] = 1000.0f; // the largest weight the rules file allows
            s->rules.windowDays[c] = Loose(36500);
        }
        return s;
    }();
    static SystemClock clock;
    static SystemRandom random;
    static Silent messages;
    static Abort end;
    static NoWait pause;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = resultsfile::resultsPath(state->folders);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(bytes);
    file.close();
    ResultsReader reader(Services{*state, clock, random, messages, end}, pause);
    (void)reader.refreshStatistics();
    if (const auto attempts = reader.read(20000)) {
        resultslists::Request request;
        request.today = clock.today();
        for (auto kind : {resultslists::Kind::Today, resultslists::Kind::All, resultslists::Kind::Personal}) {
            request.kind = kind;
            (void)resultslists::build(*attempts, state->roster, state->rules, request);
        }
    }
    (void)resultscheck::checkFile(path, false, clock.today());
    (void)resultscheck::checkFile(path, true, clock.today());
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    (void)resultscsv::exportFile(path, csv, {}, 2026, state->catalogue, state->rules);
    return 0;
}
