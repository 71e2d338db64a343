#pragma once

#include <QString>
#include <QStringList>

// Starting another program of the family; a failure is the caller's to ignore.
class Launcher
{
public:
    virtual ~Launcher() = default;
    virtual bool start(const QString& program, const QStringList& arguments) = 0;
};

class ProcessLauncher final : public Launcher
{
public:
    bool start(const QString& program, const QStringList& arguments) override;
};

// The family's launcher beside the program folder, "..\起動\プログラムメニュー.exe"; on systems
// without ".exe" files the same name without it.
QString launcherPath(const QString& programFolder);
