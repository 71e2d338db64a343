#include "help_addresses.h"

#include "text/text_file.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

const char* const kPages[] = {"index.html", "study.html", "contact.html", "index.html"};

} // namespace

HelpAddresses HelpAddresses::defaults(const QString& programFolder)
{
    HelpAddresses h;
    const QDir installed(QDir(programFolder).filePath(QStringLiteral("help")));
    for (const char* page : kPages) {
        const QString file = installed.filePath(QString::fromLatin1(page));
        h.addresses << (QFile::exists(file) ? QUrl::fromLocalFile(file).toString()
                                            : QStringLiteral("qrc:/help/") + QString::fromLatin1(page));
    }
    return h;
}

HelpAddresses HelpAddresses::load(const QString& programFolder)
{
    HelpAddresses h = defaults(programFolder);
    const auto text = textfile::read(QDir(programFolder).filePath(fileName()));
    if (!text.text)
        return h;
    const QStringList lines = textfile::splitLines(*text.text);
    for (int i = 0; i < h.addresses.size() && i < lines.size(); ++i) {
        const QString address = lines[i].trimmed();
        if (!address.isEmpty())
            h.addresses[i] = address;
    }
    return h;
}
