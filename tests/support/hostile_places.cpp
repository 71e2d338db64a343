#include "hostile_places.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

// A tmpfs of its own on path, in a private mount namespace of the test process.
bool mountPrivateTmpfs(const QString& path, const char* options)
{
    static const bool privateNamespace =
        ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    const bool readOnly = std::strcmp(options, "ro") == 0;
    return privateNamespace && ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                                       readOnly ? nullptr : options) == 0;
}

void unmount(const QString& path)
{
    ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}

} // namespace
#endif

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path)
{
#ifdef Q_OS_LINUX
    if (mountPrivateTmpfs(path, "ro")) {
        m_how = How::Mounted;
        qInfo("read-only folder: a read-only tmpfs");
        return;
    }
#endif
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
    QFile probe(QDir(path).filePath(QStringLiteral("probe")));
    if (!probe.open(QIODevice::WriteOnly)) {
        m_how = How::Permissions;
        qInfo("read-only folder: permission bits");
        return;
    }
    probe.close();
    probe.remove();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qInfo("read-only folder: not possible here (the permission bits do not stop this user, mounting is not allowed)");
}

ReadOnlyFolder::~ReadOnlyFolder()
{
#ifdef Q_OS_LINUX
    if (m_how == How::Mounted)
        unmount(m_path);
#endif
    if (m_how == How::Permissions)
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

FullFolder::FullFolder(const QString& path) : m_path(path)
{
#ifdef Q_OS_LINUX
    m_ready = true;
    if (mountPrivateTmpfs(path, "size=64k")) {
        m_mounted = true;
        qInfo("disk full: a 64 KiB tmpfs filled up");
    } else {
        qInfo("disk full: a file size limit (mounting a tmpfs is not allowed here)");
    }
#endif
}

FullFolder::~FullFolder()
{
#ifdef Q_OS_LINUX
    if (m_limited) {
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        old.rlim_cur = rlim_t(m_oldLimit);
        ::setrlimit(RLIMIT_FSIZE, &old);
    }
    if (m_mounted)
        unmount(m_path);
#endif
}

void FullFolder::fill()
{
#ifdef Q_OS_LINUX
    if (m_mounted) {
        QFile filler(m_path + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(512, 'f');
        while (filler.write(block) == block.size()) {
        }
        return;
    }
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_oldLimit = limit.rlim_cur;
    limit.rlim_cur = 16;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    m_limited = true;
#endif
}

RefusingFolder::RefusingFolder(const QString& path, Way way) : m_path(path), m_way(way)
{
    switch (way) {
    case Way::Full:
        m_full = std::make_unique<FullFolder>(path);
        m_ready = m_full->ready();
        break;
    case Way::ReadOnly:
#ifdef Q_OS_LINUX
        // A tmpfs of its own, remounted read-only once the test's files are in it.
        m_mounted = mountPrivateTmpfs(path, "size=1m");
        m_ready = m_mounted;
#endif
        break;
    case Way::Gone:
        m_ready = true;
        break;
    }
}

RefusingFolder::~RefusingFolder()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        unmount(m_path);
#endif
}

void RefusingFolder::refuse()
{
    switch (m_way) {
    case Way::Full:
        m_full->fill();
        break;
    case Way::ReadOnly:
#ifdef Q_OS_LINUX
        QCOMPARE(::mount(nullptr, QFile::encodeName(m_path).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
#endif
        break;
    case Way::Gone:
        QVERIFY(QDir(m_path).removeRecursively());
        break;
    }
}
