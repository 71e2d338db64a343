#pragma once

#include <QString>
#include <QStringList>

// What the help browser remembers: the addresses visited, most recent first and each once (the
// address box's list), and the way back and forward through the pages of this window.
class AddressList
{
public:
    // A page has been shown: its address goes to the top of the list.
    void visited(const QString& address);
    const QStringList& entries() const { return m_entries; }

    // Navigation history: a new page cuts off the pages ahead of the current one.
    void navigated(const QString& address);
    bool canGoBack() const { return m_current > 0; }
    bool canGoForward() const { return m_current + 1 < m_history.size(); }
    QString back();    // the previous page's address, now current
    QString forward(); // the next page's address, now current
    QString current() const { return m_current >= 0 ? m_history[m_current] : QString(); }

private:
    QStringList m_entries;
    QStringList m_history;
    qsizetype m_current = -1;
};
