#include "roster/readings.h"
#include "roster/roster_import.h"
#include "text/cp932.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace rosterimport;

namespace {

const QString kList = QStringLiteral("番号,学年,組,出席番号,氏名,ふりがな\r\n"
                                     ",小5,1,7,山田　太郎,やまだ　たろう\r\n"
                                     ",５年,1,8,髙橋　花子,たかはし　はなこ\r\n");

// The roster before the import: 山田 of grade 5 is there already, as pupil 1.
RosterDocument existing()
{
    return RosterDocument::fromBytes(
        cp932::encode(
            QStringLiteral("1,2015,0,0,\"山田　太郎\",0,\"\",\"\"\r\n3,2016,0,0,\"森　はな\",0,\"\",\"\"\r\n"))
            .bytes);
}

Options options(Numbering numbering = Numbering::NextFree, bool changeNames = false)
{
    return {numbering, changeNames, 2026, 2026};
}

Plan planOf(const QString& csv, const Options& o = options())
{
    const auto sheet = parse(csv.toUtf8(), Encoding::Automatic);
    if (!sheet)
        return {};
    return plan(*sheet, recognise(sheet->rows.front()), existing(), {}, o);
}

} // namespace

class TestRosterImport : public QObject
{
    Q_OBJECT
private slots:
    // A mark means UTF-8; else text that is UTF-8 throughout; else code page 932. A wrong choice
    // shows in the names, and the teacher is told.
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("read");
        QTest::addColumn<bool>("warned");
        const QByteArray utf8 = kList.toUtf8();
        const QByteArray sjis = cp932::encode(kList).bytes;
        QTest::addRow("UTF-8 with a mark")
            << "\xEF\xBB\xBF" + utf8 << int(Encoding::Automatic) << int(Encoding::Utf8) << false;
        QTest::addRow("UTF-8") << utf8 << int(Encoding::Automatic) << int(Encoding::Utf8) << false;
        QTest::addRow("Shift_JIS") << sjis << int(Encoding::Automatic) << int(Encoding::Cp932) << false;
        QTest::addRow("Shift_JIS read as UTF-8") << sjis << int(Encoding::Utf8) << int(Encoding::Utf8) << true;
        QTest::addRow("UTF-16 (Unicode text), tabs")
            << "\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE)(QString(kList).replace(u',', u'\t'))
            << int(Encoding::Automatic) << int(Encoding::Utf8) << false;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, choice);
        QFETCH(int, read);
        QFETCH(bool, warned);
        const auto sheet = parse(bytes, Encoding(choice));
        QVERIFY(sheet);
        QCOMPARE(int(sheet->encoding), read);
        QCOMPARE(!sheet->warning.isEmpty(), warned);
        QCOMPARE(sheet->rows.size(), 3);
        if (!warned)
            QCOMPARE(sheet->rows[2][4], QStringLiteral("髙橋　花子"));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::addRow("binary") << QByteArray("PK\x03\x04\x00\x00", 6) << "CSV のファイルではありません";
        QTest::addRow("empty") << QByteArray("\xEF\xBB\xBF\r\n") << "空";
        QTest::addRow("too many rows") << QByteArray("氏名\n") + QByteArray("a\n").repeated(kMaxRows + 1) << "多すぎ";
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QString error;
        QVERIFY(!parse(bytes, Encoding::Automatic, &error));
        QVERIFY2(error.contains(said), qPrintable(error));
    }

    // What is no class list is refused by its path before it is read: a folder, a pipe (which
    // would never end), a file beyond 20 MB.
    void refusedPaths_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::addRow("folder") << "folder"
                                << "ふつうのファイルではありません";
#ifdef Q_OS_UNIX
        QTest::addRow("pipe") << "pipe"
                              << "ふつうのファイルではありません";
