#include "text/value_reader.h"

#include <QtTest>

class TestValueReader : public QObject
{
    Q_OBJECT
private slots:
    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values");
        QTest::addRow("bare") << "1,2,3\r\n" << QStringList{"1", "2", "3"};
        QTest::addRow("quoted") << "\"a\",\"b\"\r\n" << QStringList{"a", "b"};
        QTest::addRow("comma inside quotes") << "\"a,b\",c\r\n" << QStringList{"a,b", "c"};
        QTest::addRow("across line ends") << "1,2\r\n3\r\n" << QStringList{"1", "2", "3"};
        QTest::addRow("blanks and tabs dropped") << "  1 ,\t2\t,x y \r\n" << QStringList{"1", "2", "x y"};
        QTest::addRow("blanks kept inside quotes") << "\" a \"\r\n" << QStringList{" a "};
        QTest::addRow("empty fields") << "1,,3\r\n" << QStringList{"1", "", "3"};
        QTest::addRow("empty quoted") << "\"\",2\r\n" << QStringList{"", "2"};
        QTest::addRow("comma at line end") << "1,\r\n2\r\n" << QStringList{"1", "", "2"};
        QTest::addRow("lf only") << "1\n2\n" << QStringList{"1", "2"};
        QTest::addRow("no final line end") << "1,2" << QStringList{"1", "2"};
        QTest::addRow("blank line skipped") << "1\r\n\r\n2\r\n" << QStringList{"1", "2"};
        QTest::addRow("text after closing quote passed over") << "\"a\"b,c\r\n" << QStringList{"a", "c"};
        QTest::addRow("unclosed quote runs to the end") << "\"abc" << QStringList{"abc"};
        QTest::addRow("japanese") << "\"正解音2\",ピン,*\r\n" << QStringList{"正解音2", "ピン", "*"};
        QTest::addRow("empty file") << "" << QStringList{};
        QTest::addRow("trailing comma at end of file") << "1," << QStringList{"1", ""};
    }
    void values()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        ValueReader reader(text);
        QStringList read;
        while (!reader.atEnd()) {
            const auto value = reader.next();
            QVERIFY(value.has_value());
            read.append(*value);
        }
        QCOMPARE(read, values);
        QVERIFY(!reader.next().has_value());
    }
};

QTEST_APPLESS_MAIN(TestValueReader)
#include "tst_value_reader.moc"
