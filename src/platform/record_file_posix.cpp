#include "record_file.h"

#include "platform/system_error.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RecordFile::Failure classify(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return RecordFile::Failure::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return RecordFile::Failure::Denied;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
        return RecordFile::Failure::Sharing;
    default:
        return RecordFile::Failure::Other;
    }
}

QString describe(int code)
{
    return describeSystemError(code);
}

class PosixRecordFile final : public RecordFile
{
public:
    explicit PosixRecordFile(int fd) : m_fd(fd) {}
    ~PosixRecordFile() override { ::close(m_fd); }

    qint64 size() override
    {
        struct stat st
        {
        };
        if (::fstat(m_fd, &st) != 0)
            return fail(-1);
        return qint64(st.st_size);
    }

    bool readAt(qint64 offset, char* into, qint64 length) override
    {
        qint64 done = 0;
        while (done < length) {
            const ssize_t n = ::pread(m_fd, into + done, size_t(length - done), off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(false);
            if (n == 0) {
                setError(Failure::Other, EIO, QStringLiteral("ファイルの終わりを越えて読もうとしました"));
                return false;
            }
            done += n;
        }
        return true;
    }

    bool writeAt(qint64 offset, const QByteArray& bytes) override
    {
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::pwrite(m_fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return fail(false);
            done += n;
        }
        return true;
    }

    bool flush() override { return ::fdatasync(m_fd) == 0 || fail(false); }
    bool truncate(qint64 length) override { return ::ftruncate(m_fd, off_t(length)) == 0 || fail(false); }

    bool tryLock(qint64 offset, qint64 length) override { return setLock(F_WRLCK, offset, length); }
    bool unlock(qint64 offset, qint64 length) override { return setLock(F_UNLCK, offset, length); }

private:
    bool setLock(short type, qint64 offset, qint64 length)
    {
        struct flock fl
        {
        };
        fl.l_type = type;
        fl.l_whence = SEEK_SET;
        fl.l_start = off_t(offset);
        fl.l_len = off_t(length);
        while (::fcntl(m_fd, F_SETLK, &fl) != 0) {
            if (errno == EINTR)
                continue;
            // A lock held by another process is reported as either of these.
            if (errno == EACCES || errno == EAGAIN) {
                setError(Failure::Sharing, errno, describeSystemError(EAGAIN));
                return false;
            }
            return fail(false);
        }
        return true;
    }

    template <typename T> T fail(T result)
    {
        const int code = errno;
        setError(classify(code), code, describe(code));
        return result;
    }

    int m_fd;
};

} // namespace

OpenedRecordFile openRecordFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int code = errno;
        return {nullptr, classify(code), code, describe(code)};
    }
    return {std::make_unique<PosixRecordFile>(fd), RecordFile::Failure::None, 0, QString()};
}
