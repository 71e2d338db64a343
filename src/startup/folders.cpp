#include "folders.h"

#include <QDir>

namespace folders {

QString separator()
{
    return QString(QDir::separator());
}

QString lastComponent(const QString& folder)
{
    return folder.mid(folder.lastIndexOf(separator()) + 1);
}

void resolve(Folders& f, const QString& programDir)
{
    const QString sep = separator();
    const bool filesBeside = f.folderLayout == Loose(1);
    f.sharedFolder = filesBeside ? programDir + sep + ".." + sep + "files" + sep : programDir + sep + ".." + sep;
    f.programFolderName = lastComponent(programDir);
    if (filesBeside) {
        f.programFolder = programDir + sep;
        f.soundFolder = f.sharedFolder + ".." + sep + "files" + sep;
    } else {
        f.programFolder = f.sharedFolder + f.programFolderName + sep;
        f.soundFolder = f.sharedFolder + QStringLiteral("音フォルダ") + sep;
    }
}

} // namespace folders
