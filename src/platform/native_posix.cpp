#include "native.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace native {
namespace {

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == iconv_t(-1))
            std::abort(); // the C library has no code page 932 converter
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Runs iconv over the whole input; on an invalid sequence asks onInvalid how many input bytes
// to skip (0 stops).
template <typename OnInvalid> std::string convert(iconv_t cd, std::string_view input, OnInvalid onInvalid)
{
    std::string output;
    output.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, size_t(out - buffer));
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG)
            continue;
        const size_t skip = onInvalid(size_t(in - input.data()), output);
        if (skip == 0)
            return {};
        const size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}

std::u16string fromUtf16Bytes(const std::string& bytes)
{
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] =
            char16_t(static_cast<unsigned char>(bytes[2 * i]) | (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return text;
}

} // namespace

std::u16string decodeCp932(std::string_view bytes)
{
    Converter cd("UTF-16LE", "CP932");
    const std::string utf16 = convert(cd.handle(), bytes, [&](size_t offset, std::string& out) -> size_t {
        out.append("\xFD\xFF", 2); // U+FFFD, little-endian
        const bool pair = isCp932LeadByte(static_cast<unsigned char>(bytes[offset])) && offset + 1 < bytes.size() &&
                          isCp932TrailByte(static_cast<unsigned char>(bytes[offset + 1]));
        return pair ? 2 : 1;
    });
    return fromUtf16Bytes(utf16);
}

Cp932Encoded encodeCp932(std::u16string_view text)
{
    Converter cd("CP932", "UTF-16LE");
    std::string input;
    input.reserve(text.size() * 2);
    for (char16_t c : text) {
        input += char(c & 0xFF);
        input += char(c >> 8);
    }
    std::optional<char32_t> bad;
    std::string bytes = convert(cd.handle(), input, [&](size_t offset, std::string&) -> size_t {
        const std::size_t i = offset / 2;
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        bad = c;
        return 0;
    });
    if (bad)
        return {{}, bad};
    return {bytes, std::nullopt};
}

int lastError()
{
    return errno;
}

Reason reasonOf(int code)
{
    switch (code) {
    case kNotAFile:
        return Reason::NotAFile;
    case ENOSPC:
    case EDQUOT:
        return Reason::DiskFull;
    case EFBIG:
        return Reason::TooLarge;
    case EACCES:
    case EPERM:
        return Reason::Denied;
    case EROFS:
        return Reason::ReadOnly;
    case ENOENT:
    case ENOTDIR:
        return Reason::Missing;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
        return Reason::Busy;
    case EIO:
        return Reason::InputOutput;
    default:
        return Reason::Other;
    }
}

std::string systemText(int code)
{
    return code == kNotAFile ? "not a regular file" : std::strerror(code);
}

namespace {

class PosixRecordFile final : public RecordFile
{
public:
    explicit PosixRecordFile(int fd) : m_fd(fd) {}
    ~PosixRecordFile() override { ::close(m_fd); }

