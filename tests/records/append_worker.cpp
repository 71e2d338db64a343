// One copy of the program on an installation that several share, as PCs on a server do.
//   append_worker FOLDER WORKER COUNT        records COUNT attempts of pupil WORKER as the
//                                            program does (times 0, 1, …), through the list of
//                                            waiting records
//   append_worker FOLDER WORKER COUNT log    appends that many attempts' ten problems to the
//                                            problem log instead
//   append_worker FOLDER hold MS             a sibling: holds the shared file's append lock
//                                            for MS milliseconds, saying "held" once it has it
//   append_worker FOLDER start               a start: appends what waits and prints what the
//                                            teacher is told; run by root, as user "nobody"
#include "fakes.h"
#include "problemlog/problem_log.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "records/results_recorder.h"
#include "startup/course_catalogue.h"
#include "state/shared_state.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <memory>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    auto state = std::make_unique<SharedState>();
    state->folders.programFolder = args[1] + "/prog/";
    state->folders.sharedFolder = args[1] + "/";
    state->folders.programFolderName = "prog";
    catalogue::fill(state->catalogue);
    FakeClock clock;
    SystemClock realClock;
    EventLoopPause pause(realClock); // the workers really wait for each other's locks
    RecordingMessageBox messages;
    RecordingProgramEnd end;
    SystemRandom random;
    const Services services{*state, clock, random, messages, end};

    if (args[2] == QLatin1String("hold") && args.size() == 4) {
        OpenedRecordFile opened = openRecordFile(resultsfile::sharedPath(state->folders));
        if (!opened.file || !opened.file->tryLock(0, kSharedRecordLength))
            return 1;
        std::puts("held");
        std::fflush(stdout);
        QThread::msleep(args[3].toULong());
        return 0;
    }
    if (args[2] == QLatin1String("start")) {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0 && ::setuid(65534) != 0) // permission bits do not stop root
            return 3;
#endif
        ResultsRecorder(services, pause).deliverWaiting();
        for (const auto& shown : messages.shown)
            std::puts(qPrintable(shown.text));
        return 0;
    }
    if (args.size() != 4 && args.size() != 5)
        return 2;
    const int worker = args[2].toInt();
    const int count = args[3].toInt();
    if (args.size() == 5 && args[4] == "log") {
        for (int n = 0; n < count; ++n) {
            QList<problemlog::Entry> entries;
            for (int k = 0; k < 10; ++k)
                entries.append({QDate(2026, 12, 8), QTime(9, 0), worker, 1, n * 10 + k, 1.5, 0, QString(), false, {}});
            if (const auto error = problemlog::append(problemlog::path(state->folders), entries, pause)) {
                std::fprintf(stderr, "%s\n", qPrintable(*error));
                return 1;
            }
        }
        return 0;
    }
    for (int n = 0; n < count; ++n) {
        if (!ResultsRecorder(services, pause).record({worker, 1, n})) {
            for (const auto& shown : messages.shown)
                std::fprintf(stderr, "%s\n", qPrintable(shown.text));
            return 1;
        }
    }
    return 0;
}
