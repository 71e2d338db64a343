#include "text/name_fold.h"

#include <QtTest>

// A name is found whichever form of its kanji, kana or width the school and the teacher use.
class TestNameFold : public QObject
{
    Q_OBJECT
private slots:
    void sameName_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("searched");
        const std::pair<const char16_t*, const char16_t*> rows[] = {
            {u"髙橋", u"高橋"},
            {u"高橋", u"髙橋"},
            {u"山﨑", u"山崎"},
            {u"山嵜", u"山﨑"},
            {u"渡邊", u"渡辺"},
            {u"渡邉", u"渡邊"},
            {u"齋藤", u"斉藤"},
            {u"斉藤", u"齋藤"},
            {u"齊藤", u"斎藤"},
            {u"濵田", u"浜田"},
            {u"濱田", u"濵田"},
            {u"𠮷田", u"吉田"},
            {u"吉田", u"𠮷田"},
            {u"櫻井", u"桜井"},
            {u"龍之介", u"竜之介"},
            {u"大澤", u"大沢"},
            {u"中嶋", u"中島"},
            {u"中嶌", u"中嶋"},
            {u"廣瀨", u"広瀬"},
            {u"德永", u"徳永"},
            // A compatibility ideograph is its unified form; a variation selector says nothing.
            {u"\uFA10本", u"塚本"},
            {u"葛\U000E0100西", u"葛西"},
            // Readings: katakana, half-width katakana, blanks.
            {u"さとう ゆい", u"サトウユイ"},
            {u"ｻﾄｳ", u"さとう"},
            {u"やまだ　たろう", u"やまだたろう"},
            {u"ＡＢＣ", u"abc"},
        };
        for (const auto& [written, searched] : rows)
            QTest::addRow("%s", qPrintable(QString::fromUtf16(written)))
                << QString::fromUtf16(written) << QString::fromUtf16(searched);
    }
    void sameName()
    {
        QFETCH(QString, written);
        QFETCH(QString, searched);
        QCOMPARE(namefold::fold(written), namefold::fold(searched));
        // The first character alone finds it too, one that needs two UTF-16 units included.
        QVERIFY(namefold::matches(written, searched.left(searched.front().isHighSurrogate() ? 2 : 1)));
    }

    // Folding never makes two different names one.
    void differentNames_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addRow("佐藤 and 斎藤") << QStringLiteral("佐藤") << QStringLiteral("斎藤");
        QTest::addRow("島 and 鳥") << QStringLiteral("中島") << QStringLiteral("中鳥");
        QTest::addRow("voiced kana") << QStringLiteral("さとう") << QStringLiteral("さどう");
        QTest::addRow("small kana") << QStringLiteral("きよう") << QStringLiteral("きょう");
    }
    void differentNames()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QVERIFY(namefold::fold(a) != namefold::fold(b));
    }

    // No character stands in two groups, and no group names one character twice: otherwise a
    // name would fold to whichever group came last.
    void groupsAreDisjoint()
    {
        QSet<uint> seen;
        for (const QStringView group : namefold::variantGroups()) {
            const QList<uint> chars = group.toUcs4();
            QVERIFY2(chars.size() >= 2, qPrintable(group.toString()));
            for (const uint c : chars) {
                QVERIFY2(!seen.contains(c), qPrintable(group.toString()));
                seen.insert(c);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestNameFold)
#include "tst_name_fold.moc"
