#pragma once

#include <QStringList>
#include <QTextBrowser>

// The help browser's page: every file it reads, the page itself and its pictures and style
// sheets, goes through the help's limits (help_limits.h); one that cannot be shown gives a
// page saying why and which file, never a blank page or a frozen window.
class HelpView final : public QTextBrowser
{
    Q_OBJECT
public:
    HelpView(QStringList localFolders, QWidget* parent);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QStringList m_localFolders;
};
