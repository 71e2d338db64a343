#include "native.h"

#include <cstdio>

#include <windows.h>

namespace native {
namespace {

const wchar_t* wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Converts strictly: false when a byte sequence is invalid.
bool decodeStrict(const char* bytes, int length, std::u16string& out)
{
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0);
    if (n <= 0)
        return false;
    std::u16string text(std::size_t(n), u'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, length, reinterpret_cast<wchar_t*>(text.data()), n);
    out += text;
    return true;
}

// Characters whose JIS form other converters give are written with the code page 932 character
// that stands for them, as the C library's converter does elsewhere.
char16_t foldJisForm(char16_t c)
{
    switch (c) {
    case u'\u2212':
        return u'\uFF0D';
    case u'\u301C':
        return u'\uFF5E';
    case u'\u2016':
        return u'\u2225';
    case u'\u00A2':
        return u'\uFFE0';
    case u'\u00A3':
        return u'\uFFE1';
    case u'\u00AC':
        return u'\uFFE2';
    case u'\u2014':
        return u'\u2015';
    default:
        return c;
    }
}

} // namespace

std::u16string decodeCp932(std::string_view bytes)
{
    std::u16string text;
    if (bytes.empty() || decodeStrict(bytes.data(), int(bytes.size()), text))
        return text;
    // Some sequence is invalid: one character at a time, each invalid one a U+FFFD.
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = isCp932LeadByte(lead) && i + 1 < bytes.size() ? 2 : 1;
        if (decodeStrict(bytes.data() + i, int(length), text)) {
            i += length;
            continue;
        }
        text += u'\uFFFD';
        const bool pair = length == 2 && isCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]));
        i += pair ? 2 : 1;
    }
    return text;
}

Cp932Encoded encodeCp932(std::u16string_view original)
{
    std::string bytes;
    for (std::size_t i = 0; i < original.size();) {
        const bool surrogate = original[i] >= 0xD800 && original[i] <= 0xDBFF && i + 1 < original.size();
        const int units = surrogate ? 2 : 1;
        wchar_t one[2] = {wchar_t(surrogate ? original[i] : foldJisForm(original[i])),
                          wchar_t(surrogate ? original[i + 1] : 0)};
        char buffer[8];
        BOOL usedDefault = FALSE;
        const int n =
            WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, one, units, buffer, sizeof buffer, nullptr, &usedDefault);
        if (n <= 0 || usedDefault) {
            char32_t c = original[i];
            if (surrogate)
                c = 0x10000 + ((c - 0xD800) << 10) + (original[i + 1] - 0xDC00);
            return {{}, c};
        }
        bytes.append(buffer, std::size_t(n));
        i += std::size_t(units);
    }
    return {bytes, std::nullopt};
}

int lastError()
{
    return int(GetLastError());
}

