#include "tool_module_loader.h"

#include "tool_windows.h"

#include <QDir>
#include <QJsonObject>
#include <QPluginLoader>

ToolWindows* ToolModuleLoader::windows()
{
    if (m_windows)
        return m_windows;
    QPluginLoader loader(QDir(m_folder).filePath(QStringLiteral("divisor-drill-tools")));
    const QString shown = QDir::toNativeSeparators(loader.fileName().isEmpty()
                                                       ? QDir(m_folder).filePath(QStringLiteral("divisor-drill-tools"))
                                                       : loader.fileName());
    const QString version =
        loader.metaData().value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("version")).toString();
    if (!loader.metaData().isEmpty() && version != m_version) {
        m_error = QStringLiteral("「%1」はこのプログラム（版 %2）のものではありません（版 %3）。"
                                 "プログラムのフォルダをまとめて入れなおしてください。")
                      .arg(shown, m_version, version.isEmpty() ? QStringLiteral("不明") : version);
        return nullptr;
    }
    m_windows = qobject_cast<ToolWindows*>(loader.instance());
    if (!m_windows)
        m_error = QStringLiteral("「%1」を読み込めません（%2）。").arg(shown, loader.errorString());
    return m_windows;
}
