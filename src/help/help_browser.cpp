#include "help_browser.h"

#include "help_addresses.h"
#include "help_limits.h"
#include "help_view.h"
#include "state/shared_state.h"
#include "ui/form_names.h"
#include "ui/ui_helpers.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QStyle>
#include <QTextBrowser>
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
    connect(external, &QPushButton::clicked, this, &HelpBrowser::openInSystemBrowser);
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
                   {"Refresh", u"読みなおす", QStyle::SP_BrowserReload},
                   {"Home", u"ホーム", QStyle::SP_DirHomeIcon},
                   {"Search", u"ページの中をさがす", QStyle::SP_FileDialogContentsView},
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
    m_find->setPlaceholderText(QStringLiteral("さがす言葉を入れて Enter（Esc でとじる）"));
    m_find->setGeometry(8, 58, 300, 28);
    m_find->hide();
    m_find->installEventFilter(this);
    connect(m_find, &QLineEdit::returnPressed, this, &HelpBrowser::findNext);
    // What the window has to say: no match, no browser to hand a page to.
    m_status = uih::label(addressRow, "lblStatus", QString(), QRect(320, 58, 568, 28), 11);
    m_status->setStyleSheet(QStringLiteral("color: #b71c1c"));
    addressRow->setFixedHeight(90);

    m_browser = new HelpView(helplimits::localFolders(m_context.services.state.folders.programFolder,
                                                      m_context.services.state.catalogue.helpAddresses),
                             this);
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

    m_network = new QNetworkAccessManager(this);
    m_transferTimeoutMs = helplimits::kTransferTimeoutMs;

    // The start address is taken once, when the form loads.
    const QString start = m_startAddress;
    if (start.isEmpty())
        return;
    if (!helplimits::addressRefusal(start)) {
        m_suppress = true;
        m_address->setEditText(start);
        m_address->addItem(start);
        m_suppress = false;
    }
    navigate(start);
}

void HelpBrowser::navigate(const QString& address)
{
    if (m_suppress || address.trimmed().isEmpty())
        return;
    if (const auto refused = helplimits::addressRefusal(address)) {
        showRefusal(*refused, address);
        return;
    }
    load(QUrl::fromUserInput(address.trimmed()), History::Record);
}

void HelpBrowser::showRefusal(const QString& reason, const QString& address)
{
    m_browser->setHtml(helplimits::refusalPage(QStringLiteral("ページを開けません"), reason, address));
    m_title = m_browser->documentTitle();
    setWindowTitle(m_title);
}

void HelpBrowser::load(const QUrl& url, History history)
{
    m_status->clear();
    if (const auto refused = helplimits::addressRefusal(url.toString())) { // a link on a page
        showRefusal(*refused, url.toString());
        return;
    }
    if (QNetworkReply* previous = m_reply) {
        m_reply = nullptr;
        previous->abort();
    }
    if (url.scheme() != u"http" && url.scheme() != u"https") {
        m_browser->setSource(url);
        completed(url, history);
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(m_transferTimeoutMs);
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    setWindowTitle(QStringLiteral("接続中..."));
    // An answer larger than any help page (or one that never ends) is given up on once it has
    // passed the limit: the memory stays bounded and the window answers throughout.
    auto tooLarge = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, this, [reply, tooLarge](qint64 received, qint64 total) {
        if (received > helplimits::kMaxPageBytes || total > helplimits::kMaxPageBytes) {
            *tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, url, history, tooLarge] {
        reply->deleteLater();
        if (m_reply != reply)
            return; // stopped, or another page asked for meanwhile
        m_reply = nullptr;
        if (*tooLarge) {
            m_browser->setHtml(helplimits::refusalPage(
                QStringLiteral("ページを開けません"),
                QStringLiteral("ページが大きすぎます（%1 MB まで）").arg(helplimits::kMaxPageBytes / (1024 * 1024)),
                url.toString()));
            completed(url, history);
            return;
        }
        // Not stopped and not replaced: the server sent nothing for too long.
        if (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError) {
            showRefusal(QStringLiteral("サーバーから %1 秒以上答えがありません").arg(m_transferTimeoutMs / 1000),
                        url.toString());
            return;
        }
        const QByteArray body = reply->readAll();
        if (reply->error() != QNetworkReply::NoError) {
            // Whatever a browser would show: the reason, not a message box.
            m_browser->setHtml(
                helplimits::refusalPage(QStringLiteral("ページを開けません"), reply->errorString(), url.toString()));
        } else {
            auto decoder = QStringDecoder::decoderForHtml(body);
            m_browser->setHtml(
                helplimits::boundRuns(decoder.isValid() ? QString(decoder(body)) : QString::fromUtf8(body)));
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

void HelpBrowser::toolbar(const QString& key)
{
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
        if (QNetworkReply* reply = m_reply) {
            m_reply = nullptr;
            reply->abort();
        }
        setWindowTitle(m_title);
    }
}

void HelpBrowser::findNext()
{
    if (m_find->text().isEmpty())
        return;
    if (!m_browser->find(m_find->text())) {
        m_browser->moveCursor(QTextCursor::Start); // from the top again
        if (!m_browser->find(m_find->text())) {
            m_status->setText(QStringLiteral("「%1」は見つかりません").arg(m_find->text()));
            return;
        }
    }
    m_status->clear();
}

void HelpBrowser::openInSystemBrowser()
{
    const QUrl url(m_addresses.current());
    if (!helplimits::forSystemBrowser(url)) {
        m_status->setText(QStringLiteral("ブラウザで開けるのは、インターネットのページ（http、https）だけです"));
        return;
    }
    if (!QDesktopServices::openUrl(url))
        m_status->setText(QStringLiteral("ブラウザを開けません：このパソコンにはブラウザがせっていされていません"));
}

bool HelpBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_find && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_find->hide();
        m_status->clear();
        m_browser->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return Form::eventFilter(watched, event);
}
