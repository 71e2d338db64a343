#include "launcher.h"

#include "native.h"

#include <QDir>
#include <QFileInfo>

bool ProcessLauncher::start(const QString& program, const QStringList& arguments)
{
    std::vector<std::u16string> args;
    for (const QString& a : arguments)
        args.push_back(a.toStdU16String());
    return native::startDetached(QDir::toNativeSeparators(program).toStdU16String(), args,
                                 QDir::toNativeSeparators(QFileInfo(program).absolutePath()).toStdU16String());
}

QString launcherPath(const QString& programFolder)
{
    const QString sep = QString(QDir::separator());
    QString path = programFolder;
    if (!path.endsWith(sep))
        path += sep;
    path += QStringLiteral("..") + sep + QStringLiteral("起動") + sep + QStringLiteral("プログラムメニュー");
#ifdef Q_OS_WIN
    path += QStringLiteral(".exe");
#endif
    return path;
}
