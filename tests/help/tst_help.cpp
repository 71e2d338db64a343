#include "help/address_list.h"
#include "help/help_addresses.h"
#include "help/help_browser.h"
#include "help/help_limits.h"
#include "help/version_box.h"
#include "test_world.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// A web server on 127.0.0.1 that answers only when the test says so.
class SlowServer : public QObject
{
public:
    SlowServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        // The answer goes on the connection the request came on (there may be more than one).
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            if (!m_socket)
                m_socket = socket;
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { m_socket = socket; });
        });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/page").arg(m_server.serverPort()); }
    bool connected() const { return m_socket != nullptr; }
    // Sends the start of an answer that says it is `length` bytes long, without its body.
    void announce(qint64 length)
    {
        m_socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(length) +
                        "\r\n\r\n");
        m_socket->flush();
    }
    void send(const QByteArray& bytes)
    {
        m_socket->write(bytes);
        m_socket->flush();
    }
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

// Stands for the system's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
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

    // What the browser may open: regular files of bounded size in the help's folders; web
    // pages only are handed to the system's browser.
    void localFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason"); // empty: shown
        QTest::addRow("a help page") << "help/index.html"
                                     << "";
        QTest::addRow("a page the school set elsewhere") << "school/page.html"
                                                         << "";
        QTest::addRow("missing") << "help/none.html"
                                 << "ファイルがありません";
        QTest::addRow("outside the folders") << "secret.txt"
                                             << "外のファイル";
        QTest::addRow("out through ..") << "help/../secret.txt"
                                        << "外のファイル";
        QTest::addRow("a folder") << "help/images"
                                  << "ふつうのファイルではありません";
        QTest::addRow("too large") << "help/huge.html"
                                   << "大きすぎます";
#ifdef Q_OS_UNIX
        QTest::addRow("a pipe") << "help/pipe.html"
                                << "ふつうのファイルではありません";
