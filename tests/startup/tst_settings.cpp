#include "fakes.h"
#include "startup/course_catalogue.h"
#include "startup/folders.h"
#include "startup/settings_loader.h"
#include "state/shared_state.h"

#include "text/cp932.h"
#include <QDir>
#include <QTemporaryDir>

#include <QtTest>
#include <memory>

namespace {

const QString kSep = folders::separator();
const QStringList kRules3 = {"0,0,0,0,1,0,0,0,0,0,0,0", "60,90,50,5,1.5,3,0,30,7,a,b,c", "80,120,40,4,2,,,,,,,"};

// A family installation: "top/prog" is the program folder, "top/files" the shared folder of
// layout 1; layout 2 keeps the shared files in "top" and the sounds in "top/音フォルダ".
struct Installation
{
    QTemporaryDir dir;
    QString programDir() const { return QDir::toNativeSeparators(dir.path() + "/top/prog"); }
    QString top() const { return dir.path() + "/top"; }

    explicit Installation(const QString& firstSetting = "1")
    {
        QDir(dir.path()).mkpath("top/prog");
        QDir(dir.path()).mkpath("top/files");
        writeCp932(top() + "/prog/設定.txt", {firstSetting + ",0,0,0,0,0,0,0,0,0"});
        const bool layout1 = firstSetting == "1";
        const QString shared = layout1 ? top() + "/files" : top();
        writeCp932(shared + "/共通データ.txt", {"4,\"12345みどり塾\",1,0,0,0,0,0,0,0"});
        writeCp932(top() + "/prog/タイム回数データ.txt", kRules3);
    }
};

std::unique_ptr<SharedState> freshState()
{
    return std::make_unique<SharedState>();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void layouts_data()
    {
        QTest::addColumn<QString>("firstSetting");
        QTest::addColumn<QString>("shared");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("sound");
        const QString p = "P" + kSep + "x" + kSep + "prog";
        const QString up = p + kSep + ".." + kSep;
        QTest::addRow("1: files beside") << "1" << up + "files" + kSep << p + kSep
                                         << up + "files" + kSep + ".." + kSep + "files" + kSep;
        QTest::addRow("2: parent") << "2" << up << up + "prog" + kSep << up + "音フォルダ" + kSep;
        QTest::addRow("empty counts as other") << "" << up << up + "prog" + kSep << up + "音フォルダ" + kSep;
        QTest::addRow("text counts as other") << "abc" << up << up + "prog" + kSep << up + "音フォルダ" + kSep;
    }
    void layouts()
    {
        QFETCH(QString, firstSetting);
        QFETCH(QString, shared);
        QFETCH(QString, program);
        QFETCH(QString, sound);
        Folders f;
        f.folderLayout = Loose::fromField(firstSetting);
        folders::resolve(f, "P" + kSep + "x" + kSep + "prog");
        QCOMPARE(f.sharedFolder, shared);
        QCOMPARE(f.programFolder, program);
        QCOMPARE(f.soundFolder, sound);
        QCOMPARE(f.programFolderName, QStringLiteral("prog"));
    }

    // Both layouts lead to the same real files on disk.
    void loadsEitherLayout_data()
    {
        QTest::addColumn<QString>("firstSetting");
        QTest::addRow("layout 1") << "1";
        QTest::addRow("layout 2") << "2";
    }
    void loadsEitherLayout()
    {
        QFETCH(QString, firstSetting);
        Installation inst(firstSetting);
        auto state = freshState();
        const auto failure = settings::load(inst.programDir(), *state);
        QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");
        QCOMPARE(state->organisation.schoolName, QStringLiteral("みどり塾"));
        QCOMPARE(state->organisation.schoolCode.toText(), QStringLiteral("12345"));
        QCOMPARE(state->organisation.schoolYearStartMonth.toInt(), 4);
        QVERIFY(state->organisation.commonItem3 == 1.0);
        QVERIFY(QFileInfo::exists(state->folders.programFolder + "タイム回数データ.txt"));
        QCOMPARE(state->catalogue.courseTitle, settings::programTitle());
    }

    void schoolCode_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addRow("code and name") << "12345塾"
                                       << "12345"
                                       << "塾";
        QTest::addRow("five zeros keep the name whole") << "00000塾"
                                                        << ""
                                                        << "00000塾";
        QTest::addRow("no digits") << "みどり塾"
                                   << ""
                                   << "みどり塾";
        QTest::addRow("leading zero code") << "01234塾"
                                           << "01234"
                                           << "塾";
        QTest::addRow("empty") << ""
                               << ""
                               << "";
    }
    void schoolCode()
    {
        QFETCH(QString, item);
        QFETCH(QString, code);
        QFETCH(QString, name);
        Organisation org;
        org.schoolName = item;
        settings::splitSchoolCode(org);
        QCOMPARE(org.schoolCode.toText(), code);
        QCOMPARE(org.schoolName, name);
    }

