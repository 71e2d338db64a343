#pragma once

#include <QString>

class ToolWindows;

// Loads the "divisor-drill-tools" module from the program's folder the first time a tool
// window is asked for, and keeps it for the program's life. A module of another version (a
// program folder updated on a server while this PC ran the old program, an executable copied
// alone) is never used: its version is read from its metadata before anything of it runs.
class ToolModuleLoader
{
public:
    // The version the module must carry: the program's own.
    explicit ToolModuleLoader(QString folder, QString version = QStringLiteral(DRILL_VERSION))
        : m_folder(std::move(folder)), m_version(std::move(version))
    {}
    // Nothing when the module cannot be loaded; error() then says why, in Japanese.
    ToolWindows* windows();
    QString error() const { return m_error; }

private:
    QString m_folder;
    QString m_version;
    ToolWindows* m_windows = nullptr;
    QString m_error;
};
