#include "results_check_command.h"

#include "records/results_file.h"
#include "startup/settings_loader.h"
#include "teacher/results_check.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <cstdio>
#include <memory>

int runResultsCheck(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString programDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    auto state = std::make_unique<SharedState>();
    if (const auto failure = settings::load(programDir, *state)) {
        std::printf("%s\n",
                    failure->message().replace(QStringLiteral("\r\n"), QStringLiteral(" ")).toUtf8().constData());
        return int(resultscheck::Outcome::Unreadable);
    }
    const resultscheck::Report report = resultscheck::check(
        resultsfile::resultsPath(state->folders), resultsfile::sharedPath(state->folders), QDate::currentDate());
    for (const QString& line : report.lines)
        std::printf("%s\n", line.toUtf8().constData());
    return int(report.outcome);
}
