#include "single_instance.h"

#include <windows.h>

namespace {

// A named mutex: Windows closes it when the process ends, however it ends.
class MutexInstance final : public SingleInstance
{
public:
    explicit MutexInstance(QString name) : m_name(std::move(name)) {}
    ~MutexInstance() override
    {
        if (m_mutex)
            CloseHandle(m_mutex);
    }
    bool claim() override
    {
        if (m_mutex)
            return true;
        HANDLE mutex = CreateMutexW(nullptr, TRUE, reinterpret_cast<const wchar_t*>(m_name.utf16()));
        if (!mutex)
            return true;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return false;
        }
        m_mutex = mutex;
        return true;
    }

private:
    QString m_name;
    HANDLE m_mutex = nullptr;
};

} // namespace

std::unique_ptr<SingleInstance> makeSingleInstance(const QString& programDir)
{
    return std::make_unique<MutexInstance>(QStringLiteral("Local\\") + instanceKey(programDir));
}