#endif
    }
    void localFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        for (const char* folder : {"help/images", "school"})
            QDir(dir.path()).mkpath(folder);
        for (const char* name : {"help/index.html", "school/page.html", "secret.txt"})
            writeCp932(dir.filePath(name), {"<p>x</p>"});
        QFile huge(dir.filePath("help/huge.html"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(helplimits::kMaxPageBytes + 1));
        huge.close();
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("help/pipe.html")).constData(), 0600), 0);
#endif
        const QStringList folders =
            helplimits::localFolders(dir.path(), {QUrl::fromLocalFile(dir.filePath("school/page.html")).toString(),
                                                  QStringLiteral("https://example.com/")});
        const auto refusal = helplimits::refusal(dir.filePath(file), folders);
        QCOMPARE(refusal.has_value(), !reason.isEmpty());
        if (refusal)
            QVERIFY2(refusal->contains(reason), qPrintable(*refusal));
    }

    void systemBrowserGetsWebPagesOnly_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("handed");
        QTest::addRow("https") << "https://example.com/help" << true;
        QTest::addRow("http") << "http://example.com/" << true;
        QTest::addRow("a local file") << "file:///etc/passwd" << false;
        QTest::addRow("a built-in page") << "qrc:/help/index.html" << false;
        QTest::addRow("a script") << "javascript:alert(1)" << false;
        QTest::addRow("mail") << "mailto:a@example.com" << false;
        QTest::addRow("no host") << "http:///x" << false;
    }
    void systemBrowserGetsWebPagesOnly()
    {
        QFETCH(QString, address);
        QFETCH(bool, handed);
        QCOMPARE(helplimits::forSystemBrowser(QUrl(address)), handed);
    }

    // No page freezes the window or fills the memory; each shows why it cannot be shown.
    void pagesThatCannotBeShown()
    {
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        const auto page = [&] { return b.browser->findChild<QTextBrowser*>("brwWebBrowser")->toPlainText(); };
        const QString missing = b.dir.filePath("help/gone.html");
        QDir(b.dir.path()).mkpath("help");
        b.browser->navigate(QUrl::fromLocalFile(missing).toString());
        QTRY_VERIFY2(page().contains(QStringLiteral("ファイルがありません")), qPrintable(page()));
        QVERIFY(page().contains(missing));
        // A page beside the help folder, not in it (on POSIX /dev/zero would be one too).
        const QString outside = b.dir.filePath("outside.html");
        QFile file(outside);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<p>secret</p>");
        file.close();
        b.browser->navigate(QUrl::fromLocalFile(outside).toString());
        QTRY_VERIFY2(page().contains(QStringLiteral("外のファイル")), qPrintable(page()));
        QVERIFY(!page().contains(QStringLiteral("secret")));
        const QString longAddress = QStringLiteral("http://127.0.0.1:1/") + QString(2 * 1024 * 1024, u'a');
        b.browser->navigate(longAddress);
        QVERIFY(!b.browser->busy()); // refused at once, never fetched
        QVERIFY2(page().contains(QStringLiteral("長すぎます")), qPrintable(page()));
        QVERIFY(page().size() < 1000); // the address is shortened on the page
        QVERIFY(b.box()->currentText().size() < 1000);
    }

    // A server that answers nothing is given up on with a page that says so.
    void silentServerIsGivenUp()
    {
        SlowServer never;
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        const auto page = [&] { return b.browser->findChild<QTextBrowser*>("brwWebBrowser")->toPlainText(); };
        b.browser->setTransferTimeout(300);
        b.browser->navigate(never.address());
        QCOMPARE(b.browser->windowTitle(), QStringLiteral("接続中..."));
        QTRY_VERIFY_WITH_TIMEOUT(!b.browser->busy(), 20000);
        QVERIFY2(page().contains(QStringLiteral("答えがありません")), qPrintable(page()));
        QCOMPARE(b.browser->windowTitle(), QStringLiteral("ページを開けません"));
    }

    // No run of text is left without a place to break the line; tags and character
    // references stay whole.
    void longRunsAreBroken_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("breaks");
        const QString word(2500, u'x');
        QTest::addRow("one long word") << word << 2;
        QTest::addRow("words") << QStringLiteral("abc def ") + QString(999, u'y') << 0;
        QTest::addRow("a long link") << QStringLiteral("<a href=\"%1\">x</a>").arg(word) << 0;
        QTest::addRow("a reference at the break") << QString(999, u'z') + QStringLiteral("&amp;z") << 1;
        QTest::addRow("Japanese without blanks") << QString(1500, QChar(0x3042)) << 1;
    }
    void longRunsAreBroken()
    {
        QFETCH(QString, html);
        QFETCH(int, breaks);
        const QString bounded = helplimits::boundRuns(html);
        QCOMPARE(bounded.count(QChar(0x200B)), breaks);
        QCOMPARE(QString(bounded).remove(QChar(0x200B)), html);
        QVERIFY(!bounded.contains(QStringLiteral("&\u200Bamp")) && !bounded.contains(QStringLiteral("&a\u200Bmp")));
    }

    void answerBeyondTheLimitIsGivenUp()
    {
        SlowServer server;
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        const auto page = [&] { return b.browser->findChild<QTextBrowser*>("brwWebBrowser")->toPlainText(); };
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("約数早押しドリル ヘルプ"));
        b.browser->navigate(server.address());
        QTRY_VERIFY(server.connected());
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("接続中..."));
        // An answer that says it is 2 GB long and keeps coming.
        server.announce(qint64(2) * 1024 * 1024 * 1024);
        for (int k = 0; k < 80 && b.browser->busy(); ++k) {
            server.send(QByteArray(64 * 1024, 'x'));
            QTest::qWait(10);
        }
        QTRY_VERIFY(!b.browser->busy());
        QVERIFY2(page().contains(QStringLiteral("大きすぎます")), qPrintable(page()));
    }

    void findSaysWhenNothingIsFoundAndEscCloses()
    {
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("約数早押しドリル ヘルプ"));
        b.browser->toolbar("Search");
        auto* find = b.browser->findChild<QLineEdit*>("txtFind");
        auto* status = b.browser->findChild<QLabel*>("lblStatus");
        QVERIFY(find->isVisibleTo(b.browser));
        find->setText(QStringLiteral("ないことば")); // (typed through an input method)
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(status->text(), QStringLiteral("「ないことば」は見つかりません"));
        find->setText(QStringLiteral("使用法"));
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(status->text(), QString());
        QTest::keyClick(find, Qt::Key_Escape);
        QVERIFY(!find->isVisibleTo(b.browser));
        QVERIFY(b.forms.isLoaded("frmBrowser")); // Esc closes the find box, not the window
    }

    // "ブラウザで開く" hands web pages only to the system, and says so when it cannot.
    void openInTheSystemBrowser()
    {
        Browsing b{QStringLiteral("qrc:/help/index.html")};
        auto* status = b.browser->findChild<QLabel*>("lblStatus");
        auto* external = b.browser->findChild<QPushButton*>("Command3");
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("約数早押しドリル ヘルプ"));
        external->click();
        QVERIFY2(status->text().contains(QStringLiteral("http")), qPrintable(status->text()));
        SlowServer server;
        b.browser->navigate(server.address());
        QTRY_VERIFY(server.connected());
        server.answer("<html><head><title>web</title></head><body>web</body></html>");
        QTRY_COMPARE(b.browser->windowTitle(), QStringLiteral("web"));
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        external->click();
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(server.address())});
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
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
