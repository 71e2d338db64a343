#include "address_list.h"

void AddressList::visited(const QString& address)
{
    m_entries.removeOne(address);
    m_entries.prepend(address);
}

void AddressList::navigated(const QString& address)
{
    if (current() == address)
        return;
    m_history.resize(m_current + 1);
    m_history.append(address);
    m_current = m_history.size() - 1;
}

QString AddressList::back()
{
    if (canGoBack())
        --m_current;
    return current();
}

QString AddressList::forward()
{
    if (canGoForward())
        ++m_current;
    return current();
}
