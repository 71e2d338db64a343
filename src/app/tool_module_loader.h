#pragma once

#include <QString>

class ToolWindows;

// Loads the "divisor-drill-tools" module from the program's folder the first time a tool
// window is asked for, and keeps it for the program's life.
class ToolModuleLoader
{
public:
    explicit ToolModuleLoader(QString folder) : m_folder(std::move(folder)) {}
    // Nothing when the module cannot be loaded; error() then says why, in Japanese.
    ToolWindows* windows();
    QString error() const { return m_error; }

private:
    QString m_folder;
    ToolWindows* m_windows = nullptr;
    QString m_error;
};
