#include "fakes.h"
#include "hostile_places.h"
#include "platform/record_file.h"
#include "problemlog/problem_log.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "roster/import_undo.h"
#include "roster/readings.h"
#include "roster/roster_document.h"
#include "roster/roster_file.h"
#include "school/school_settings.h"
#include "teacher/teacher_lock.h"
#include "text/cp932.h"
#include "text/text_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

QByteArray sjis(const QString& text)
{
    return cp932::encode(text).bytes;
}

// What every writer finds in the folder before the write is refused.
QMap<QString, QByteArray> earlierFiles()
{
    return {
        {roster::fileName(), sjis(QStringLiteral("1,2015,7,-2,\"山田　太郎\",0,\"\",\"\"\r\n"))},
        {RosterDocument::backupFileName(), sjis(QStringLiteral("1,2015,7,-2,\"前の名簿\",0,\"\",\"\"\r\n"))},
        {readings::fileName(), sjis(QStringLiteral("1,\"やまだ　たろう\"\r\n"))},
        {schoolsettings::fileName(), sjis(QStringLiteral("\"署名\",\"校長　山田\"\r\n"))},
        {schoolsettings::commonFileName(), sjis(QStringLiteral("1,\"12345前の学校\",0\r\n"))},
        {teacherlock::passwordFileName(), QByteArray("pbkdf2-sha256,1000,old,old\r\n")},
        {QStringLiteral("問題記録.csv"), problemlog::header()},
        {resultsfile::resultsFileName(), QByteArray(44, '\x01')},
        {QStringLiteral("クラスの様子.csv"), QByteArray("前の書き出し\r\n")},
    };
}

using Writer = std::function<std::optional<QString>(const QString& folder)>;

Writer rosterSave()
{
    return [](const QString& folder) -> std::optional<QString> {
        const QString path = folder + roster::fileName();
        auto document = RosterDocument::load(path);
        if (!document)
            return QStringLiteral("(読めない)");
        for (int n = 10; n < 400; ++n) // more than the room a full disk has left
            document->add(n, QStringLiteral("生徒　%1").arg(n), QStringLiteral("2015"), 0, 2026);
        QString backupProblem;
        return document->save(path, nullptr, &backupProblem);
    };
}

Writer problemLogAppend()
{
    return [](const QString& folder) {
        RecordingPause pause;
        QList<problemlog::Entry> entries;
        for (int n = 0; n < 2000; ++n)
            entries.append({QDate(2026, 12, 9), QTime(10, 0), 7, 3, 36, 4.2, 0, QString(), false, {}});
        return problemlog::append(folder + QStringLiteral("問題記録.csv"), entries, pause);
    };
}

Writer resultsAppend()
{
    return [](const QString& folder) -> std::optional<QString> {
        RecordingPause pause;
        const QList<QByteArray> records(2000, QByteArray(44, '\x02'));
        if (const auto error = resultsfile::appendRecords(folder + resultsfile::resultsFileName(), records,
                                                          kResultRecordLength, pause))
            return error->reason();
        return std::nullopt;
    };
}

} // namespace

