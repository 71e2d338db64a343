#include "single_instance.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// An exclusive flock on a file in the temporary folder; the kernel drops it when the process
// ends, however it ends.
class FlockInstance final : public SingleInstance
{
public:
    explicit FlockInstance(QString path) : m_path(std::move(path)) {}
    ~FlockInstance() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool claim() override
    {
        if (m_fd >= 0)
            return true;
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return true; // without a lock file the program still runs
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        m_fd = fd;
        return true;
    }

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace

std::unique_ptr<SingleInstance> makeSingleInstance(const QString& programDir)
{
    return std::make_unique<FlockInstance>(QDir::temp().filePath(instanceKey(programDir) + QStringLiteral(".lock")));
}
