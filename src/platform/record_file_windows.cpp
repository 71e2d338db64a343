#include "record_file.h"

#include "platform/system_error.h"

#include <windows.h>

namespace {

RecordFile::Failure classify(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return RecordFile::Failure::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return RecordFile::Failure::Denied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return RecordFile::Failure::Sharing;
    default:
        return RecordFile::Failure::Other;
    }
}

QString describe(DWORD code)
{
    return describeSystemError(int(code));
}

OVERLAPPED at(qint64 offset)
{
    OVERLAPPED ov{};
    ov.Offset = DWORD(quint64(offset) & 0xFFFFFFFFu);
    ov.OffsetHigh = DWORD(quint64(offset) >> 32);
    return ov;
}

class WindowsRecordFile final : public RecordFile
{
public:
    explicit WindowsRecordFile(HANDLE h) : m_h(h) {}
    ~WindowsRecordFile() override { CloseHandle(m_h); }

    qint64 size() override
    {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(m_h, &size))
            return fail(-1);
        return size.QuadPart;
    }

    bool readAt(qint64 offset, char* into, qint64 length) override
    {
        OVERLAPPED ov = at(offset);
        DWORD read = 0;
        if (!ReadFile(m_h, into, DWORD(length), &read, &ov))
            return fail(false);
        if (qint64(read) != length) {
            setError(Failure::Other, ERROR_HANDLE_EOF, describe(ERROR_HANDLE_EOF));
            return false;
        }
        return true;
    }

    bool writeAt(qint64 offset, const QByteArray& bytes) override
    {
        OVERLAPPED ov = at(offset);
        DWORD written = 0;
        if (!WriteFile(m_h, bytes.constData(), DWORD(bytes.size()), &written, &ov) || written != DWORD(bytes.size()))
            return fail(false);
        return true;
    }

    bool flush() override { return FlushFileBuffers(m_h) || fail(false); }

    bool truncate(qint64 length) override
    {
        LARGE_INTEGER pos{};
        pos.QuadPart = length;
        return (SetFilePointerEx(m_h, pos, nullptr, FILE_BEGIN) && SetEndOfFile(m_h)) || fail(false);
    }

    bool tryLock(qint64 offset, qint64 length) override
    {
        OVERLAPPED ov = at(offset);
        return LockFileEx(m_h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, DWORD(length), 0, &ov) ||
               fail(false);
    }

    bool unlock(qint64 offset, qint64 length) override
    {
        OVERLAPPED ov = at(offset);
        return UnlockFileEx(m_h, 0, DWORD(length), 0, &ov) || fail(false);
    }

private:
    template <typename T> T fail(T result)
    {
        const DWORD code = GetLastError();
        setError(classify(code), int(code), describe(code));
        return result;
    }

    HANDLE m_h;
};

} // namespace

OpenedRecordFile openRecordFile(const QString& path)
{
    const HANDLE h =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return {nullptr, classify(code), int(code), describe(code)};
    }
    return {std::make_unique<WindowsRecordFile>(h), RecordFile::Failure::None, 0, QString()};
}
