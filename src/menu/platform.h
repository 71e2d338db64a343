#pragma once

#include <QString>
#include <QStringList>
#include <memory>

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

// Tells whether another copy of this program is running. The claim is held by the operating
// system for as long as the process lives, so a copy that crashed does not block the next start.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;
    // True when this is the only running copy; the claim then lasts as long as this object.
    virtual bool claim() = 0;
};

// One claim per program, named after the folder of the executable.
std::unique_ptr<SingleInstance> makeSingleInstance(const QString& programDir);

// The family's launcher beside the program folder, "..\起動\プログラムメニュー.exe"; on systems
// without ".exe" files the same name without it.
QString launcherPath(const QString& programFolder);

struct Platform
{
    Launcher& launcher;
    SingleInstance& instance;
};
