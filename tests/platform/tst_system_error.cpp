#include "platform/system_error.h"

#include <QtTest>
#include <cerrno>
#include <cstring>

// The reasons a teacher meets most are in Japanese, with the system's own words kept after
// them for whoever the school calls for help.
class TestSystemError : public QObject
{
    Q_OBJECT
private slots:
    void commonReasons_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::addRow("disk full") << ENOSPC << "ディスクがいっぱいです";
        QTest::addRow("not allowed") << EACCES << "許可されていません";
        QTest::addRow("not permitted") << EPERM << "許可されていません";
        QTest::addRow("read-only") << EROFS << "読み取り専用";
        QTest::addRow("missing") << ENOENT << "ありません";
        QTest::addRow("locked") << EAGAIN << "ほかのプログラムが使用中です";
    }
    void commonReasons()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        const QString text = describeSystemError(code);
        QVERIFY2(text.startsWith(commonReason(code)) && text.contains(reason), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("（%1）").arg(QString::fromLocal8Bit(std::strerror(code)))),
                 qPrintable(text));
    }

    void otherErrorsKeepTheSystemText()
    {
        QCOMPARE(commonReason(EDOM), QString());
        QCOMPARE(describeSystemError(EDOM), QString::fromLocal8Bit(std::strerror(EDOM)));
    }
};

QTEST_APPLESS_MAIN(TestSystemError)
#include "tst_system_error.moc"
