#pragma once

#include "address_list.h"
#include "ui/form.h"
#include "ui/screen_context.h"

#include <QNetworkReply>
#include <QPointer>
#include <QUrl>

class QComboBox;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QTextBrowser;

// "frmBrowser": the help pages in a window of the program. Our own pages (installed or built
// in) are shown at once; a web address is fetched over the network, with "接続中..." as the
// caption while it loads and Stop to give up; a server that sends nothing for a while is given up
// on with a page that says so. A page that needs a full web browser is opened
// in the system's one with "ブラウザで開く".
class HelpBrowser final : public Form
{
    Q_OBJECT
public:
    // The start address is opened when the form loads; an empty one leaves it blank.
    HelpBrowser(ScreenContext& context, const QString& startAddress);

    void navigate(const QString& address); // the address box's text, chosen or confirmed
    void toolbar(const QString& key);      // "Back", "Forward", "Refresh", "Home", "Search", "Stop"
    bool busy() const { return m_reply != nullptr; }
    // How long a web server may send nothing before the page is given up on.
    void setTransferTimeout(int milliseconds) { m_transferTimeoutMs = milliseconds; }
    const AddressList& addresses() const { return m_addresses; }

protected:
    void formLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class History
    {
        Record,
        Keep
    };
    void load(const QUrl& url, History history);
    void completed(const QUrl& url, History history);
    void showRefusal(const QString& reason, const QString& address);
    void findNext();
    void openInSystemBrowser(); // ブラウザで開く

    ScreenContext& m_context;
    QString m_startAddress;
    AddressList m_addresses;
    bool m_suppress = false;           // the form itself is updating the address box
    QComboBox* m_address = nullptr;    // cboAddress
    QTextBrowser* m_browser = nullptr; // brwWebBrowser
    QLineEdit* m_find = nullptr;
    QLabel* m_status = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QString m_title;
    int m_transferTimeoutMs = 0;
};
