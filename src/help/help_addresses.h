#pragma once

#include <QString>
#include <QStringList>

// The four addresses of the help commands, in this order: the help index, the page on
// studying with this drill, the page on how to reach whoever looks after the installation,
// and the home page (opened in the system's browser). By default they are the help pages
// installed in the program folder's "help" folder, or, where that folder is missing, the
// copies built into the program. A school may set its own in "ヘルプアドレス.txt" in the program
// folder: code page 932, one address per line in the order above; a missing file or missing
// lines keep the defaults.
struct HelpAddresses
{
    enum Page
    {
        Index = 0,
        Study = 1,
        Contact = 2,
        Home = 3
    };
    QStringList addresses; // by Page

    static QString fileName() { return QStringLiteral("ヘルプアドレス.txt"); }
    static HelpAddresses defaults(const QString& programFolder);
    // The defaults, overridden line by line by the school's file when there is one.
    static HelpAddresses load(const QString& programFolder);

    QString address(Page page) const { return addresses.value(page); }
};
