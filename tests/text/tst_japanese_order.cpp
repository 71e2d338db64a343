#include "text/japanese_order.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QtTest>

// The name menu's order without the collation library must be the order the library gives:
// checked against it on the kinds of text the menu sorts (a birth year, a grade, a name in
// kanji or kana of either kind and width, figures).
class TestJapaneseOrder : public QObject
{
    Q_OBJECT
private:
    static int ours(const QString& a, const QString& b)
    {
        const QByteArray ka = japaneseorder::sortKey(a), kb = japaneseorder::sortKey(b);
        return ka < kb ? -1 : kb < ka ? 1 : 0;
    }
    static int library(const QString& a, const QString& b)
    {
        static const QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
        const int c = collator.compare(a, b);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }

private slots:
    // Orders the collation library gives, checked on every system.
    void knownOrders_data()
    {
        QTest::addColumn<QStringList>("ascending");
        QTest::addRow("small, plain, voiced") << QStringList{"っ", "つ", "づ"};
        QTest::addRow("marks after letters") << QStringList{"が", "かー", "かぁ", "かあ", "がー"};
        QTest::addRow("half-width voiced after") << QStringList{"が", "ｶﾞ", "がぁ"};
        QTest::addRow("ー as its vowel") << QStringList{"るー", "るぅ", "るう", "るゔ", "るし"};
        QTest::addRow("case, width ignored") << QStringList{"ab", "aB", "Ab", "AB"};
        QTest::addRow("groups") << QStringList{" ", "-", "*", "ー", "1", "a", "あ", "ん", "々", "一"};
        QTest::addRow("the JIS table, then the rest") << QStringList{"吉", "佐", "崎", "龠", "凜", "髙"};
        QTest::addRow("spaces first") << QStringList{"小1 山田", "小1 山田　太郎", "小1山田"};
        QTest::addRow("years") << QStringList{"-001大+", "2014小3", "2015小2"};
    }
    void knownOrders()
    {
        QFETCH(QStringList, ascending);
        for (int i = 0; i + 1 < ascending.size(); ++i)
            QVERIFY2(ours(ascending[i], ascending[i + 1]) < 0, qPrintable(ascending[i] + " < " + ascending[i + 1]));
        QCOMPARE(ours(QStringLiteral("ｶﾅ　１"), QStringLiteral("かな 1")), 0); // widths and kana kinds are one
    }

    void pairs_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        const QStringList texts = {"あ",
                                   "ぁ",
                                   "ア",
                                   "ァ",
                                   "ｱ",
                                   "か",
                                   "が",
                                   "カ",
                                   "ガ",
                                   "ｶﾞ",
                                   "は",
                                   "ば",
                                   "ぱ",
                                   "ハ",
                                   "パ",
                                   "ﾊﾟ",
                                   "つ",
                                   "っ",
                                   "ツ",
                                   "ッ",
                                   "や",
                                   "ゃ",
                                   "ゆ",
                                   "よ",
                                   "わ",
                                   "を",
                                   "ん",
                                   "ー",
                                   "ルーシー",
                                   "ルシ",
                                   "るうしい",
                                   "さとう",
                                   "さどう",
                                   "サトウ",
                                   "佐藤",
                                   "佐々木",
                                   "佐佐木",
                                   "髙橋",
                                   "高橋",
                                   "龠",
                                   "崎",
                                   "凜",
                                   "吉田",
                                   "山田",
                                   "山田 太郎",
                                   "山田　太郎",
                                   "山田太郎",
                                   "a",
                                   "A",
                                   "ａ",
                                   "b",
                                   "1",
                                   "１",
                                   "2",
                                   "10",
                                   " ",
                                   "　",
                                   "-",
                                   "*",
                                   "/",
                                   "+",
                                   "2014小3 鈴木　一郎　　　　6/ 28*4",
                                   "2014小3 鈴木　一郎　　　　 / 28*5",
                                   "-001大+ 森先生*12",
                                   "2015小2 すずき　はな　　/ 3*7",
                                   "2015小2 スズキ　ハナ　　/ 3*8",
                                   "2015小2 ｽｽﾞｷ ﾊﾅ / 3*9"};
        for (const QString& a : texts)
            for (const QString& b : texts)
                QTest::addRow("%s | %s", qPrintable(a), qPrintable(b)) << a << b;
    }
    void pairs()
    {
#ifdef Q_OS_WIN
        QSKIP("the collation library checked against is ICU's; Windows has its own");
#endif
        QFETCH(QString, a);
        QFETCH(QString, b);
        QCOMPARE(ours(a, b), library(a, b));
    }

    // Rows as the menu makes them, from a pool of names, sorted both ways.
    void rows()
    {
#ifdef Q_OS_WIN
        QSKIP("the collation library checked against is ICU's; Windows has its own");
#endif
        // (Kanji outside the JIS table sort after it by code here, by radical and strokes in the
        // library: the pool has one of them, 髙, so that no two such are compared.)
        const QStringList family = {"佐藤",   "鈴木",   "高橋", "髙橋",     "田中",     "伊藤",     "渡辺",
                                    "渡邊",   "山本",   "中村", "小林",     "加藤",     "吉田",     "山崎",
                                    "山田",   "佐々木", "山口", "松本",     "井上",     "木村",     "さとう",
                                    "すずき", "タナカ", "ｲﾄｳ",  "わたなべ", "やまもと", "ナカムラ", "こばやし"};
        const QStringList given = {"太郎",   "花子", "一郎",   "さくら", "ゆい",   "翔",  "あおい",
                                   "大輝",   "美咲", "健太",   "はると", "ユウト", "ｿｳﾀ", "りん",
                                   "ひなた", "メイ", "こうき", "ゆうき", "ユーキ"};
        const QStringList grades = {"幼3", "小1", "小2", "小3", "小4", "小5", "小6", "中1", "中2", "中3", "高1", "大+"};
        QRandomGenerator random(20261210);
        QStringList rows;
        for (int i = 0; i < 600; ++i) {
            const int year = 2008 + int(random.bounded(10));
            const QString name =
                family[random.bounded(family.size())] + QChar(0x3000) + given[random.bounded(given.size())];
            const QString row = grades[random.bounded(grades.size())] + " " + name +
                                QString(int(random.bounded(4)), QChar(0x3000)) + QString::number(random.bounded(30)) +
                                "/" + QString::number(random.bounded(300));
            rows << QString::number(year) + row + "*" + QString::number(i + 1);
        }
        QStringList byUs = rows, byLibrary = rows;
        std::stable_sort(byUs.begin(), byUs.end(), [](const QString& a, const QString& b) { return ours(a, b) < 0; });
        std::stable_sort(byLibrary.begin(), byLibrary.end(),
                         [](const QString& a, const QString& b) { return library(a, b) < 0; });
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(byUs[i], byLibrary[i]);
    }
};

QTEST_GUILESS_MAIN(TestJapaneseOrder)
#include "tst_japanese_order.moc"
