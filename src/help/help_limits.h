#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// What the help browser may open, so that no page can freeze or fill the program: answers of at
// most a few megabytes, local files only when they are regular files of bounded size in the
// help's own folders, and only web addresses handed to the system's browser.
namespace helplimits {

// A help page is a few tens of kilobytes; laying out a megabyte of text takes a second or two.
constexpr qint64 kMaxPageBytes = 1024 * 1024;
constexpr qsizetype kShownAddressLength = 120;
// No help address is longer: a longer one is refused before anything is done with it.
constexpr qsizetype kMaxAddressLength = 2048;
// The longest run of text without a place to break a line: laying out a longer one takes the
// window for a long time.
constexpr qsizetype kLongestRun = 1000;
// A web server that sends nothing for this long is given up on.
constexpr int kTransferTimeoutMs = 20000;

// The folders local help pages may come from: the program folder's "help" folder and the
// folder of each local address the school set.
QStringList localFolders(const QString& programFolder, const QStringList& addresses);

// Why a local file cannot be shown, in Japanese; nothing when it can.
std::optional<QString> refusal(const QString& path, const QStringList& folders);

// Whether the system's browser may be given the address: web pages only.
bool forSystemBrowser(const QUrl& url);

// An address as an error page shows it: at most kShownAddressLength characters.
QString shownAddress(const QString& address);

// Why an address is refused before it is opened; nothing when it may be.
std::optional<QString> addressRefusal(const QString& address);

// The page with a place to break the line (U+200B) in every run of text longer than
// kLongestRun characters; tags and character references stay whole.
QString boundRuns(const QString& html);

// The page shown instead of one that cannot be, with the reason and the address.
QString refusalPage(const QString& title, const QString& reason, const QString& address);

} // namespace helplimits
