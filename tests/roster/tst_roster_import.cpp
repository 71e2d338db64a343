#include "roster/import_undo.h"
#include "roster/readings.h"
#include "roster/roster_file.h"
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
    Options o;
    o.numbering = numbering;
    o.changeNames = changeNames;
    o.schoolYear = 2026;
    o.thisYear = 2026;
    return o;
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
        QTest::addRow("header only") << QByteArray("氏名,学年\r\n") << "見出しの行だけ";
        QTest::addRow("a quote never closed") << QByteArray("氏名,学年\r\n森,小5\r\n\"林,小5\r\n森,小4\r\n")
                                              << "3 行目で始まった「\"」が閉じられていません";
        QTest::addRow("one line of megabytes") << QByteArray("氏名\n") + QByteArray(10 * 1024 * 1024 / 4, 'x')
                                               << "2 行目が長すぎます（1 行 2000 文字まで）";
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
    // would never end), a file beyond kMaxBytes.
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
        QTest::addRow("8 MB and a byte") << "large"
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

    // Header names as schools' systems write them, blind to width, case and blanks; a seat column
    // is never the pupil number.
    void headers_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("column");
        const std::pair<const char16_t*, Column> rows[] = {
            {u"生徒番号", Column::Number},
            {u"番号", Column::Seat},
            {u"出席番号", Column::Seat},
            {u"No", Column::Seat},
            {u"Ｎｏ．", Column::Seat},
            {u"出席 No.", Column::Seat},
            {u"氏名", Column::Name},
            {u"名前", Column::Name},
            {u"なまえ", Column::Name},
            {u"児童氏名", Column::Name},
            {u"生徒 氏名", Column::Name},
            {u"児童名", Column::Name},
            {u"生徒名", Column::Name},
            {u"姓", Column::FamilyName},
            {u"名", Column::GivenName},
            {u"ふりがな", Column::Reading},
            {u"ﾌﾘｶﾞﾅ", Column::Reading},
            {u"よみがな", Column::Reading},
            {u"よみ", Column::Reading},
            {u"読み", Column::Reading},
            {u"かな", Column::Reading},
            {u"カナ", Column::Reading},
            {u"氏名かな", Column::Reading},
            {u"氏名カナ", Column::Reading},
            {u"姓かな", Column::FamilyReading},
            {u"せい", Column::FamilyReading},
            {u"名かな", Column::GivenReading},
            {u"めい", Column::GivenReading},
            {u"学年", Column::Grade},
            {u"年", Column::Grade},
            {u"組", Column::ClassName},
            {u"クラス", Column::ClassName},
            {u"生まれた年", Column::BirthYear},
            {u"生年月日", Column::BirthDate},
            {u"誕生日", Column::BirthDate},
            {u"性別", Column::Sex},
            {u"備考", Column::Ignored},
            {u"住所", Column::Ignored},
        };
        for (const auto& [header, column] : rows)
            QTest::addRow("%s", qPrintable(QString::fromUtf16(header))) << QString::fromUtf16(header) << int(column);
    }
    void headers()
    {
        QFETCH(QString, header);
        QTEST(int(meaningOf(header)), "column");
    }

    // Of two columns of one meaning the better is read: 出席番号 before 番号; the first of equals.
    void bestOfTwoColumns()
    {
        const QStringList header = {QStringLiteral("番号"), QStringLiteral("氏名"), QStringLiteral("出席番号"),
                                    QStringLiteral("名前"), QStringLiteral("ふりがな")};
        QCOMPARE(recognise(header),
                 (QList<Column>{Column::Ignored, Column::Name, Column::Seat, Column::Ignored, Column::Reading}));
        QCOMPARE(columnNamed(QStringLiteral("生徒番号")), std::optional(Column::Number));
        QCOMPARE(columnNamed(QStringLiteral("読まない")), std::optional(Column::Ignored));
        QCOMPARE(columnNamed(QStringLiteral("ﾌﾘｶﾞﾅ")), std::optional(Column::Reading));
        QCOMPARE(columnNamed(QStringLiteral("住所")), std::nullopt);
    }

    // A whole elementary school is numbered within the family's numbers, clear of the small ones.
    void seatNumbers()
    {
        QCOMPARE(seatNumber(1, 1, 1), std::optional(2001));
        QCOMPARE(seatNumber(1, 1, 50), std::optional(2050));
        QCOMPARE(seatNumber(1, 2, 1), std::optional(2051));
        QCOMPARE(seatNumber(2, 1, 1), std::optional(2451));
        QCOMPARE(seatNumber(6, 9, 50), std::optional(4700));
        for (const auto& [g, c, seat] : {std::tuple{7, 1, 1}, {0, 1, 1}, {1, 10, 1}, {1, 1, 51}, {1, 1, 0}})
            QCOMPARE(seatNumber(g, c, seat), std::nullopt);
    }

    // Birth dates in the Western or the era's years; one born before the school year's second day
    // (早生まれ) is kept with the year before, as the roster counts.
    void birthDates_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("year"); // 0: refused
        const std::pair<const char16_t*, int> rows[] = {
            {u"2015/4/2", 2015},
            {u"2015/4/1", 2014},
            {u"2015-01-05", 2014},
            {u"２０１５年１２月３１日", 2015},
            {u"平成27年4月5日", 2015},
            {u"H27.1.5", 2014},
            {u"令和元年5月1日", 2019},
            {u"R1.4.30", 0},
            {u"平成31年5月1日", 0},
            {u"2015年13月1日", 0},
            {u"4/5", 0},
            {u"きのう", 0},
        };
        for (const auto& [date, year] : rows)
            QTest::addRow("%s", qPrintable(QString::fromUtf16(date))) << QString::fromUtf16(date) << year;
    }
    void birthDates()
    {
        QFETCH(QString, date);
        QFETCH(int, year);
        const Plan p = planOf(QStringLiteral("氏名,生年月日\r\n森　一郎,") + date + QStringLiteral("\r\n"));
        QCOMPARE(p.items.size(), 1);
        QCOMPARE(p.items[0].birthYear, year);
        QCOMPARE(p.items[0].action == Action::Skipped, year == 0);
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
        QTest::addColumn<QString>("row"); // 生徒番号,学年,組,出席番号,氏名,ふりがな
        QTest::addColumn<QString>("said");
        QTest::addRow("number out of range") << "5001,小5,1,9,森　一郎,もり"
                                             << "1 から 5000";
        QTest::addRow("number twice") << "7,小5,1,9,森　一郎,もり\r\n7,小5,1,10,森　二郎,もり"
                                      << "生徒番号 7 が";
        QTest::addRow("another pupil's number") << "1,小5,1,9,鈴木　一郎,すずき"
                                                << "名簿では「山田　太郎」さんです";
        QTest::addRow("seat 0") << ",小5,1,0,森　一郎,もり"
                                << "出席番号「0」は 1〜50";
        QTest::addRow("seat 51") << ",小5,1,51,森　一郎,もり"
                                 << "出席番号「51」は 1〜50";
        QTest::addRow("grade 0") << ",0,1,9,森　一郎,もり"
                                 << "学年「0」";
        QTest::addRow("grade 7") << ",7年,1,9,森　一郎,もり"
                                 << "学年「7年」";
        QTest::addRow("a field too many") << ",小5,1,9,森　一郎,もり,あまり"
                                          << "見出しは 6、この行は 7";
        QTest::addRow("a field too few") << ",小5,1,9,森　一郎"
                                         << "見出しは 6、この行は 5";
        QTest::addRow("the same pupil twice") << ",小5,1,9,森　一郎,もり\r\n,小5,1,10,森　一郎,もりい"
                                              << "よみがちがいます（2 行目「もり」、3 行目「もりい」）";
        QTest::addRow("a formula, full width") << ",小5,1,9,＠森,もり"
                                               << "「＠」で始まって";
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
        const Plan p = planOf(QStringLiteral("生徒番号,学年,組,出席番号,氏名,ふりがな\r\n") + row);
        QVERIFY(p.problemRows() >= 1);
        const Item& last = p.items.last();
        QCOMPARE(last.action, Action::Skipped);
        QVERIFY2(last.problems.join(u'、').contains(said), qPrintable(last.problems.join(u'、')));
    }

    // Without a pupil number, a pupil already in the roster is found by name (variant kanji and
    // width aside) and grade; new pupils get the smallest free numbers, or 学年・組・出席番号 when
    // the teacher chooses it. A name's form changes only when the teacher ticks it.
    void matchingAndNumbers()
    {
        Plan p = planOf(kList);
        QCOMPARE(p.items.size(), 2);
        QCOMPARE(p.items[0].action, Action::Changed); // a reading for 山田
        QCOMPARE(p.items[0].number, 1);
        QCOMPARE(p.items[1].action, Action::New);
        QCOMPARE(p.items[1].number, 2); // 1 and 3 are taken
        QVERIFY2(p.notes.join(u' ').contains(QStringLiteral("「番号」の列は、同じ意味の列がほかにある")),
                 qPrintable(p.notes.join(u' ')));

        p = planOf(kList, options(Numbering::GradeClassSeat));
        QCOMPARE(p.items[1].number, 3808); // 5年1組8番
        p = planOf(QStringLiteral("学年,組,出席番号,氏名\r\n小3,2,4,森　さくら\r\n中1,1,1,森　かえで\r\n"),
                   options(Numbering::GradeClassSeat));
        QCOMPARE(p.items[0].number, 2954);
        QCOMPARE(p.items[1].action, Action::Skipped); // only grades 1–6 are numbered so

        const QString variant = QStringLiteral("生徒番号,氏名,生まれた年\r\n1,山田　太郎,2015\r\n");
        QCOMPARE(planOf(variant).items[0].action, Action::Unchanged);
        const QString otherForm = QStringLiteral("氏名,生まれた年\r\n山田 太郎,2015\r\n");
        QCOMPARE(planOf(otherForm).items[0].number, 1);
    }

    // The list of the issue: its seat column headed 番号 with the numbers of other pupils. Nobody
    // already in the roster is touched; the two are new.
    void aSeatColumnIsNoPupilNumber()
    {
        const Plan p = planOf(QStringLiteral("番号,氏名,ふりがな,学年\r\n1,鈴木　一郎,すずき,小5\r\n"
                                             "3,佐藤　二郎,さとう,小5\r\n"));
        QCOMPARE(p.count(Action::New), 2);
        RosterDocument d = existing();
        QHash<int, QString> readings{{1, QStringLiteral("やまだ")}, {3, QStringLiteral("もり")}};
        apply(p, d, readings, 2026);
        QCOMPARE(readings.value(1), QStringLiteral("やまだ"));
        QCOMPARE(readings.value(3), QStringLiteral("もり"));
        QCOMPARE(d.entries()[0].line.trimmedName(), QStringLiteral("山田　太郎"));
    }

    // A name in another form of its kanji is the same pupil; the roster's form stays unless the
    // teacher asks for the list's.
    void variantNames()
    {
        const auto sheet = parse(QStringLiteral("生徒番号,氏名\r\n5,高橋　一郎\r\n").toUtf8(), Encoding::Automatic);
        const RosterDocument d =
            RosterDocument::fromBytes(cp932::encode(QStringLiteral("5,2016,0,0,\"髙橋　一郎\",0,\"\",\"\"\r\n")).bytes);
        Plan p = plan(*sheet, recognise(sheet->rows.front()), d, {}, options());
        QCOMPARE(p.items[0].action, Action::Unchanged);
        QCOMPARE(p.items[0].name, QStringLiteral("髙橋　一郎"));
        p = plan(*sheet, recognise(sheet->rows.front()), d, {}, options(Numbering::NextFree, true));
        QCOMPARE(p.items[0].action, Action::Changed);
    }

    // What the header says: no name column at all, columns not read, a reading left unused.
    void headerNotes_data()
    {
        QTest::addColumn<QString>("csv");
        QTest::addColumn<bool>("noKnownColumn");
        QTest::addColumn<QString>("said");
        QTest::addRow("nothing known") << "a,b\r\n1,2\r\n" << true << "名前の列がありません";
        QTest::addRow("an unknown column") << "氏名,学年,住所\r\n森　一郎,小5,東京\r\n"
                                           << false << "「住所」の列は何の列かわからない";
        QTest::addRow("a reading not used") << "氏名,学年,氏名かな,ふりがな\r\n森　一郎,小5,もり,もり\r\n"
                                            << false << "「氏名かな」の列はよみですが、使っていません";
    }
    void headerNotes()
    {
        QFETCH(QString, csv);
        QFETCH(QString, said);
        const Plan p = planOf(csv);
        QTEST(p.noKnownColumn, "noKnownColumn");
        QVERIFY2(p.notes.join(u' ').contains(said), qPrintable(p.notes.join(u' ')));
        if (p.noKnownColumn)
            QCOMPARE(p.problemRows(), int(p.items.size()));
    }

    // 元に戻す: the roster and its readings as they were before the last import, byte for byte,
    // while nothing has changed them since; then nothing is left to undo.
    void undo_data()
    {
        QTest::addColumn<bool>("readingsBefore");
        QTest::addColumn<bool>("changedSince");
        QTest::addRow("readings before") << true << false;
        QTest::addRow("no readings before") << false << false;
        QTest::addRow("changed since") << true << true;
    }
    void undo()
    {
        QFETCH(bool, readingsBefore);
        QFETCH(bool, changedSince);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const auto put = [&folder](const QString& file, const QByteArray& bytes) {
            QFile f(folder + file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        const auto bytesOf = [&folder](const QString& file) {
            QFile f(folder + file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
        };
        QCOMPARE(importundo::state(folder).available, false);
        const QByteArray roster = cp932::encode(QStringLiteral("1,2015,0,0,\"山田　太郎\",0,\"a\",\"b\"\r\n")).bytes;
        put(roster::fileName(), roster);
        if (readingsBefore)
            put(readings::fileName(), cp932::encode(QStringLiteral("1,\"やまだ\"\r\n")).bytes);
        const auto before = importundo::take(folder);
        QVERIFY(before);
        put(roster::fileName(), roster + cp932::encode(QStringLiteral("2,2015,0,0,\"森\",0,\"\",\"\"\r\n")).bytes);
        put(readings::fileName(), QByteArray("2,\"\x82\xe0\x82\xe8\"\r\n"));
        const auto after = importundo::take(folder);
        QCOMPARE(importundo::remember(folder, *before, *after, QDateTime(QDate(2026, 12, 10), QTime(9, 0))),
                 std::nullopt);
        QVERIFY(importundo::state(folder).available);
        if (changedSince) {
            put(roster::fileName(), roster); // saved again by hand
            const auto refused = importundo::undo(folder);
            QVERIFY(refused && refused->contains(QStringLiteral("変わっています")));
            QCOMPARE(bytesOf(roster::fileName()), roster);
            QCOMPARE(bytesOf(readings::fileName()), QByteArray("2,\"\x82\xe0\x82\xe8\"\r\n"));
            return;
        }
        QCOMPARE(importundo::undo(folder), std::nullopt);
        QCOMPARE(bytesOf(roster::fileName()), before->roster);
        QCOMPARE(bytesOf(readings::fileName()), before->readings.value_or(QByteArray("(none)")));
        QCOMPARE(importundo::state(folder).available, false);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), readingsBefore ? 2 : 1);
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
