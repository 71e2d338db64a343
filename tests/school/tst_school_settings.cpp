#include "fakes.h"
#include "hostile_places.h"
#include "school/school_settings.h"
#include "text/cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray sjis(const QString& text)
{
    return cp932::encode(text).bytes;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

schoolsettings::Entry entry(const QString& name, const QString& code = {}, const QString& signer = {},
                            int weekStart = 1)
{
    return {code, name, signer, weekStart, RankingNames::Names};
}

} // namespace

class TestSchoolSettings : public QObject
{
    Q_OBJECT
private slots:
    // Whatever the file holds, the program runs: defaults where it cannot be used, and why.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("signer");
        QTest::addColumn<int>("weekStart");
        QTest::addColumn<int>("names");
        QTest::addColumn<bool>("problem");
        const QByteArray good = sjis(QStringLiteral("\"署名\",\"校長　山田　太郎\"\r\n\"週の始まり\",\"日\"\r\n"
                                                    "\"順位の名前\",\"イニシャル\"\r\n"));
        QTest::addRow("as written") << good << QStringLiteral("校長　山田　太郎") << 7 << 2 << false;
        QTest::addRow("empty") << QByteArray() << QString() << 1 << 0 << false;
        QTest::addRow("LF only, 曜日") << sjis(QStringLiteral("\"週の始まり\",\"土曜日\"\n")) << QString() << 6 << 0
                                       << false;
        QTest::addRow("cut in a value") << good.left(good.indexOf(sjis(QStringLiteral("\r\n\"週")))) +
                                               sjis(QStringLiteral("\r\n\"週の始"))
                                        << QStringLiteral("校長　山田　太郎") << 1 << 0 << true;
        QTest::addRow("UTF-8 with a mark")
            << QByteArray("\xEF\xBB\xBF") + QStringLiteral("\"週の始まり\",\"日\"").toUtf8() << QString() << 1 << 0
            << true;
        QTest::addRow("UTF-8 without a mark")
            << QStringLiteral("\"週の始まり\",\"日\"\r\n").toUtf8() << QString() << 1 << 0 << true;
        QTest::addRow("week start not a day")
            << sjis(QStringLiteral("\"週の始まり\",\"8\"\r\n")) << QString() << 1 << 0 << true;
        QTest::addRow("unknown choice of names")
            << sjis(QStringLiteral("\"順位の名前\",\"あだな\"\r\n")) << QString() << 1 << 0 << true;
        QTest::addRow("a later version's key")
            << sjis(QStringLiteral("\"色\",\"青\"\r\n")) << QString() << 1 << 0 << false;
        QTest::addRow("not text") << QByteArray("\x00\x01\x02\xff\xfe", 5) << QString() << 1 << 0 << true;
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        const schoolsettings::Read read = schoolsettings::parse(bytes);
        QTEST(read.settings.signer, "signer");
        QTEST(read.settings.weekStart, "weekStart");
        QTEST(int(read.settings.rankingNames), "names");
        QTEST(!read.settings.problem.isEmpty(), "problem");
    }

    // What is written reads back as it was, with the lines of keys this version does not know.
    void roundTrip()
    {
        SchoolSettings s;
        s.signer = QStringLiteral("校長　髙橋　一郎");
        s.weekStart = 7;
        s.rankingNames = RankingNames::SeatNumbers;
        const QByteArray bytes = schoolsettings::serialise(s, {QStringLiteral("\"色\",\"青\"")});
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(!bytes.contains("\n\n"));
        const schoolsettings::Read back = schoolsettings::parse(bytes);
        QCOMPARE(back.settings.signer, s.signer);
        QCOMPARE(back.settings.weekStart, 7);
        QCOMPARE(back.settings.rankingNames, RankingNames::SeatNumbers);
        QCOMPARE(back.unknownLines, QStringList{QStringLiteral("\"色\",\"青\"")});
    }

    // The second value of 共通データ.txt is replaced, every other byte stays, however it is written.
    void schoolNameInTheFamilysFile_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray name = sjis(QStringLiteral("\"12345みどり小学校\""));
        const QByteArray rest = sjis(QStringLiteral(",0,\"表\",0,0,0,0,0,0\r\n"));
        QTest::addRow("quoted") << sjis(QStringLiteral("4,\"学習塾\"")) + rest << "4," + name + rest;
        QTest::addRow("bare, blanks around")
            << sjis(QStringLiteral("4 , 学習塾 ")) + rest << "4 , " + name + " " + rest;
        QTest::addRow("empty") << "4," + rest << "4," + name + rest;
        QTest::addRow("on the next line") << sjis(QStringLiteral("4\r\n\"旧名\"")) + rest << "4\r\n" + name + rest;
        QTest::addRow("bytes no decoder keeps") << QByteArray("4,\"\x87\x40\"") + rest << "4," + name + rest;
    }
    void schoolNameInTheFamilysFile()
    {
        QFETCH(QByteArray, before);
        const auto after =
            schoolsettings::withSchoolName(before, QStringLiteral("12345"), QStringLiteral("みどり小学校"));
        QVERIFY(after);
        QTEST(*after, "after");
        QVERIFY(!schoolsettings::withSchoolName("4", QString(), QStringLiteral("みどり")));
    }

    // What the teacher types is refused with the reason, never written half right.
    void problems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("signer");
        QTest::addColumn<int>("weekStart");
        QTest::addColumn<QString>("problem"); // a part of the one problem; empty for none
        const QString twenty(20, QChar(u'学'));
        QTest::addRow("a name") << QStringLiteral("みどり小学校") << QString() << QString() << 1 << QString();
        QTest::addRow("a name and a code")
            << QStringLiteral("みどり小") << QStringLiteral("12345") << QString() << 7 << QString();
        QTest::addRow("twenty characters") << twenty << QString() << QString() << 1 << QString();
        QTest::addRow("twenty-one") << twenty + u'校' << QString() << QString() << 1 << QStringLiteral("20文字まで");
        QTest::addRow("empty") << QStringLiteral("　") << QString() << QString() << 1 << QStringLiteral("入れて");
        QTest::addRow("the placeholder") << QStringLiteral("学習塾") << QString() << QString() << 1
                                         << QStringLiteral("仮の名前");
        QTest::addRow("a quote") << QStringLiteral("み\"どり") << QString() << QString() << 1
                                 << QStringLiteral("「\"」");
        QTest::addRow("outside code page 932")
            << QStringLiteral("𠮷田小") << QString() << QString() << 1 << QStringLiteral("𠮷");
        QTest::addRow("four digits") << QStringLiteral("みどり") << QStringLiteral("1234") << QString() << 1
                                     << QStringLiteral("5けた");
        QTest::addRow("zeros") << QStringLiteral("みどり") << QStringLiteral("00000") << QString() << 1
                               << QStringLiteral("5けた");
        QTest::addRow("starts with digits, no code")
            << QStringLiteral("123塾") << QString() << QString() << 1 << QStringLiteral("数字で始まる");
        QTest::addRow("long signer") << QStringLiteral("みどり") << QString() << QString(21, QChar(u'長')) << 1
                                     << QStringLiteral("署名は20文字");
        QTest::addRow("week start 0") << QStringLiteral("みどり") << QString() << QString() << 0
                                      << QStringLiteral("日曜から土曜");
        QTest::addRow("week start 8") << QStringLiteral("みどり") << QString() << QString() << 8
                                      << QStringLiteral("日曜から土曜");
    }
    void problems()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, signer);
        QFETCH(int, weekStart);
        QFETCH(QString, problem);
        const QStringList found = schoolsettings::problems(entry(name, code, signer, weekStart));
        if (problem.isEmpty()) {
            QCOMPARE(found, QStringList());
        } else {
            QCOMPARE(found.size(), 1);
            QVERIFY2(found.first().contains(problem), qPrintable(found.first()));
        }
    }

    // Saved: the name in the family's file, the rest in ours; read back as a start would.
    void saving()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QByteArray common = sjis(QStringLiteral("4,\"学習塾\",1,0,0,0,0,0,0,0\r\n"));
        put(folder + schoolsettings::commonFileName(), common);
        QCOMPARE(schoolsettings::save(folder, entry(QStringLiteral("みどり小学校"), QStringLiteral("12345"),
                                                    QStringLiteral("校長　山田　太郎"), 7)),
                 std::nullopt);
        QCOMPARE(bytesOf(folder + schoolsettings::commonFileName()),
                 sjis(QStringLiteral("4,\"12345みどり小学校\",1,0,0,0,0,0,0,0\r\n")));
        const SchoolSettings read = schoolsettings::read(folder).settings;
        QCOMPARE(read.signer, QStringLiteral("校長　山田　太郎"));
        QCOMPARE(read.weekStart, 7);
        QCOMPARE(read.problem, QString());
    }

    // A full disk, or a folder in the settings file's place, leaves both files exactly as they
    // were, and says why.
    void refusedWrite_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addRow("full disk") << true;
        QTest::addRow("a folder in its place") << false;
    }
    void refusedWrite()
    {
        QFETCH(bool, full);
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/shared/");
        QDir().mkpath(folder);
        FullFolder disk(folder);
        if (full && !disk.ready())
            QSKIP("nothing here can fill a folder");
        const QByteArray common = sjis(QStringLiteral("4,\"学習塾\",1,0,0,0,0,0,0,0\r\n"));
        const QByteArray ours = sjis(QStringLiteral("\"署名\",\"前の署名\"\r\n"));
        put(folder + schoolsettings::commonFileName(), common);
        if (full) {
            put(folder + schoolsettings::fileName(), ours);
            disk.fill();
        } else {
            QVERIFY(QDir().mkpath(folder + schoolsettings::fileName()));
        }
        const auto error = schoolsettings::save(folder, entry(QStringLiteral("みどり"), {}, QStringLiteral("新しい")));
        QVERIFY(error);
        QVERIFY2(error->contains(QStringLiteral("保存しませんでした")), qPrintable(*error));
        QCOMPARE(bytesOf(folder + schoolsettings::commonFileName()), common);
        if (full)
            QCOMPARE(bytesOf(folder + schoolsettings::fileName()), ours);
    }
};

QTEST_GUILESS_MAIN(TestSchoolSettings)
#include "tst_school_settings.moc"
