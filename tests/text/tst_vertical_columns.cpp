#include "text/vertical_columns.h"

#include <QtTest>

// Each row: the text, the column length, what must stay whole, and the columns expected
// ("|" between them), or the start of the refusal.
class TestVerticalColumns : public QObject
{
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("perColumn");
        QTest::addColumn<QStringList>("keepWhole");
        QTest::addColumn<QString>("expected");
        QTest::addRow("a katakana word whole") << "あいうえおレベル" << 6 << QStringList{} << "あいうえ|おレベル";
        QTest::addRow("no small kana at a head") << "あいうっえか" << 4 << QStringList{} << "あいうっ|えか";
        QTest::addRow("no ー at a head") << "あいうえおかーき" << 6 << QStringList{} << "あいうえ|おかーき";
        QTest::addRow("a kanji number whole") << "あいうえお五十点" << 6 << QStringList{} << "あいうえ|お五十点";
        QTest::addRow("Arabic digits whole") << "あいうえ120点" << 5 << QStringList{} << "あいうえ|120点";
        QTest::addRow("no opening bracket at a foot") << "あいう「かき」" << 4 << QStringList{} << "あいう|「かき」";
        QTest::addRow("no closing bracket at a head") << "あいうえ」か" << 4 << QStringList{} << "あいう|え」か";
        QTest::addRow("a level's name whole")
            << "これはレベル１だよ" << 5 << QStringList{"レベル１"} << "これは|レベル１|だよ";
        QTest::addRow("columns balanced")
            << QString(20, u'あ') << 14 << QStringList{} << QString(10, u'あ') + u'|' + QString(10, u'あ');
        QTest::addRow("one column") << "あいう" << 14 << QStringList{} << "あいう";
        QTest::addRow("a word longer than a column") << "アイウエオカキクケコサシスセソ" << 14 << QStringList{} << "!";
    }
    void rules()
    {
        QFETCH(QString, text);
        QFETCH(int, perColumn);
        QFETCH(QStringList, keepWhole);
        QFETCH(QString, expected);
        const verticalcolumns::Set set = verticalcolumns::set(text, perColumn, keepWhole);
        if (expected == u'!') {
            QVERIFY(set.columns.isEmpty());
            QVERIFY(set.problem.contains(QStringLiteral("入りません")));
            return;
        }
        QVERIFY2(set.problem.isEmpty(), qPrintable(set.problem));
        QCOMPARE(set.columns.join(u'|'), expected);
    }
};

QTEST_GUILESS_MAIN(TestVerticalColumns)
#include "tst_vertical_columns.moc"
