#include "text/number_field.h"

#include <QtTest>

// Whole numbers are read by a short path of their own; everything else as a double. Both must
// give what the family's files have always given.
class TestNumberField : public QObject
{
    Q_OBJECT
private slots:
    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("problem");
        const int none = int(NumberField::Problem::None);
        const int nan = int(NumberField::Problem::NotANumber);
        const int range = int(NumberField::Problem::OutOfRange);
        QTest::addRow("plain") << "12" << 12.0 << none;
        QTest::addRow("blanks around") << " \t12 " << 12.0 << none;
        QTest::addRow("blank is 0") << "   " << 0.0 << none;
        QTest::addRow("leading zeros") << "007" << 7.0 << none;
        QTest::addRow("negative") << "-32768" << -32768.0 << none;
        QTest::addRow("plus sign") << "+5" << 5.0 << none;
        QTest::addRow("decimal rounds half to even") << "2.5" << 2.0 << none;
        QTest::addRow("decimal rounds up") << "1.6" << 2.0 << none;
        QTest::addRow("exponent") << "1e3" << 1000.0 << none;
        QTest::addRow("limit") << "5000" << 5000.0 << none;
        QTest::addRow("above the limit") << "5001" << 5001.0 << range;
        QTest::addRow("below the limit") << "-32769" << -32769.0 << range;
        QTest::addRow("sixteen digits") << "1234567890123456" << 1234567890123456.0 << range;
        QTest::addRow("sign alone") << "-" << 0.0 << nan;
        QTest::addRow("digits and letters") << "12a" << 0.0 << nan;
        QTest::addRow("full-width digits") << "１２" << 0.0 << nan;
        QTest::addRow("nan") << "nan" << 0.0 << nan;
        QTest::addRow("inf") << "-inf" << 0.0 << nan;
    }
    void wholeNumbers()
    {
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(int, problem);
        const NumberField read = readWholeNumber(field, -32768, 5000);
        QCOMPARE(int(read.problem), problem);
        if (problem != int(NumberField::Problem::NotANumber))
            QCOMPARE(read.value, value);
    }
};

QTEST_APPLESS_MAIN(TestNumberField)
#include "tst_number_field.moc"
