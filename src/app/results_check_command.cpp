#include "results_check_command.h"

#include "records/results_file.h"
#include "roster/import_undo.h"
#include "roster/readings.h"
#include "roster/roster_import.h"
#include "startup/settings_loader.h"
#include "teacher/results_check.h"
#include "teacher/teacher_lock.h"

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
    const resultscheck::Report report =
        resultscheck::check(resultsfile::resultsPath(state->folders), resultsfile::sharedPath(state->folders),
                            QDate::currentDate(), state->folders.programFolderName);
    for (const QString& line : report.lines)
        std::printf("%s\n", line.toUtf8().constData());
    return int(report.outcome);
}

namespace {

void say(const QString& line)
{
    std::printf("%s\n", QString(line).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).toUtf8().constData());
}

// The installation the program lives in, or nothing after saying why.
std::unique_ptr<SharedState> installation()
{
    const QString programDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    auto state = std::make_unique<SharedState>();
    if (const auto failure = settings::load(programDir, *state)) {
        say(failure->message());
        return nullptr;
    }
    return state;
}

} // namespace

int runRosterImport(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    const QString usage = QStringLiteral("使い方: divisor-drill --import-roster ファイル [--dry-run] [--skip-problems] "
                                         "[--numbering 出席番号] [--column 見出し=意味 ...]");
    bool dryRun = false, skipProblems = false, bySeat = false;
    QString file;
    QHash<QString, rosterimport::Column> chosen; // header → meaning
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--dry-run")) {
            dryRun = true;
        } else if (a == QStringLiteral("--skip-problems")) {
            skipProblems = true;
        } else if (a == QStringLiteral("--numbering") && i + 1 < args.size()) {
            const QString how = args[++i];
            if (how != QStringLiteral("出席番号") && how != QStringLiteral("空き")) {
                say(QStringLiteral("--numbering は「出席番号」か「空き」です（「%1」）。").arg(how));
                return 2;
            }
            bySeat = how == QStringLiteral("出席番号");
        } else if (a == QStringLiteral("--column") && i + 1 < args.size()) {
            const QString columnChoice = args[++i];
            const qsizetype eq = columnChoice.lastIndexOf(u'=');
            const auto meaning = eq > 0 ? rosterimport::columnNamed(columnChoice.mid(eq + 1)) : std::nullopt;
            if (!meaning) {
                QStringList meanings;
                for (const rosterimport::Column c : rosterimport::allColumns())
                    meanings << rosterimport::caption(c);
                say(QStringLiteral("--column「%1」がわかりません。見出し=意味 の形で、意味は %2 のどれかです。")
                        .arg(columnChoice, meanings.join(QStringLiteral("、"))));
                return 2;
            }
            chosen.insert(columnChoice.left(eq).trimmed(), *meaning);
        } else if (a.startsWith(QStringLiteral("--")) || !file.isEmpty()) {
            say(usage);
            return 2;
        } else {
            file = a;
        }
    }
    if (file.isEmpty()) {
        say(usage);
        return 2;
    }
    const auto state = installation();
    if (!state)
        return 2;
    QString error;
    const auto sheet = rosterimport::readFile(file, rosterimport::Encoding::Automatic, &error);
    if (!sheet) {
        say(QStringLiteral("「%1」を読めません：%2").arg(QDir::toNativeSeparators(file), error));
        return 2;
    }
    rosterimport::Options options;
    QList<rosterimport::Column> columns = rosterimport::recognise(sheet->rows.front());
    for (auto it = chosen.cbegin(); it != chosen.cend(); ++it) {
        const qsizetype at = sheet->rows.front().indexOf(it.key());
        if (at < 0) {
            say(QStringLiteral("--column の見出し「%1」がファイルにありません（見出し：%2）。")
                    .arg(it.key(), sheet->rows.front().join(QStringLiteral("、"))));
            return 2;
        }
        columns[at] = it.value();
        options.decided.insert(at);
    }
    const QString rosterPath = state->folders.sharedFolder + roster::fileName();
    auto document = RosterDocument::load(rosterPath, &error);
    if (!document) {
        say(QStringLiteral("名簿「%1」を読めません：%2").arg(QDir::toNativeSeparators(rosterPath), error));
        return 2;
    }
    const readings::Read known = readings::read(state->folders.sharedFolder);
    const QDate today = QDate::currentDate();
    options.schoolYearStartMonth = state->organisation.schoolYearStartMonth.toInt();
    options.schoolYear = roster::schoolYear(today, options.schoolYearStartMonth);
    options.thisYear = today.year();
    options.numbering = bySeat ? rosterimport::Numbering::GradeClassSeat : rosterimport::Numbering::NextFree;
    const rosterimport::Plan plan = rosterimport::plan(*sheet, columns, *document, known.byPupil, options);
    if (!sheet->warning.isEmpty())
        say(sheet->warning);
    if (bySeat)
        say(rosterimport::seatNumberScheme());
    for (const QString& line : rosterimport::describe(plan))
        say(line);
    if (plan.noKnownColumn) {
        say(QStringLiteral("読める列がないため、名簿には何も書いていません。"));
        return 1;
    }
    if (plan.problemRows() > 0 && !skipProblems) {
        say(QStringLiteral("問題のある行があるため、名簿には何も書いていません"
                           "（問題のない行だけ読み込むときは --skip-problems をつけてください）。"));
        return 1;
    }
    if (dryRun) {
        say(QStringLiteral("--dry-run のため、名簿には何も書いていません。"));
        return plan.problemRows() > 0 ? 1 : 0;
    }
    QHash<int, QString> byPupil = known.byPupil;
    rosterimport::apply(plan, *document, byPupil, options.thisYear);
    if (!document->modified() && byPupil == known.byPupil) {
        say(QStringLiteral("名簿はそのままです（変えることはありません）。"));
        return plan.problemRows() > 0 ? 1 : 0;
    }
    const auto before = importundo::take(state->folders.sharedFolder, &error);
    if (!before) {
        say(QStringLiteral("名簿を読めません：%1").arg(error));
        return 2;
    }
    QString backupProblem;
    if (const auto failure = document->save(rosterPath, nullptr, &backupProblem)) {
        say(*failure);
        return 2;
    }
    if (!backupProblem.isEmpty())
        say(backupProblem);
    if (const auto failure = readings::write(state->folders.sharedFolder, byPupil)) {
        say(*failure);
        return 2;
    }
    if (const auto after = importundo::take(state->folders.sharedFolder)) {
        if (const auto failure =
                importundo::remember(state->folders.sharedFolder, *before, *after, QDateTime::currentDateTime()))
            say(*failure);
    }
    say(QStringLiteral("名簿に読み込みました（控えは「%1」。取り消すときは --undo-import）。")
            .arg(RosterDocument::backupFileName()));
    return plan.problemRows() > 0 ? 1 : 0;
}

int runImportUndo(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto state = installation();
    if (!state)
        return 2;
    const importundo::State now = importundo::state(state->folders.sharedFolder);
    if (!now.available) {
        say(now.why);
        return 1;
    }
    if (const auto failure = importundo::undo(state->folders.sharedFolder)) {
        say(*failure);
        return 2;
    }
    say(QString(now.why).replace(QStringLiteral("戻します"), QStringLiteral("戻しました")));
    return 0;
}

int runPasswordReset(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto state = installation();
    if (!state)
        return 2;
    if (const auto failure = teacherlock::reset(teacherlock::placesOf(state->folders))) {
        say(*failure);
        return 2;
    }
    say(QStringLiteral("先生用パスワードをなくしました。先生用の画面はパスワードなしで開きます。"
                       "新しいパスワードは「名簿の編集」の「先生用パスワード」で決めてください。"));
    return 0;
}