#endif
        QTest::addRow("20 MB and a byte") << "large"
                                          << "大きすぎます";
        QTest::addRow("missing") << "missing"
                                 << "ありません";
    }
    void refusedPaths()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = dir.filePath("class.csv");
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (kind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        if (kind == "large") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(kMaxBytes + 1));
        }
        QString error;
        QVERIFY(!readFile(path, Encoding::Automatic, &error));
        QVERIFY2(error.contains(said), qPrintable(error));
    }

    // Header names as schools write them, blind to width; the first of a kind is taken.
    void headers()
    {
        const QStringList header = {QStringLiteral("生徒番号"), QStringLiteral("年"),   QStringLiteral("ｸﾗｽ"),
                                    QStringLiteral("出席番号"), QStringLiteral("姓"),   QStringLiteral("名"),
                                    QStringLiteral("ｾｲ"),       QStringLiteral("めい"), QStringLiteral("性別"),
                                    QStringLiteral("生年月日"), QStringLiteral("備考"), QStringLiteral("名")};
        const QList<Column> expected = {Column::Number,        Column::Grade,        Column::ClassName,
                                        Column::Seat,          Column::FamilyName,   Column::GivenName,
                                        Column::FamilyReading, Column::GivenReading, Column::Sex,
                                        Column::BirthDate,     Column::Ignored,      Column::Ignored};
        QCOMPARE(recognise(header), expected);
    }

    void grades_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("grade"); // 0: not a grade
        for (const auto& [text, grade] : std::initializer_list<std::pair<const char*, int>>{{"小5", 5},
                                                                                            {"5年", 5},
                                                                                            {"５", 5},
                                                                                            {"小学5年生", 5},
                                                                                            {"五年", 5},
                                                                                            {"中1", 7},
                                                                                            {"中学3年", 9},
                                                                                            {"高2", 11},
                                                                                            {"小7", 0},
                                                                                            {"中4", 0},
                                                                                            {"年長", 0},
                                                                                            {"", 0}})
            QTest::addRow("%s", text) << QString::fromUtf8(text) << grade;
    }
    void grades()
    {
        QFETCH(QString, text);
        QFETCH(int, grade);
        QCOMPARE(gradeIndex(text).value_or(0), grade);
    }

    // Each problem keeps its row out and says why.
    void problems_data()
    {
        QTest::addColumn<QString>("row"); // 番号,学年,組,出席番号,氏名,ふりがな
        QTest::addColumn<QString>("said");
        QTest::addRow("number out of range") << "5001,小5,1,9,森　一郎,もり"
                                             << "1 から 5000";
        QTest::addRow("number twice") << "7,小5,1,9,森　一郎,もり\r\n7,小5,1,10,森　二郎,もり"
                                      << "番号 7 が";
        QTest::addRow("name of 21 characters") << ",小5,1,9," + QString(21, QChar(0x3042)) + ","
                                               << "20 文字";
        QTest::addRow("a character not in code page 932") << ",小5,1,9,𠮷田　一郎,よしだ"
                                                          << "「𠮷」";
        QTest::addRow("no name") << ",小5,1,9,,もり"
                                 << "名前がありません";
        QTest::addRow("a formula") << ",小5,1,9,=1+1,もり"
                                   << "「=」で始まって";
        QTest::addRow("the same seat twice") << ",小5,1,9,森　一郎,もり\r\n,小5,1,9,森　二郎,もり"
                                             << "2 行目と同じ";
        QTest::addRow("a reading in kanji") << ",小5,1,9,森　一郎,森"
                                            << "かなでない字";
        QTest::addRow("a grade that is none") << ",年長,1,9,森　一郎,もり"
                                              << "学年「年長」";
        QTest::addRow("a question mark") << ",小5,1,9,森?一郎,もり"
                                         << "「?」";
    }
    void problems()
    {
        QFETCH(QString, row);
        QFETCH(QString, said);
        const Plan p = planOf(QStringLiteral("番号,学年,組,出席番号,氏名,ふりがな\r\n") + row);
        QVERIFY(p.problemRows() >= 1);
        const Item& last = p.items.last();
        QCOMPARE(last.action, Action::Skipped);
        QVERIFY2(last.problems.join(u'、').contains(said), qPrintable(last.problems.join(u'、')));
    }

    // Without a number, a pupil already in the roster is found by name and grade; new pupils get
    // the smallest free numbers, or 学年・組・出席番号 when the teacher chooses it. A name
    // changes only when the teacher ticks it.
    void matchingAndNumbers()
    {
        Plan p = planOf(kList);
        QCOMPARE(p.items.size(), 2);
        QCOMPARE(p.items[0].action, Action::Changed); // a reading for 山田
        QCOMPARE(p.items[0].number, 1);
        QCOMPARE(p.items[1].action, Action::New);
        QCOMPARE(p.items[1].number, 2); // 1 and 3 are taken

        p = planOf(kList, options(Numbering::GradeClassSeat));
        QCOMPARE(p.items[1].number, 5108);
        QCOMPARE(p.items[1].action, Action::Skipped); // beyond 5000: the teacher is told to choose
        p = planOf(QStringLiteral("学年,組,出席番号,氏名\r\n小3,2,4,森　さくら\r\n"),
                   options(Numbering::GradeClassSeat));
        QCOMPARE(p.items[0].number, 3204);

        const QString renamed = QStringLiteral("番号,氏名,生まれた年\r\n3,森　はなこ,2016\r\n");
        QCOMPARE(planOf(renamed).items[0].action, Action::Unchanged);
        QCOMPARE(planOf(renamed).items[0].name, QStringLiteral("森　はな"));
        QCOMPARE(planOf(renamed, options(Numbering::NextFree, true)).items[0].action, Action::Changed);
    }

    // Names keep their characters; blanks are tidied; readings are kept in hiragana.
    void applied()
    {
        const auto sheet = parse(QStringLiteral("氏名,フリガナ,学年\r\n  髙橋   﨑子 ,ﾀｶﾊｼ ｻｷｺ,小4\r\n").toUtf8(),
                                 Encoding::Automatic);
        RosterDocument d = existing();
        const Plan p = plan(*sheet, recognise(sheet->rows.front()), d, {}, options());
        QCOMPARE(p.items[0].action, Action::New);
        QHash<int, QString> readings;
        apply(p, d, readings, 2026);
        QCOMPARE(d.entries().last().line.trimmedName(), QStringLiteral("髙橋　﨑子"));
        QCOMPARE(d.entries().last().line.birthYear, qint16(2016));
        QCOMPARE(readings.value(2), QStringLiteral("たかはし　さきこ"));
        QVERIFY(templateCsv().startsWith("\xEF\xBB\xBF"));
        const auto again = parse(templateCsv(), Encoding::Automatic);
        QVERIFY(!recognise(again->rows.front()).contains(Column::Ignored));
    }
};

QTEST_GUILESS_MAIN(TestRosterImport)
#include "tst_roster_import.moc"