Reason reasonOf(int code)
{
    if (code == kNotAFile)
        return Reason::NotAFile;
    switch (DWORD(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Reason::DiskFull;
    case ERROR_ACCESS_DENIED:
        return Reason::Denied;
    case ERROR_WRITE_PROTECT:
        return Reason::ReadOnly;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Reason::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Reason::Busy;
    default:
        return Reason::Other;
    }
}

std::string systemText(int code)
{
    if (code == kNotAFile)
        return "not a regular file";
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   DWORD(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, nullptr, 0, nullptr, nullptr);
        text.resize(std::size_t(n > 0 ? n - 1 : 0));
        WideCharToMultiByte(CP_UTF8, 0, buffer, -1, text.data(), n, nullptr, nullptr);
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}

namespace {

OVERLAPPED at(std::int64_t offset)
{
    OVERLAPPED ov{};
    ov.Offset = DWORD(std::uint64_t(offset) & 0xFFFFFFFFu);
    ov.OffsetHigh = DWORD(std::uint64_t(offset) >> 32);
    return ov;
}

class WindowsRecordFile final : public RecordFile
{
public:
    explicit WindowsRecordFile(HANDLE h) : m_h(h) {}
    ~WindowsRecordFile() override { CloseHandle(m_h); }

    std::int64_t size() override
    {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(m_h, &size)) {
            failed();
            return -1;
        }
        return size.QuadPart;
    }
    bool readAt(std::int64_t offset, char* into, std::int64_t length) override
    {
        OVERLAPPED ov = at(offset);
        DWORD read = 0;
        if (!ReadFile(m_h, into, DWORD(length), &read, &ov))
            return failed();
        if (std::int64_t(read) != length)
            return fail(Failure::Other, ERROR_HANDLE_EOF);
        return true;
    }
    bool writeAt(std::int64_t offset, const char* bytes, std::int64_t length) override
    {
        OVERLAPPED ov = at(offset);
        DWORD written = 0;
        if (!WriteFile(m_h, bytes, DWORD(length), &written, &ov) || std::int64_t(written) != length)
            return failed();
        return true;
    }
    bool flush() override { return FlushFileBuffers(m_h) || failed(); }
    bool truncate(std::int64_t length) override
    {
        LARGE_INTEGER pos{};
        pos.QuadPart = length;
        return (SetFilePointerEx(m_h, pos, nullptr, FILE_BEGIN) && SetEndOfFile(m_h)) || failed();
    }
    bool tryLock(std::int64_t offset, std::int64_t length) override
    {
        OVERLAPPED ov = at(offset);
        return LockFileEx(m_h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, DWORD(length), 0, &ov) ||
               failed();
    }
    bool unlock(std::int64_t offset, std::int64_t length) override
    {
        OVERLAPPED ov = at(offset);
        return UnlockFileEx(m_h, 0, DWORD(length), 0, &ov) || failed();
    }

private:
    bool failed()
    {
        const int code = int(GetLastError());
        return fail(failureOf(code), code);
    }
    HANDLE m_h;
};

class MutexClaim final : public InstanceClaim
{
public:
    explicit MutexClaim(std::u16string name) : m_name(std::move(name)) {}
    ~MutexClaim() override
    {
        if (m_mutex)
            CloseHandle(m_mutex);
    }
    bool claim() override
    {
        if (m_mutex)
            return true;
        HANDLE mutex = CreateMutexW(nullptr, TRUE, wide(m_name));
        if (!mutex)
            return true; // without the mutex the program still runs
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return false;
        }
        m_mutex = mutex;
        return true;
    }

private:
    std::u16string m_name;
    HANDLE m_mutex = nullptr;
};

// A command line as the C runtime of the started program splits it again.
void appendQuoted(std::u16string& line, const std::u16string& argument)
{
    if (!argument.empty() && argument.find_first_of(u" \t\"") == std::u16string::npos) {
        line += argument;
        return;
    }
    line += u'"';
    std::size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, u'\\');
    line += u'"';
}

} // namespace

OpenedFile openRecordFile(const std::u16string& path)
{
    const HANDLE h = CreateFileW(wide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const int code = int(GetLastError());
        return {nullptr, failureOf(code), code};
    }
    if (GetFileType(h) != FILE_TYPE_DISK) { // a pipe or a device under the file's name
        CloseHandle(h);
        return {nullptr, Failure::Other, kNotAFile};
    }
    return {std::make_unique<WindowsRecordFile>(h), Failure::None, 0};
}

void attachTerminal()
{
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
        SetConsoleOutputCP(CP_UTF8); // the program writes UTF-8
    }
}

std::unique_ptr<InstanceClaim> makeInstanceClaim(const std::u16string& name)
{
    return std::make_unique<MutexClaim>(u"Local\\" + name);
}

bool startDetached(const std::u16string& program, const std::vector<std::u16string>& arguments,
                   const std::u16string& workingFolder)
{
    std::u16string line;
    appendQuoted(line, program);
    for (const auto& a : arguments) {
        line += u' ';
        appendQuoted(line, a);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(wide(program), reinterpret_cast<wchar_t*>(line.data()), nullptr, nullptr, FALSE,
                        CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS, nullptr,
                        workingFolder.empty() ? nullptr : wide(workingFolder), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace native
