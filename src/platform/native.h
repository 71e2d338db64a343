#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The operating system's services the program needs, in plain C++ types: one implementation on
// POSIX systems, one against the Win32 API. Nothing of Qt is used here, so that both build and
// are tested on their own, the Windows one with mingw-w64 under Wine; the portable code above
// turns them into the program's Qt types.
namespace native {

// Code page 932 (the Microsoft variant of Shift-JIS), by the system's own converter. Decoding
// gives one U+FFFD per invalid sequence, a lead byte taking the next byte only when that is a
// trail byte. Encoding refuses best-fit replacements and names the first character it cannot hold.
std::u16string decodeCp932(std::string_view bytes);
struct Cp932Encoded
{
    std::string bytes;
    std::optional<char32_t> unencodable;
};
Cp932Encoded encodeCp932(std::u16string_view text);
bool isCp932LeadByte(unsigned char byte);
bool isCp932TrailByte(unsigned char byte);

// System errors: the code of the last failed call, its common reason and the system's words.
enum class Reason
{
    Other,
    DiskFull,
    TooLarge,
    Denied,
    ReadOnly,
    Missing,
    Busy,
    InputOutput,
    NotAFile // a folder, a pipe or a device where a file was expected
};
// The code the record file's open gives for a name that is no regular file, on both systems.
constexpr int kNotAFile = -2;
int lastError();
Reason reasonOf(int code);
std::string systemText(int code); // UTF-8

// Random-access files of fixed-length records with a byte-range lock taken without waiting.
enum class Failure
{
    None,
    NotFound,
    Sharing, // another program holds the file or the lock
    Denied,  // not allowed, or a read-only medium
    Other
};
Failure failureOf(int code);

class RecordFile
{
public:
    virtual ~RecordFile() = default;
    virtual std::int64_t size() = 0; // negative on failure
    virtual bool readAt(std::int64_t offset, char* into, std::int64_t length) = 0;
    virtual bool writeAt(std::int64_t offset, const char* bytes, std::int64_t length) = 0;
    virtual bool flush() = 0;
    virtual bool truncate(std::int64_t length) = 0;
    virtual bool tryLock(std::int64_t offset, std::int64_t length) = 0;
    virtual bool unlock(std::int64_t offset, std::int64_t length) = 0;
    Failure failure() const { return m_failure; }
    int errorCode() const { return m_code; }

protected:
    bool fail(Failure failure, int code)
    {
        m_failure = failure;
        m_code = code;
        return false;
    }

private:
    Failure m_failure = Failure::None;
    int m_code = 0;
};

struct OpenedFile
{
    std::unique_ptr<RecordFile> file; // empty when the open failed
    Failure failure = Failure::None;
    int code = 0;
};
// Opens for reading and writing, creating an empty file when there is none.
OpenedFile openRecordFile(const std::u16string& path);

// One running copy per name: the claim lasts as long as the object, and the system drops it
// when the process ends, however it ends.
class InstanceClaim
{
public:
    virtual ~InstanceClaim() = default;
    virtual bool claim() = 0;
};
// Per user: on Windows a mutex of the user's session, on POSIX systems a lock file in the user's
// runtime folder (instanceClaimFolder(); empty when there is no private one).
std::unique_ptr<InstanceClaim> makeInstanceClaim(const std::u16string& name);
#ifndef _WIN32
std::string instanceClaimFolder();
#endif

// A program started from a command prompt writes to that prompt: a Windows program built for
// windows has no console of its own and must attach to its parent's. Nothing on POSIX systems.
void attachTerminal();

// Starts a program that outlives this one, in the given working folder.
bool startDetached(const std::u16string& program, const std::vector<std::u16string>& arguments,
                   const std::u16string& workingFolder);

} // namespace native