    std::int64_t size() override
    {
        struct stat st
        {
        };
        if (::fstat(m_fd, &st) != 0) {
            failed();
            return -1;
        }
        return std::int64_t(st.st_size);
    }
    bool readAt(std::int64_t offset, char* into, std::int64_t length) override
    {
        std::int64_t done = 0;
        while (done < length) {
            const ssize_t n = ::pread(m_fd, into + done, size_t(length - done), off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return failed();
            if (n == 0)
                return fail(Failure::Other, EIO); // past the end of the file
            done += n;
        }
        return true;
    }
    bool writeAt(std::int64_t offset, const char* bytes, std::int64_t length) override
    {
        std::int64_t done = 0;
        while (done < length) {
            const ssize_t n = ::pwrite(m_fd, bytes + done, size_t(length - done), off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return failed();
            done += n;
        }
        return true;
    }
    bool flush() override { return ::fdatasync(m_fd) == 0 || failed(); }
    bool truncate(std::int64_t length) override { return ::ftruncate(m_fd, off_t(length)) == 0 || failed(); }
    bool tryLock(std::int64_t offset, std::int64_t length) override { return setLock(F_WRLCK, offset, length); }
    bool unlock(std::int64_t offset, std::int64_t length) override { return setLock(F_UNLCK, offset, length); }

private:
    bool failed() { return fail(failureOf(errno), errno); }
    // Open file description locks: like the Windows locks, they belong to this open file, so
    // closing another handle of the same file in this process keeps them, and two handles in
    // one process exclude each other. They exclude the classic record locks of other processes
    // too; a system without them takes classic locks.
    bool setLock(short type, std::int64_t offset, std::int64_t length)
    {
        struct flock fl
        {
        };
        fl.l_type = type;
        fl.l_whence = SEEK_SET;
        fl.l_start = off_t(offset);
        fl.l_len = off_t(length);
        while (::fcntl(m_fd, m_lockCommand, &fl) != 0) {
            if (errno == EINTR)
                continue;
            if (errno == EINVAL && m_lockCommand != F_SETLK) {
                m_lockCommand = F_SETLK;
                continue;
            }
            if (errno == EACCES || errno == EAGAIN) // held by another process
                return fail(Failure::Sharing, EAGAIN);
            return failed();
        }
        return true;
    }
    int m_fd;
    int m_lockCommand = F_OFD_SETLK;
};

class FlockClaim final : public InstanceClaim
{
public:
    explicit FlockClaim(std::string path) : m_path(std::move(path)) {}
    // The file goes with a clean end, so that no lock file is left behind for every
    // installation ever used; after a crash the lock goes with the process and the file stays
    // until the next clean end.
    ~FlockClaim() override
    {
        if (m_fd < 0)
            return;
        ::unlink(m_path.c_str());
        ::close(m_fd);
    }
    bool claim() override
    {
        if (m_fd >= 0 || m_path.empty())
            return true;
        for (int attempt = 0; attempt < 10; ++attempt) {
            const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd < 0)
                return true; // without a lock file the program still runs
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                ::close(fd);
                return false;
            }
            // The lock holds only while its file is still the one under the name: a copy that
            // was ending may have removed it between our open and our lock.
            struct stat locked
            {
            };
            struct stat named
            {
            };
            if (::fstat(fd, &locked) == 0 && ::stat(m_path.c_str(), &named) == 0 && locked.st_ino == named.st_ino &&
                locked.st_dev == named.st_dev) {
                m_fd = fd;
                return true;
            }
            ::close(fd);
        }
        return true; // a name that keeps changing: the program runs rather than refuse the pupil
    }

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace

OpenedFile openRecordFile(const std::u16string& path)
{
    const std::string native = toUtf8(path);
    int fd;
    // Without waiting, so that a pipe or a device under the file's name cannot hold the
    // program: only a regular file is a record file.
    do {
        fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return {nullptr, failureOf(errno), errno};
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {nullptr, Failure::Other, kNotAFile};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {std::make_unique<PosixRecordFile>(fd), Failure::None, 0};
}

void attachTerminal() {}

std::string instanceClaimFolder()
{
    // The user's own runtime folder, which only the user can enter; without one, a folder of the
    // user's own in the temporary folder, made private. A folder that is not the user's alone
    // (another user made it first) gives no claim: the program then runs rather than let
    // another user stop it.
    const auto privateFolder = [](const std::string& path) {
        struct stat st
        {
        };
        return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
               (st.st_mode & 077) == 0;
    };
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && privateFolder(runtime))
        return runtime;
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder =
        std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/divisor-drill-" + std::to_string(::geteuid());
    ::mkdir(folder.c_str(), 0700);
    return privateFolder(folder) ? folder : std::string();
}

std::unique_ptr<InstanceClaim> makeInstanceClaim(const std::u16string& name)
{
    const std::string folder = instanceClaimFolder();
    return std::make_unique<FlockClaim>(folder.empty() ? std::string() : folder + "/" + toUtf8(name) + ".lock");
}

bool startDetached(const std::u16string& program, const std::vector<std::u16string>& arguments,
                   const std::u16string& workingFolder)
{
    const std::string file = toUtf8(program);
    const std::string folder = toUtf8(workingFolder);
    std::vector<std::string> args{file};
    for (const auto& a : arguments)
        args.push_back(toUtf8(a));
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        // The grandchild runs the program, so that it is nobody's child once this one ends;
        // the pipe closes on a successful exec and carries the error of a failed one.
        ::setsid();
        if (::fork() != 0)
            ::_exit(0);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            const int code = errno;
            (void)!::write(ready[1], &code, sizeof code);
            ::_exit(127);
        }
        ::execv(file.c_str(), argv.data());
        const int code = errno;
        (void)!::write(ready[1], &code, sizeof code);
        ::_exit(127);
    }
    ::close(ready[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    int code = 0;
    const bool failed = ::read(ready[0], &code, sizeof code) == ssize_t(sizeof code);
    ::close(ready[0]);
    return !failed;
}

} // namespace native
