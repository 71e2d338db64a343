#include "text/cp932.h"

#include <QtTest>

class TestCp932 : public QObject
{
    Q_OBJECT
private slots:
    // Characters of the Microsoft table that plain Shift_JIS lacks, and bytes that other
    // tables map differently, must come back as they went.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("circled one") << "①" << QByteArray("\x87\x40");
        QTest::addRow("roman three") << "Ⅲ" << QByteArray("\x87\x56");
        QTest::addRow("taka") << "髙" << QByteArray("\xFB\xFC");
        QTest::addRow("fullwidth tilde") << "～" << QByteArray("\x81\x60");
        QTest::addRow("fullwidth minus") << "－" << QByteArray("\x81\x7C");
        QTest::addRow("backslash") << "\\" << QByteArray("\x5C");
        QTest::addRow("control bytes") << QString("\x1A\x1C\x7F") << QByteArray("\x1A\x1C\x7F");
        QTest::addRow("half-width katakana") << "ﾚﾍﾞﾙ" << QByteArray("\xDA\xCD\xDE\xD9");
        QTest::addRow("ideographic space") << "　" << QByteArray("\x81\x40");
        QTest::addRow("kanji") << "成績累積データ"
                               << QByteArray("\x90\xAC\x90\xD1\x97\xDD\x90\xCF\x83\x66\x81\x5B\x83\x5E");
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const auto encoded = cp932::encode(text);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(cp932::decode(bytes), text);
    }

    void jisFormsAreWritten()
    {
        QCOMPARE(cp932::encode(QStringLiteral("−")).bytes, QByteArray("\x81\x7C"));
        QCOMPARE(cp932::encode(QStringLiteral("〜")).bytes, QByteArray("\x81\x60"));
    }

    void unencodableIsReported_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("character");
        QTest::addRow("accented latin") << "café" << uint(U'é');
        QTest::addRow("emoji") << "a😀b" << uint(U'😀');
        QTest::addRow("hangul") << "名한" << uint(U'한');
    }
    void unencodableIsReported()
    {
        QFETCH(QString, text);
        QFETCH(uint, character);
        const auto encoded = cp932::encode(text);
        QVERIFY(!encoded.ok());
        QCOMPARE(uint(*encoded.unencodable), character);
        QVERIFY(encoded.bytes.isEmpty());
    }

    // One U+FFFD per invalid sequence; a lead byte takes the next byte only when it is a
    // trail byte, so a character cut after its first byte keeps the field end after it.
    void invalidBytesDecodeToReplacement_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addRow("undefined single byte") << QByteArray("a\xA0"
                                                             "b")
                                               << QStringLiteral("a\uFFFDb");
        QTest::addRow("unmapped pair") << QByteArray("\x85\x40"
                                                     "c")
                                       << QStringLiteral("\uFFFDc");
        QTest::addRow("lead at the end") << QByteArray("x\x81") << QStringLiteral("x\uFFFD");
        QTest::addRow("lead before a digit") << QByteArray("\x85"
                                                           "0")
                                             << QStringLiteral("\uFFFD"
                                                               "0");
        QTest::addRow("lead before a quote") << QByteArray("\x93\""
                                                           ",1")
                                             << QStringLiteral("\uFFFD\",1");
        QTest::addRow("lead before a comma") << QByteArray("\xE0,2") << QStringLiteral("\uFFFD,2");
        QTest::addRow("lead before a line end") << QByteArray("\x8E\r\n") << QStringLiteral("\uFFFD\r\n");
    }
    void invalidBytesDecodeToReplacement()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
