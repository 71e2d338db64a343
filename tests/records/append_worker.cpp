// Appends attempts to both results files, as one of several programs of the family would at
// the same moment. Arguments: installation folder, worker number, number of attempts, and
// "record" to record them as the program does (through the list of waiting records), or "log"
// to append that many attempts' ten problems to the problem log instead.
#include "fakes.h"
#include "problemlog/problem_log.h"
#include "records/results_file.h"
#include "records/results_recorder.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 5)
        return 2;
    auto state = std::make_unique<SharedState>();
    state->folders.programFolder = args[1] + "/prog/";
    state->folders.sharedFolder = args[1] + "/";
    state->folders.programFolderName = "prog";
    FakeClock clock;
    SystemClock realClock;
    EventLoopPause pause(realClock); // the workers' appends really wait for each other's locks
    const int worker = args[2].toInt();
    const int count = args[3].toInt();
    if (args.size() == 5 && args[4] == "log") {
        for (int n = 0; n < count; ++n) {
            QList<problemlog::Entry> entries;
            for (int k = 0; k < 10; ++k)
                entries.append({QDate(2026, 12, 8), QTime(9, 0), worker, 1, n * 10 + k, 1.5, 0, QString(), false});
            if (const auto error = problemlog::append(problemlog::path(state->folders), entries, pause)) {
                std::fprintf(stderr, "%s\n", qPrintable(*error));
                return 1;
            }
        }
        return 0;
    }
    if (args.size() == 5) {
        catalogue::fill(state->catalogue);
        RecordingMessageBox messages;
        RecordingProgramEnd end;
        SystemRandom random;
        const Services services{*state, clock, random, messages, end};
        for (int n = 0; n < count; ++n) {
            if (!ResultsRecorder(services, pause).record({worker, 1, n}))
                return 1;
        }
        return 0;
    }
    for (int n = 0; n < count; ++n) {
        if (const auto error =
                resultsfile::appendResult(state->folders, state->organisation, {worker, 1, n}, clock, pause)) {
            std::fprintf(stderr, "%s\n", qPrintable(error->message()));
            return 1;
        }
    }
    return 0;
}
