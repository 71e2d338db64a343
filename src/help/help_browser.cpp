#include "help_browser.h"

#include "help_addresses.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/ui_helpers.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

// The pages built into the program live in a static library: their resources are registered
// by hand.
static void registerBuiltInPages()
{
    Q_INIT_RESOURCE(help);
}

HelpBrowser::HelpBrowser(ScreenContext& context, const QString& startAddress)
    : Form(formname::kHelpBrowser.toString()), m_context(context), m_startAddress(startAddress)
{
    registerBuiltInPages();
}

void HelpBrowser::formLoad()
{
    setWindowTitle(QStringLiteral("ヘルプ"));
    setFixedSize(900, 700);
    auto* top = new QWidget(this);
    top->setObjectName("Picture1");
    auto* back = uih::button(top, "Command1", QStringLiteral("名前選択に戻る"), QRect(8, 6, 190, 40), 13);
    connect(back, &QPushButton::clicked, this, [this] { unloadSelf(); });
    auto* external = uih::button(top, "Command3", QStringLiteral("ブラウザで開く"), QRect(206, 6, 160, 40), 12);
    external->setToolTip(QStringLiteral("このページをパソコンのブラウザで開きます"));
    connect(external, &QPushButton::clicked, this, [this] {
        if (!m_addresses.current().isEmpty())
            QDesktopServices::openUrl(QUrl(m_addresses.current()));
    });
    top->setFixedHeight(52);

    auto* tools = new QToolBar(this);
    tools->setObjectName("tbToolBar");
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct
    {
        const char* key;
        const char16_t* text;
        QStyle::StandardPixmap icon;
    } buttons[] = {{"Back", u"戻る", QStyle::SP_ArrowBack},
                   {"Forward", u"進む", QStyle::SP_ArrowForward},
                   {"Refresh", u"更新", QStyle::SP_BrowserReload},
                   {"Home", u"ホーム", QStyle::SP_DirHomeIcon},
                   {"Search", u"ページ内検索", QStyle::SP_FileDialogContentsView},
                   {"Stop", u"中止", QStyle::SP_BrowserStop}};
    for (const auto& b : buttons) {
        QAction* action = tools->addAction(style()->standardIcon(b.icon), QString::fromUtf16(b.text));
        action->setObjectName(QString::fromLatin1(b.key));
        const QString key = QString::fromLatin1(b.key);
        connect(action, &QAction::triggered, this, [this, key] { toolbar(key); });
    }

    auto* addressRow = new QWidget(this);
    addressRow->setObjectName("picAddress");
    auto* label = uih::label(addressRow, "lblAddress", QStringLiteral("ｱﾄﾞﾚｽ(&A):"), QRect(8, 0, 200, 22), 11);
    m_address = new QComboBox(addressRow);
    m_address->setObjectName("cboAddress");
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->setGeometry(8, 24, 880, 30);
    label->setBuddy(m_address);
    connect(m_address, &QComboBox::activated, this, [this](int index) { navigate(m_address->itemText(index)); });
    connect(m_address->lineEdit(), &QLineEdit::returnPressed, this, [this] { navigate(m_address->currentText()); });
    m_find = new QLineEdit(addressRow);
    m_find->setObjectName("txtFind");
    m_find->setPlaceholderText(QStringLiteral("さがす言葉を入れて Enter"));
    m_find->setGeometry(8, 58, 300, 28);
    m_find->hide();
    connect(m_find, &QLineEdit::returnPressed, this, &HelpBrowser::findNext);
    addressRow->setFixedHeight(90);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("brwWebBrowser");
    m_browser->setOpenLinks(false);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    connect(m_browser, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { load(QUrl(m_addresses.current()).resolved(link), History::Record); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(top);
    layout->addWidget(tools);
    layout->addWidget(addressRow);
    layout->addWidget(m_browser, 1);

    m_timer = new QTimer(this);
    m_timer->setObjectName("timTimer");
    m_timer->setInterval(5);
    connect(m_timer, &QTimer::timeout, this, &HelpBrowser::tick);
    m_network = new QNetworkAccessManager(this);

    // The start address is taken once, when the form loads.
    const QString start = m_startAddress;
    if (start.isEmpty())
        return;
    m_suppress = true;
    m_address->setEditText(start);
    m_address->addItem(start);
    m_suppress = false;
    navigate(start);
}

void HelpBrowser::navigate(const QString& address)
{
    if (m_suppress || address.trimmed().isEmpty())
        return;
    load(QUrl::fromUserInput(address.trimmed()), History::Record);
}

void HelpBrowser::load(const QUrl& url, History history)
{
    m_timer->start();
    if (m_reply)
        m_reply->abort();
    if (url.scheme() != u"http" && url.scheme() != u"https") {
        m_browser->setSource(url);
        completed(url, history);
        return;
    }
    QNetworkReply* reply = m_network->get(QNetworkRequest(url));
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, url, history] {
        reply->deleteLater();
        if (m_reply != reply)
            return; // stopped, or another page asked for meanwhile
        m_reply = nullptr;
        if (reply->error() == QNetworkReply::OperationCanceledError)
            return;
        const QByteArray body = reply->readAll();
        if (reply->error() != QNetworkReply::NoError) {
            // Whatever a browser would show: the reason, not a message box.
            m_browser->setHtml(QStringLiteral("<h2>ページを開けません</h2><p>%1</p><p>%2</p>")
                                   .arg(url.toString().toHtmlEscaped(), reply->errorString().toHtmlEscaped()));
        } else {
            auto decoder = QStringDecoder::decoderForHtml(body);
            m_browser->setHtml(decoder.isValid() ? QString(decoder(body)) : QString::fromUtf8(body));
        }
        completed(url, history);
    });
}

void HelpBrowser::completed(const QUrl& url, History history)
{
    m_title = m_browser->documentTitle();
    setWindowTitle(m_title);
    const QString address = url.toString();
    if (history == History::Record)
        m_addresses.navigated(address);
    m_addresses.visited(address);
    m_suppress = true;
    m_address->clear();
    m_address->addItems(m_addresses.entries());
    m_address->setCurrentIndex(0);
    m_suppress = false;
}

void HelpBrowser::tick()
{
    if (busy()) {
        setWindowTitle(QStringLiteral("接続中..."));
        return;
    }
    m_timer->stop();
    setWindowTitle(m_title);
}

void HelpBrowser::toolbar(const QString& key)
{
    m_timer->start();
    if (key == u"Back" && m_addresses.canGoBack()) {
        load(QUrl(m_addresses.back()), History::Keep);
    } else if (key == u"Forward" && m_addresses.canGoForward()) {
        load(QUrl(m_addresses.forward()), History::Keep);
    } else if (key == u"Refresh" && !m_addresses.current().isEmpty()) {
        m_browser->clearHistory();
        load(QUrl(m_addresses.current()), History::Keep);
    } else if (key == u"Home") {
        load(QUrl(m_context.services.state.catalogue.helpAddresses.value(HelpAddresses::Index)), History::Record);
    } else if (key == u"Search") {
        m_find->show();
        m_find->setFocus(Qt::OtherFocusReason);
    } else if (key == u"Stop") {
        m_timer->stop();
        if (QNetworkReply* reply = m_reply) {
            m_reply = nullptr;
            reply->abort();
        }
        setWindowTitle(m_title);
    }
}

void HelpBrowser::findNext()
{
    if (!m_browser->find(m_find->text())) {
        m_browser->moveCursor(QTextCursor::Start); // from the top again
        m_browser->find(m_find->text());
    }
}
