#pragma once

#include "state/shared_state.h"

// The folder layout of an installation. Each program lives in its own folder; the programs
// of a family share a folder beside them. Relative parts ("..") stay in the paths and are
// resolved by the file system.
namespace folders {

// The platform's path separator, which ends every folder path.
QString separator();

// The last component of a folder path (the text after its last separator).
QString lastComponent(const QString& folder);

// Fills sharedFolder, programFolder, soundFolder and programFolderName from the folder of
// the executable (without a trailing separator) and the first value of "設定.txt".
void resolve(Folders& folders, const QString& programDir);

} // namespace folders
