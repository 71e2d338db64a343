#include "launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool ProcessLauncher::start(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
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
