#include "help_limits.h"

#include <QDir>
#include <QFileInfo>

namespace helplimits {

QStringList localFolders(const QString& programFolder, const QStringList& addresses)
{
    QStringList folders{QDir::cleanPath(QDir(programFolder).absoluteFilePath(QStringLiteral("help")))};
    for (const QString& address : addresses) {
        const QUrl url(address);
        if (url.isLocalFile())
            folders << QDir::cleanPath(QFileInfo(url.toLocalFile()).absolutePath());
    }
    folders.removeDuplicates();
    return folders;
}

std::optional<QString> refusal(const QString& path, const QStringList& folders)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("ファイルがありません");
    const QString canonical = info.canonicalFilePath();
    bool inside = false;
    for (const QString& folder : folders) {
        const QString root = QFileInfo(folder).canonicalFilePath();
        if (!root.isEmpty() && canonical.startsWith(root + u'/'))
            inside = true;
    }
    if (!inside)
        return QStringLiteral("ヘルプのフォルダの外のファイルは開きません");
    if (!info.isFile())
        return QStringLiteral("ふつうのファイルではありません");
    if (info.size() > kMaxPageBytes)
        return QStringLiteral("ページが大きすぎます（%1 MB まで）").arg(kMaxPageBytes / (1024 * 1024));
    return std::nullopt;
}

bool forSystemBrowser(const QUrl& url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

QString shownAddress(const QString& address)
{
    return address.size() <= kShownAddressLength ? address : address.left(kShownAddressLength - 1) + u'…';
}

QString refusalPage(const QString& title, const QString& reason, const QString& address)
{
    return QStringLiteral("<html><head><title>%1</title></head><body><h2>%1</h2><p>%2</p><p>%3</p></body></html>")
        .arg(title.toHtmlEscaped(), reason.toHtmlEscaped(), shownAddress(address).toHtmlEscaped());
}

} // namespace helplimits
