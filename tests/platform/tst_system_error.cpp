#include "platform/native.h"
#include "platform/system_error.h"
#include "system_codes.h"

#include <QtTest>

namespace {

QString systemText(int code)
{
    return QString::fromStdString(native::systemText(code));
}

} // namespace

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
        QTest::addRow("disk full") << syscode::kDiskFull << "ディスクがいっぱいです";
        QTest::addRow("not allowed") << syscode::kDenied << "ゆるされていません";
        QTest::addRow("read-only") << syscode::kReadOnly << "読み取りだけ";
        QTest::addRow("missing") << syscode::kMissing << "ありません";
        QTest::addRow("locked") << syscode::kBusy << "ほかのプログラムが使用中です";
    }
    void commonReasons()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        const QString text = describeSystemError(code);
        QVERIFY2(text.startsWith(commonReason(code)) && text.contains(reason), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("（%1）").arg(systemText(code))), qPrintable(text));
    }

    void otherErrorsKeepTheSystemText()
    {
        QCOMPARE(commonReason(syscode::kUncommon), QString());
        QCOMPARE(describeSystemError(syscode::kUncommon), systemText(syscode::kUncommon));
    }
};

QTEST_APPLESS_MAIN(TestSystemError)
#include "tst_system_error.moc"
