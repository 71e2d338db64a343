#include "tool_module_loader.h"

#include "tool_windows.h"

#include <QDir>
#include <QPluginLoader>

ToolWindows* ToolModuleLoader::windows()
{
    if (m_windows)
        return m_windows;
    QPluginLoader loader(QDir(m_folder).filePath(QStringLiteral("divisor-drill-tools")));
    m_windows = qobject_cast<ToolWindows*>(loader.instance());
    if (!m_windows)
        m_error = QStringLiteral("「%1」を読み込めません（%2）。")
                      .arg(QDir::toNativeSeparators(loader.fileName().isEmpty()
                                                        ? QDir(m_folder).filePath(QStringLiteral("divisor-drill-tools"))
                                                        : loader.fileName()),
                           loader.errorString());
    return m_windows;
}
