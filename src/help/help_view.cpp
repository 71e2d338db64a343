#include "help_view.h"

#include "help_limits.h"

#include <QFile>
#include <QStringDecoder>
#include <QTextDocument>

HelpView::HelpView(QStringList localFolders, QWidget* parent)
    : QTextBrowser(parent), m_localFolders(std::move(localFolders))
{}

QVariant HelpView::loadResource(int type, const QUrl& name)
{
    const bool page = type == QTextDocument::HtmlResource;
    if (name.scheme() == u"qrc")
        return QTextBrowser::loadResource(type, name);
    if (!name.isLocalFile()) {
        return page ? QVariant(helplimits::refusalPage(QStringLiteral("ページを開けません"),
                                                       QStringLiteral("このアドレスはこの画面では開けません"),
                                                       name.toString()))
                    : QVariant();
    }
    const QString path = name.toLocalFile();
    if (const auto reason = helplimits::refusal(path, m_localFolders)) {
        return page ? QVariant(helplimits::refusalPage(QStringLiteral("ページを開けません"), *reason, path))
                    : QVariant();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return page ? QVariant(helplimits::refusalPage(QStringLiteral("ページを開けません"), file.errorString(), path))
                    : QVariant();
    const QByteArray bytes = file.read(helplimits::kMaxPageBytes);
    if (!page)
        return bytes;
    auto decoder = QStringDecoder::decoderForHtml(bytes);
    return helplimits::boundRuns(decoder.isValid() ? QString(decoder(bytes)) : QString::fromUtf8(bytes));
}
