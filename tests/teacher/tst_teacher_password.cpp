#include "fakes.h"
#include "school/school_settings.h"
#include "teacher/pbkdf2.h"
#include "teacher/teacher_lock.h"
#include "teacher/teacher_password.h"

#include <QDir>
#include <QFile>
#include <QPasswordDigestor>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = teacherpassword::Check::Outcome;

namespace {

// A school's shared folder and one program folder beside it.
struct School
{
    QTemporaryDir dir;
    teacherlock::Places places{dir.path() + QStringLiteral("/files/"), dir.path() + QStringLiteral("/prog/")};
    QDateTime now{QDate(2026, 12, 10), QTime(9, 0), Qt::UTC};
    School()
    {
        QDir().mkpath(places.sharedFolder);
        QDir().mkpath(places.programFolder);
    }
    QString shared(const QString& file) const { return places.sharedFolder + file; }
    QString program(const QString& file) const { return places.programFolder + file; }
    void put(const QString& path, const QByteArray& bytes) const
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Outcome typed(const QString& password) { return teacherpassword::check(places, password, now).outcome; }
};

} // namespace

class TestTeacherPassword : public QObject
{
    Q_OBJECT
private slots:
    // The slow hash is PBKDF2-HMAC-SHA256 exactly as the library's, keys longer than a block too.
    void pbkdf2AsTheLibrary_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addRow("one round") << QByteArray("password") << QByteArray("salt") << 1;
        QTest::addRow("RFC 7914's") << QByteArray("passwd") << QByteArray("salt") << 1;
        QTest::addRow("a thousand rounds") << QByteArray("hana2026") << QByteArray(16, '\x7f') << 1000;
        QTest::addRow("a key longer than a block") << QByteArray(100, 'k') << QByteArray("salt") << 50;
        QTest::addRow("Japanese, in UTF-8") << QStringLiteral("さくら学級").toUtf8() << QByteArray(16, '\0') << 3;
    }
    void pbkdf2AsTheLibrary()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        QCOMPARE(pbkdf2Sha256(password, salt, iterations),
                 QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password, salt, iterations, 32));
    }

    // One rule, stated in the dialog: 4 to 64 characters, full and half width alike, blanks at
    // the ends not counted.
    void rule_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("allowed");
        QTest::addRow("1 character") << QStringLiteral("a") << false;
        QTest::addRow("4 characters") << QStringLiteral("hana") << true;
        QTest::addRow("blanks around 3") << QStringLiteral("  abc  ") << false;
        QTest::addRow("a blank inside") << QStringLiteral("ha na") << true;
        QTest::addRow("64") << QString(64, u'x') << true;
        QTest::addRow("200") << QString(200, u'x') << false;
        QTest::addRow("Japanese") << QStringLiteral("さくら学級") << true;
    }
    void rule()
    {
        QFETCH(QString, password);
        QTEST(!teacherpassword::problem(password).has_value(), "allowed");
    }

    // Set once for the school: any program folder opens with it; full-width digits are the same.
    void oneForTheSchool()
    {
        School s;
        QCOMPARE(s.typed(QStringLiteral("whatever")), Outcome::Open);
        QCOMPARE(teacherpassword::set(s.places, QStringLiteral("hana2026")), std::nullopt);
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Accepted);
        QCOMPARE(s.typed(QStringLiteral("ｈａｎａ２０２６")), Outcome::Accepted);
        QCOMPARE(s.typed(QStringLiteral("hanа2026")), Outcome::Wrong); // a Cyrillic а
        teacherlock::Places another = s.places;
        another.programFolder = s.dir.path() + QStringLiteral("/other/");
        QDir().mkpath(another.programFolder);
        QCOMPARE(teacherpassword::check(another, QStringLiteral("hana2026"), s.now).outcome, Outcome::Accepted);
        QCOMPARE(teacherpassword::check(another, QStringLiteral("nope"), s.now).outcome, Outcome::Wrong);
    }

    // What a curious pupil can do to the files keeps the tools shut; the administrator's reset
    // opens them again.
    void aPupilCannotLiftTheLock_data()
    {
        QTest::addColumn<QString>("done");
        for (const char* done :
             {"password deleted", "password emptied", "password damaged", "salt cut", "unknown algorithm",
              "huge iteration count", "password replaced", "password and one mark deleted", "a folder in its place"})
            QTest::addRow("%s", done) << QString::fromLatin1(done);
    }
    void aPupilCannotLiftTheLock()
    {
        QFETCH(QString, done);
        School s;
        QCOMPARE(teacherpassword::set(s.places, QStringLiteral("hana2026")), std::nullopt);
        const QString password = s.shared(teacherlock::passwordFileName());
        QFile file(password);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray line = file.readAll().trimmed();
        file.close();
        const QList<QByteArray> parts = line.split(',');
        if (done == "password deleted")
            QVERIFY(QFile::remove(password));
        else if (done == "password emptied")
            s.put(password, {});
        else if (done == "password damaged")
            s.put(password, "\x00\xff garbage");
        else if (done == "salt cut")
            s.put(password, parts[0] + ',' + parts[1] + ',' + parts[2].left(8) + ',' + parts[3]);
        else if (done == "unknown algorithm")
            s.put(password, "md5," + parts[1] + ',' + parts[2] + ',' + parts[3]);
        else if (done == "huge iteration count")
            s.put(password, parts[0] + ",2000000000," + parts[2] + ',' + parts[3]);
        else if (done == "password replaced") { // one whose password the pupil knows, from elsewhere
            School elsewhere;
            QCOMPARE(teacherpassword::set(elsewhere.places, QStringLiteral("known1")), std::nullopt);
            QFile::remove(password);
            QVERIFY(QFile::copy(elsewhere.shared(teacherlock::passwordFileName()), password));
            QCOMPARE(s.typed(QStringLiteral("known1")), Outcome::Broken);
        } else if (done == "password and one mark deleted") {
            QVERIFY(QFile::remove(password));
            QVERIFY(QFile::remove(s.program(teacherlock::markFileName())));
        } else if (done == "a folder in its place") {
            QVERIFY(QFile::remove(password));
            QVERIFY(QDir().mkpath(password));
        }
        QElapsedTimer timer;
        timer.start();
        const teacherpassword::Check checked = teacherpassword::check(s.places, QStringLiteral("hana2026"), s.now);
        QCOMPARE(checked.outcome, Outcome::Broken);
        QVERIFY2(checked.message.contains(QStringLiteral("--reset-teacher-password")), qPrintable(checked.message));
        QVERIFY(timer.elapsed() < 5000); // a huge iteration count is never run
        if (QFileInfo(password).isDir())
            QVERIFY(QDir(password).removeRecursively());
        QCOMPARE(teacherlock::reset(s.places), std::nullopt);
        QCOMPARE(s.typed(QStringLiteral("anything")), Outcome::Open);
    }

    // Five wrong tries lock the tools for 30 s, then 60 s …, at most 15 min; a clock set back
    // does not unlock them; the lock holds with one of its two records deleted; the right
    // password after the lock clears the count.
    void lockout()
    {
        School s;
        QCOMPARE(teacherpassword::set(s.places, QStringLiteral("hana2026")), std::nullopt);
        for (int k = 1; k < teacherlock::kFreeTries; ++k)
            QCOMPARE(s.typed(QStringLiteral("wrong")), Outcome::Wrong);
        QCOMPARE(s.typed(QStringLiteral("wrong")), Outcome::Wrong); // the fifth: locked from now
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Locked);
        s.now = s.now.addSecs(-3600); // the clock set back an hour
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Locked);
        s.now = s.now.addSecs(3600 + 29);
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Locked);
        QVERIFY(QFile::remove(s.shared(teacherlock::lockoutFileName()))); // one record of two
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Locked);
        s.now = s.now.addSecs(2);
        QCOMPARE(s.typed(QStringLiteral("wrong")), Outcome::Wrong); // the sixth: 60 s
        QCOMPARE(teacherlock::secondsLeft(teacherlock::readLockout(s.places, s.now), s.now), 60);
        teacherlock::Lockout many;
        for (int k = 0; k < 30; ++k)
            many = teacherlock::afterWrongTry(many, s.now);
        QCOMPARE(many.lockSeconds, teacherlock::kLongestLockSeconds);
        s.now = s.now.addSecs(61);
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Accepted);
        QCOMPARE(teacherlock::readLockout(s.places, s.now).failures, 0);
    }

    // A record of wrong tries that cannot be read, or dated in the future, keeps the tools shut
    // for a while; the administrator's reset clears it.
    void damagedRecord_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addRow("garbage") << QByteArray("\xff\xfe nonsense");
        QTest::addRow("dated next year") << QByteArray("5,2027-12-10T09:00:00Z,30");
        QTest::addRow("a lock beyond 15 min") << QByteArray("5,2026-12-10T09:00:00Z,999999");
    }
    void damagedRecord()
    {
        QFETCH(QByteArray, record);
        School s;
        QCOMPARE(teacherpassword::set(s.places, QStringLiteral("hana2026")), std::nullopt);
        s.put(s.shared(teacherlock::lockoutFileName()), record);
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Locked);
        QCOMPARE(teacherlock::reset(s.places), std::nullopt);
        QCOMPARE(teacherpassword::set(s.places, QStringLiteral("hana2026")), std::nullopt);
        QCOMPARE(s.typed(QStringLiteral("hana2026")), Outcome::Accepted);
    }

    // An earlier version kept the password in the program folder: it becomes the school's, once.
    void takenOver()
    {
        School s;
        const QString line = teacherpassword::line(QStringLiteral("old-pass"), QByteArray(16, 'x'), 1000);
        s.put(s.program(teacherlock::passwordFileName()), (line + QStringLiteral("\r\n")).toLatin1());
        teacherlock::takeOver(s.places);
        QVERIFY(QFile::exists(s.shared(teacherlock::passwordFileName())));
        QVERIFY(!QFile::exists(s.program(teacherlock::passwordFileName())));
        QCOMPARE(schoolsettings::read(s.places.sharedFolder).settings.passwordMark, teacherlock::fingerprint(line));
        QCOMPARE(s.typed(QStringLiteral("old-pass")), Outcome::Accepted);
    }
};

QTEST_MAIN(TestTeacherPassword)
#include "tst_teacher_password.moc"
