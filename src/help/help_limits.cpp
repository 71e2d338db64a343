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

std::optional<QString> addressRefusal(const QString& address)
{
    if (address.size() > kMaxAddressLength)
        return QStringLiteral("アドレスが長すぎます（%1 文字まで）").arg(kMaxAddressLength);
    return std::nullopt;
}

QString boundRuns(const QString& html)
{
    QString out;
    constexpr qsizetype kLongestReference = 32; // "&thetasym;", "&#x1F600;"
    out.reserve(html.size() + html.size() / kLongestRun);
    qsizetype run = 0;
    qsizetype reference = 0; // characters since a "&" that may begin a character reference
    bool inTag = false;
    for (const QChar c : html) {
        if (inTag) {
            inTag = c != u'>';
        } else if (c == u'<' || c.isSpace()) {
            inTag = c == u'<';
            run = 0;
            reference = 0;
        } else {
            if (c == u'&')
                reference = 1;
            else if (reference > 0 && (c == u';' || ++reference > kLongestReference))
                reference = 0;
            if (++run > kLongestRun && reference == 0 && !c.isLowSurrogate()) {
                out += QChar(0x200B);
                run = 1;
            }
        }
        out += c;
    }
    return out;
}

QString refusalPage(const QString& title, const QString& reason, const QString& address)
{
    return QStringLiteral("<html><head><title>%1</title></head><body><h2>%1</h2><p>%2</p><p>%3</p></body></html>")
        .arg(title.toHtmlEscaped(), reason.toHtmlEscaped(), shownAddress(address).toHtmlEscaped());
}

} // namespace helplimits