// Every writer of the program, refused by a full disk, a read-only folder or a folder gone:
// each says why in Japanese, and every file it found is left byte for byte, backups included.
class TestFailedWrites : public QObject
{
    Q_OBJECT
private slots:
    void everyWriterLeavesTheLastGoodCopy_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<Writer>("writer");
        const QList<QPair<const char*, Writer>> writers{
            {"roster and its backup", rosterSave()},
            {"readings",
             [](const QString& f) {
                 QHash<int, QString> byPupil;
                 for (int n = 1; n < 2000; ++n)
                     byPupil.insert(n, QStringLiteral("やまだ　はなこ"));
                 return readings::write(f, byPupil);
             }},
            {"school settings",
             [](const QString& f) {
                 return schoolsettings::save(f, {QStringLiteral("54321"), QStringLiteral("新しい学校"),
                                                 QStringLiteral("校長　佐藤"), 0, RankingNames::Initials});
             }},
            {"teacher's password",
             [](const QString& f) {
                 return teacherlock::store({f, f}, QStringLiteral("pbkdf2-sha256,1000,new,new"));
             }},
            {"import's undo copies",
             [](const QString& f) {
                 const importundo::Snapshot before{QByteArray(40000, 'b'), QByteArray(9000, 'r')};
                 const importundo::Snapshot after{QByteArray(40000, 'a'), std::nullopt};
                 return importundo::remember(f, before, after, QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
             }},
            {"problem log", problemLogAppend()},
            {"results file", resultsAppend()},
            {"a CSV export",
             [](const QString& f) {
                 return textfile::replace(f + QStringLiteral("クラスの様子.csv"), QByteArray(100000, 'c'));
             }},
        };
        const QList<QPair<const char*, RefusingFolder::Way>> ways{
            {"full disk", RefusingFolder::Way::Full},
            {"read-only", RefusingFolder::Way::ReadOnly},
            {"folder gone", RefusingFolder::Way::Gone},
        };
        for (const auto& [wayName, way] : ways) {
            for (const auto& [writerName, writer] : writers)
                QTest::addRow("%s, %s", writerName, wayName) << int(way) << writer;
        }
    }
    void everyWriterLeavesTheLastGoodCopy()
    {
        QFETCH(int, way);
        QFETCH(Writer, writer);
        QTemporaryDir top;
        const QString folder = top.filePath(QStringLiteral("共有"));
        QVERIFY(QDir().mkpath(folder));
        RefusingFolder refusing(folder, RefusingFolder::Way(way));
        if (!refusing.ready())
            QSKIP("this machine cannot refuse writes this way (no private mounts, or Windows)");
        const auto files = earlierFiles();
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(QDir(folder).filePath(it.key()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(it.value());
        }
        refusing.refuse();

        const auto error = writer(folder + u'/');
        QVERIFY2(error, "the refused write was reported as done");
        QVERIFY2(error->contains(QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"))),
                 qPrintable(*error));
        if (RefusingFolder::Way(way) == RefusingFolder::Way::Gone) {
            QVERIFY(!QFileInfo::exists(folder)); // nothing made a new folder in the gone one's place
            return;
        }
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QCOMPARE(readAll(QDir(folder).filePath(it.key())), it.value());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size() -
                     (QFileInfo::exists(folder + "/filler") ? 1 : 0),
                 files.size()); // nothing half-written left beside them
    }

    // A new teacher's password whose program-folder mark cannot be written (that folder gone)
    // puts the school's settings back: the old password and its marks still hold.
    void passwordChangeIsWholeOrNothing()
    {
        QTemporaryDir shared;
        QTemporaryDir program;
        const teacherlock::Places places{shared.path() + u'/', program.path()};
        const QString old = QStringLiteral("pbkdf2-sha256,1000,") + QString(32, u'a') + u',' + QString(64, u'b');
        QVERIFY(!teacherlock::store(places, old));
        QCOMPARE(teacherlock::state(places).status, teacherlock::Status::Set);
        const QByteArray settings = readAll(places.sharedFolder + schoolsettings::fileName());

        QVERIFY(QDir(program.path()).removeRecursively());
        const QString changed = QStringLiteral("pbkdf2-sha256,1000,") + QString(32, u'c') + u',' + QString(64, u'd');
        QVERIFY(teacherlock::store(places, changed));
        QCOMPARE(readAll(places.sharedFolder + schoolsettings::fileName()), settings);
        QVERIFY(QDir().mkpath(program.path()));
        QFile mark(QDir(program.path()).filePath(teacherlock::markFileName()));
        QVERIFY(mark.open(QIODevice::WriteOnly));
        mark.write((teacherlock::fingerprint(old) + QStringLiteral("\r\n")).toLatin1());
        mark.close();
        const auto after = teacherlock::state(places);
        QCOMPARE(after.status, teacherlock::Status::Set);
        QCOMPARE(after.line, old);
    }
};

QTEST_GUILESS_MAIN(TestFailedWrites)
#include "tst_failed_writes.moc"
