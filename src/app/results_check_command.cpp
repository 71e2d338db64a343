#include "results_check_command.h"

#include "records/results_file.h"
#include "roster/readings.h"
#include "roster/roster_import.h"
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

int runRosterImport(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool dryRun = args.contains(QStringLiteral("--dry-run"));
    QStringList files = args.mid(2);
    files.removeAll(QStringLiteral("--dry-run"));
    const auto say = [](const QString& line) { std::printf("%s\n", line.toUtf8().constData()); };
    if (files.size() != 1) {
        say(QStringLiteral("使い方: divisor-drill --import-roster ファイル [--dry-run]"));
        return 2;
    }
    const QString programDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    auto state = std::make_unique<SharedState>();
    if (const auto failure = settings::load(programDir, *state)) {
        say(failure->message().replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        return 2;
    }
    QString error;
    const auto sheet = rosterimport::readFile(files.front(), rosterimport::Encoding::Automatic, &error);
    if (!sheet) {
        say(QStringLiteral("「%1」を読めません：%2").arg(QDir::toNativeSeparators(files.front()), error));
        return 2;
    }
    const QString rosterPath = state->folders.sharedFolder + roster::fileName();
    auto document = RosterDocument::load(rosterPath, &error);
    if (!document) {
        say(QStringLiteral("名簿「%1」を読めません：%2").arg(QDir::toNativeSeparators(rosterPath), error));
        return 2;
    }
    const readings::Read known = readings::read(state->folders.sharedFolder);
    const QDate today = QDate::currentDate();
    rosterimport::Options options;
    options.schoolYear = roster::schoolYear(today, state->organisation.schoolYearStartMonth.toInt());
    options.thisYear = today.year();
    const rosterimport::Plan plan =
        rosterimport::plan(*sheet, rosterimport::recognise(sheet->rows.front()), *document, known.byPupil, options);
    if (!sheet->warning.isEmpty())
        say(sheet->warning);
    for (const QString& line : rosterimport::describe(plan))
        say(line);
    if (plan.problemRows() > 0) {
        say(QStringLiteral("問題のある行があるため、名簿には何も書いていません。"));
        return 1;
    }
    if (dryRun) {
        say(QStringLiteral("--dry-run のため、名簿には何も書いていません。"));
        return 0;
    }
    QHash<int, QString> byPupil = known.byPupil;
    rosterimport::apply(plan, *document, byPupil, options.thisYear);
    if (!document->modified() && byPupil == known.byPupil) {
        say(QStringLiteral("名簿はそのままです（変えることはありません）。"));
        return 0;
    }
    if (const auto failure = document->save(rosterPath)) {
        say(QString(*failure).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        return 2;
    }
    if (const auto failure = readings::write(state->folders.sharedFolder, byPupil)) {
        say(QString(*failure).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        return 2;
    }
    say(QStringLiteral("名簿に読み込みました（控えは「%1」）。").arg(RosterDocument::backupFileName()));
    return 0;
}