    void courseLinesStartAtIndexZero()
    {
        Installation inst;
        auto state = freshState();
        QVERIFY(!settings::load(inst.programDir(), *state));
        const CourseRules& r = state->rules;
        QCOMPARE(r.targetTime[0], 0);
        QCOMPARE(r.targetTime[1], 60);
        QCOMPARE(r.secondTargetTime[1], 90);
        QCOMPARE(r.requiredPoints[1], 50);
        QCOMPARE(r.requiredCount[1], qint16(5));
        QCOMPARE(r.pointWeight[1], 1.5f);
        QCOMPARE(r.window2RequiredCount[1].toInt(), 3);
        QCOMPARE(r.windowDays[1].toInt(), 30);
        QCOMPARE(r.targetTime[2], 80);
        QVERIFY(r.windowDays[2] == 0.0);
        for (int c = 3; c <= kMaxCourse; ++c) {
            QCOMPARE(r.targetTime[c], 0);
            QCOMPARE(r.requiredCount[c], qint16(0));
        }
    }

    // Each broken installation stops start-up with a message naming the file.
    void failures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines"); // empty: the file is removed
        QTest::addColumn<QString>("expectedFile");
        QTest::addColumn<QString>("problemPart");
        QTest::addRow("settings missing") << "prog/設定.txt" << QStringList{} << "設定.txt"
                                          << "ファイルがありません";
        QTest::addRow("settings too few") << "prog/設定.txt" << QStringList{"1,0,0,0,0,0,0,0,0"} << "設定.txt"
                                          << "値が足りません";
        QTest::addRow("common missing") << "files/共通データ.txt" << QStringList{} << "共通データ.txt"
                                        << "ファイルがありません";
        QTest::addRow("common too few") << "files/共通データ.txt" << QStringList{"4,\"塾\""} << "共通データ.txt"
                                        << "値が足りません";
        QTest::addRow("rules missing") << "prog/タイム回数データ.txt" << QStringList{} << "タイム回数データ.txt"
                                       << "ファイルがありません";
        QTest::addRow("rules line too short")
            << "prog/タイム回数データ.txt" << QStringList{"0,0,0,0,1,0,0,0,0,0,0,0", "60,90,50"}
            << "タイム回数データ.txt"
            << "2 行目";
        QTest::addRow("rules not numeric")
            << "prog/タイム回数データ.txt" << QStringList{"x,0,0,0,1,0,0,0,0,0,0,0"} << "タイム回数データ.txt"
            << "数値ではありません";
        QTest::addRow("required count too large")
            << "prog/タイム回数データ.txt" << QStringList{"0,0,0,40000,1,0,0,0,0,0,0,0"} << "タイム回数データ.txt"
            << "大きすぎる";
        // Hostile numbers are refused when read, naming the line and the value.
        const auto rule = [](const QString& values) { return QStringList{"0,0,0,0,1,0,0,0,0,0,0,0", values}; };
        QTest::addRow("weight 3e38") << "prog/タイム回数データ.txt" << rule("60,90,50,5,3e38,0,0,30,7,0,0,0")
                                     << "タイム回数データ.txt"
                                     << "2 行目：「3e38」";
        QTest::addRow("weight inf") << "prog/タイム回数データ.txt" << rule("60,90,50,5,inf,0,0,30,7,0,0,0")
                                    << "タイム回数データ.txt"
                                    << "「inf」は数値ではありません";
        QTest::addRow("weight nan") << "prog/タイム回数データ.txt" << rule("60,90,50,5,nan,0,0,30,7,0,0,0")
                                    << "タイム回数データ.txt"
                                    << "「nan」は数値ではありません";
        QTest::addRow("target time nan") << "prog/タイム回数データ.txt" << rule("nan,90,50,5,1,0,0,30,7,0,0,0")
                                         << "タイム回数データ.txt"
                                         << "「nan」";
        QTest::addRow("negative target time")
            << "prog/タイム回数データ.txt" << rule("-60,90,50,5,1,0,0,30,7,0,0,0") << "タイム回数データ.txt"
            << "「-60」は大きすぎるか小さすぎます";
        QTest::addRow("negative required points")
            << "prog/タイム回数データ.txt" << rule("60,90,-5,5,1,0,0,30,7,0,0,0") << "タイム回数データ.txt"
            << "「-5」";
        QTest::addRow("window days inf") << "prog/タイム回数データ.txt" << rule("60,90,50,5,1,0,0,inf,7,0,0,0")
                                         << "タイム回数データ.txt"
                                         << "「inf」";
        QTest::addRow("start month 1e300")
            << "files/共通データ.txt" << QStringList{"1e300,\"塾\",0,0,0,0,0,0,0,0"} << "共通データ.txt"
            << "1 行目：「1e300」";
        QTest::addRow("start month 13 on line 2")
            << "files/共通データ.txt" << QStringList{"", "13,\"塾\",0,0,0,0,0,0,0,0"} << "共通データ.txt"
            << "2 行目：「13」";
        // Each line holds one course's twelve values: a longer line followed by a shorter one
        // must not shift level 2's values into level 1's place.
        QTest::addRow("13 values, then 11")
            << "prog/タイム回数データ.txt" << QStringList{"0,0,0,0,1,0,0,0,0,0,0,0,0", "60,90,50,5,1,0,0,30,7,0,0"}
            << "タイム回数データ.txt"
            << "1 行目：値が多すぎます（12 個のところ 13 個あります）";
        QTest::addRow("11 values after a blank line")
            << "prog/タイム回数データ.txt" << QStringList{"0,0,0,0,1,0,0,0,0,0,0,0", "", "60,90,50,5,1,0,0,30,7,0,0"}
            << "タイム回数データ.txt"
            << "3 行目：値が足りません（12 個必要なところ 11 個しかありません）";
        QTest::addRow("a trailing comma")
            << "prog/タイム回数データ.txt" << QStringList{"0,0,0,0,1,0,0,0,0,0,0,0,"} << "タイム回数データ.txt"
            << "1 行目：値が多すぎます";
        QStringList lines37;
        for (int i = 0; i < 37; ++i)
            lines37 << "0,0,0,0,1,0,0,0,0,0,0,0";
        QTest::addRow("rules 37 lines") << "prog/タイム回数データ.txt" << lines37 << "タイム回数データ.txt"
                                        << "行が多すぎます";
    }
    void failures()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(QString, expectedFile);
        QFETCH(QString, problemPart);
        Installation inst;
        if (lines.isEmpty())
            QVERIFY(QFile::remove(inst.top() + "/" + file));
        else
            writeCp932(inst.top() + "/" + file, lines);
        auto state = freshState();
        const auto failure = settings::load(inst.programDir(), *state);
        QVERIFY(failure.has_value());
        QCOMPARE(failure->file, expectedFile);
        QVERIFY2(failure->problem.contains(problemPart), qPrintable(failure->problem));
        QVERIFY(failure->message().contains(expectedFile));
    }

    // A file a modern editor saved in UTF-8 with a byte-order mark: the program's own files are
    // read when they decode cleanly, the files the family's other programs read too are refused
    // with the reason, never with a garbled value.
    void utf8ByteOrderMark_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("asUtf8");         // the text re-encoded, or its code page 932 bytes kept
        QTest::addColumn<QString>("problemPart"); // empty: the installation loads
        QTest::addRow("rules") << "prog/タイム回数データ.txt" << true << "";
        QTest::addRow("settings") << "prog/設定.txt" << true << "";
        QTest::addRow("settings, the mark before Shift_JIS") << "prog/設定.txt" << false << "UTF-8 として読めない";
        QTest::addRow("the family's common data")
            << "files/共通データ.txt" << true << "Shift_JIS（CP932）で保存してください";
    }
    void utf8ByteOrderMark()
    {
        QFETCH(QString, file);
        QFETCH(bool, asUtf8);
        QFETCH(QString, problemPart);
        Installation inst;
        const QString path = inst.top() + "/" + file;
        if (!asUtf8) // a value in Japanese, as the family's programs may keep there
            writeCp932(path, {"1,\"みどり\",0,0,0,0,0,0,0,0"});
        const QByteArray bytes = readAll(path);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("\xEF\xBB\xBF" + (asUtf8 ? cp932::decode(bytes).toUtf8() : bytes));
        out.close();
        auto state = freshState();
        const auto failure = settings::load(inst.programDir(), *state);
        if (problemPart.isEmpty()) {
            QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");
            QCOMPARE(state->rules.targetTime[1], 60);
        } else {
            QVERIFY(failure);
            QVERIFY2(failure->problem.contains(problemPart), qPrintable(failure->problem));
        }
    }

    // Whatever the first value of "設定.txt", a missing shared file is named with the folder it
    // was looked for in and the value that chose that folder.
    void missingSharedFileNamesFolderAndValue_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("folder");
        QTest::addRow("1") << "1"
                           << "/files";
        QTest::addRow("-1") << "-1"
                            << "";
        QTest::addRow("nan") << "nan"
                             << "";
        QTest::addRow("1e400") << "1e400"
                               << "";
    }
    void missingSharedFileNamesFolderAndValue()
    {
        QFETCH(QString, layout);
        QFETCH(QString, folder);
        Installation inst;
        writeCp932(inst.programDir() + "/設定.txt", {layout + ",0,0,0,0,0,0,0,0,0"});
        QFile::remove(inst.top() + "/files/共通データ.txt");
        auto state = freshState();
        const auto failure = settings::load(inst.programDir(), *state);
        QVERIFY(failure.has_value());
        QCOMPARE(failure->file, QStringLiteral("共通データ.txt"));
        const QString message = failure->message();
        QVERIFY2(message.contains(QStringLiteral("最初の値「%1」").arg(layout)), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(QDir::cleanPath(inst.top() + folder))), qPrintable(message));
    }

    void thirtySixLinesAreEnough()
    {
        Installation inst;
        QStringList lines;
        for (int i = 0; i < 36; ++i)
            lines << QString("%1,0,0,0,1,0,0,0,0,0,0,0").arg(i);
        writeCp932(inst.top() + "/prog/タイム回数データ.txt", lines);
        auto state = freshState();
        QVERIFY(!settings::load(inst.programDir(), *state));
        QCOMPARE(state->rules.targetTime[35], 35);
    }

    void gradeMarks_data()
    {
        QTest::addColumn<int>("grade");
        QTest::addColumn<QString>("mark");
        QTest::addRow("0") << 0 << "　";
        QTest::addRow("1") << 1 << "①";
        QTest::addRow("6") << 6 << "⑥";
        QTest::addRow("7") << 7 << "Ⅰ";
        QTest::addRow("9") << 9 << "Ⅲ";
        QTest::addRow("10") << 10 << "　";
        QTest::addRow("-2") << -2 << "　";
    }
    void gradeMarks()
    {
        QFETCH(int, grade);
        QFETCH(QString, mark);
        QCOMPARE(catalogue::gradeMark(grade), mark);
    }

    void gradeFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("admitted"); // of grades -1..10
        QTest::addRow("all") << "全学年" << QList<int>{-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::addRow("family") << "家族" << QList<int>{-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::addRow("elementary") << "小学生全体" << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::addRow("junior high") << "中学生全体" << QList<int>{7, 8, 9};
        QTest::addRow("小１") << "小１" << QList<int>{1};
        QTest::addRow("小６") << "小６" << QList<int>{6};
        QTest::addRow("中１") << "中１" << QList<int>{7};
        QTest::addRow("中３") << "中３" << QList<int>{9};
        QTest::addRow("unknown") << "高１" << QList<int>{};
    }
    void gradeFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QList<int>, admitted);
        for (int g = -1; g <= 10; ++g)
            QCOMPARE(catalogue::gradeFilterMatch(g, filter), admitted.contains(g) ? 1 : 0);
    }

    void catalogueHasTheLevels()
    {
        auto state = freshState();
        catalogue::fill(state->catalogue);
        QCOMPARE(state->catalogue.courseCount, qint16(5));
        QVERIFY(state->catalogue.topLevelCourse == 5.0);
        QCOMPARE(state->catalogue.courseNames[1], QStringLiteral("レベル１"));
        QCOMPARE(state->catalogue.courseNames[5], QStringLiteral("レベル５"));
        QCOMPARE(state->catalogue.courseNames[7], QStringLiteral("範囲４練"));
        QCOMPARE(state->catalogue.courseNames[20], QStringLiteral("範囲１０"));
        QCOMPARE(state->catalogue.courseDefined[20], qint16(1));
        QCOMPARE(state->catalogue.courseDefined[21], qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
