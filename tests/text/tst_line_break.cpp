#include "text/line_break.h"

#include <QtTest>

// Widths in characters: every character one unit.
class TestLineBreak : public QObject
{
    Q_OBJECT
private slots:
    void breaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("broken");
        QTest::addRow("short line stays") << "先生を呼んでください。" << 20 << "先生を呼んでください。";
        QTest::addRow("after the comma") << "フォルダとこのファイルに、書き込みできるようにしてください。" << 18
                                         << "フォルダとこのファイルに、\n書き込みできるようにしてください。";
        QTest::addRow("before a bracket") << "成績ファイルを開けません（読み取り専用の場所です）" << 16
                                          << "成績ファイルを開けません\n（読み取り専用の場所です）";
        QTest::addRow("never inside a Latin word") << "理由：書き込みが許可されていません（Permission denied）" << 24
                                                   << "理由：書き込みが許可されていません\n（Permission denied）";
        QTest::addRow("no line starts with a closing mark")
            << "あいうえおかきくけ。さしすせそ" << 9 << "あいうえおかきく\nけ。さしすせそ";
        QTest::addRow("CR LF kept as a break") << "一行目\r\n二行目" << 10 << "一行目\n二行目";
        QTest::addRow("a phrase longer than a line is cut")
            << "あいうえおかきくけこさしすせそ" << 6 << "あいうえおか\nきくけこさし\nすせそ";
    }
    void breaks()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, broken);
        QCOMPARE(breakJapaneseLines(text, width, [](QStringView s) { return int(s.size()); }), broken);
    }
};

QTEST_APPLESS_MAIN(TestLineBreak)
#include "tst_line_break.moc"
