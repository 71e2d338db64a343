#include "app/tool_module_loader.h"
#include "help/address_list.h"
#include "help/help_addresses.h"
#include "help/help_browser.h"
#include "help/version_box.h"
#include "test_world.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

// A web server on 127.0.0.1 that answers only when the test says so.
class SlowServer : public QObject
{
public:
    SlowServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] { m_socket = m_server.nextPendingConnection(); });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/page").arg(m_server.serverPort()); }
    bool connected() const { return m_socket != nullptr; }
    void answer(const QByteArray& html)
    {
        m_socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(html.size()) + "\r\nConnection: close\r\n\r\n" + html);
        m_socket->flush();
    }

private:
    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
};

struct Browsing : TestWorld
{
    HelpBrowser* browser = nullptr;
    explicit Browsing(const QString& start)
    {
        state->catalogue.helpAddresses = HelpAddresses::defaults(dir.path()).addresses;
        navigation.showHelp(start);
        browser = qobject_cast<HelpBrowser*>(forms.find("frmBrowser"));
    }
    QComboBox* box() const { return browser->findChild<QComboBox*>("cboAddress"); }
};

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    // The help and the teacher's tools live in a module beside the executable, loaded when
    // first asked for; without it the pupil is told, and the menu goes on.
    void toolModuleIsLoadedWhenFirstUsed()
    {
        ToolModuleLoader beside(QCoreApplication::applicationDirPath());
        QVERIFY2(beside.windows(), qPrintable(beside.error()));
        QTemporaryDir empty;
        ToolModuleLoader missing(empty.path());
        QVERIFY(!missing.windows());
        QVERIFY2(missing.error().contains(QDir::toNativeSeparators(empty.path())), qPrintable(missing.error()));

        TestWorld w;
        ScreenNavigation without(w.forms, [&](QString* error) {
            *error = missing.error();
            return nullptr;
        });
        without.attach(w.context);
        without.showMenu();
        const qsizetype before = w.messages.shown.size();
        without.showHelp(QStringLiteral("qrc:/help/index.html"));
        QVERIFY(!w.forms.isLoaded("frmBrowser"));
        QCOMPARE(w.messages.shown.size(), before + 1);
        QVERIFY(w.messages.shown.last().text.contains(QDir::toNativeSeparators(empty.path())));
        QVERIFY(w.forms.isLoaded("namesel"));
    }

    void addressListHoldsEachAddressOnceNewestFirst()
    {
        AddressList list;
        for (const char* a : {"a", "b", "a", "c", "a"}) {
            list.visited(a);
            list.navigated(a);
        }
        QCOMPARE(list.entries(), (QStringList{"a", "c", "b"}));
        QCOMPARE(list.back(), QStringLiteral("c"));
        QCOMPARE(list.back(), QStringLiteral("a"));
        QCOMPARE(list.forward(), QStringLiteral("c"));
        list.navigated("d"); // a new page cuts off the way forward
        QVERIFY(!list.canGoForward());
        QCOMPARE(list.back(), QStringLiteral("c"));
    }

    // Missing file: the installed pages, or the built-in ones; the school's lines win in order.
    void addressesFile_data()
    {
        QTest::addColumn<QStringList>("lines"); // empty: no file
        QTest::addColumn<QStringList>("addresses");
        const QString q = QStringLiteral("qrc:/help/");
        QTest::addRow("no file") << QStringList{}
                                 << QStringList{q + "index.html", q + "study.html", q + "contact.html",
                                                q + "index.html"};
        QTest::addRow("two lines") << QStringList{"http://school.example/help", ""}
                                   << QStringList{"http://school.example/help", q + "study.html", q + "contact.html",
                                                  q + "index.html"};
        QTest::addRow("all four") << QStringList{"a1", "a2", "a3", "a4"} << QStringList{"a1", "a2", "a3", "a4"};
    }
    void addressesFile()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, addresses);
        QTemporaryDir dir;
        if (!lines.isEmpty())
            writeCp932(dir.filePath(HelpAddresses::fileName()), lines);
        QCOMPARE(HelpAddresses::load(dir.path()).addresses, addresses);
        QDir(dir.path()).mkpath("help");
        QFile(dir.filePath("help/index.html")).open(QIODevice::WriteOnly);
        QVERIFY(HelpAddresses::defaults(dir.path()).address(HelpAddresses::Index).startsWith("file://"));
    }

    void emptyAddressLeavesTheBrowserBlank()
    {
        Browsing b{QString()};
        QVERIFY(b.browser);
        QCOMPARE(b.box()->currentText(), QString());
        QVERIFY(b.browser->findChild<QTextBrowser*>("brwWebBrowser")->toPlainText().isEmpty());
        QVERIFY(b.browser->addresses().entries().isEmpty());
    }

    // The pages built into the program; updating the address box does not navigate again.
    void builtInPagesAndTheAddressBox()
    {
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("約数早押しドリル ヘルプ"));
        QCOMPARE(b.browser->addresses().entries(), QStringList{"qrc:/help/index.html"});
        b.browser->navigate("qrc:/help/study.html");
        b.browser->navigate("qrc:/help/index.html");
        QCOMPARE(b.browser->addresses().entries(), (QStringList{"qrc:/help/index.html", "qrc:/help/study.html"}));
        QCOMPARE(b.box()->count(), 2);
        QCOMPARE(b.box()->currentText(), QStringLiteral("qrc:/help/index.html"));
        b.browser->toolbar("Back");
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("使用法の説明２"));
        // Showing the browser again keeps its page, whatever address is asked for now.
        b.navigation.showHelp(QStringLiteral("qrc:/help/contact.html"));
        QCOMPARE(b.browser->addresses().current(), QStringLiteral("qrc:/help/study.html"));
    }

    // A web page: "接続中..." while it loads, its title after; Stop gives up and keeps the title.
    void loadingCaptionAndStop()
    {
        SlowServer server;
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("約数早押しドリル ヘルプ"));
        b.browser->navigate(server.address());
        QTRY_VERIFY(server.connected());
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("接続中..."));
        QVERIFY(b.browser->busy());
        server.answer("<html><head><title>遅いページ</title></head><body>はい</body></html>");
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("遅いページ"));
        QVERIFY(!b.browser->busy());
        QCOMPARE(b.browser->addresses().entries().first(), server.address());

        SlowServer never;
        b.browser->navigate(never.address());
        QTRY_VERIFY(never.connected());
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("接続中..."));
        b.browser->toolbar("Stop");
        QVERIFY(!b.browser->busy());
        QCOMPARE(b.browser->windowTitle(), QStringLiteral("遅いページ"));
    }

    void versionBoxIsCentredOnTheMenu()
    {
        QWidget menu;
        menu.setGeometry(150, 90, 900, 640);
        VersionBox box(QStringLiteral("約数早押しドリル"), &menu);
        QCOMPARE(VersionBox::versionText(), QStringLiteral("Version1.1.0"));
        QCOMPARE(box.findChild<QLabel*>("Label2")->text(), QStringLiteral("Version1.1.0"));
        QCOMPARE(box.findChild<QLabel*>("Label1")->text(), QStringLiteral("約数早押しドリル"));
        QCOMPARE(box.findChild<QLabel*>("Label4")->text(), QStringLiteral("Corvalen88"));
        QCOMPARE(box.geometry().center(), menu.geometry().center());
        QVERIFY(box.isModal());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
