#include "fakes.h"

#include "platform/pending_events.h"
#include "text/cp932.h"

#include <QFile>
#include <QtTest>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

void RecordingPause::wait(int ms)
{
    waits.append(ms);
    letPendingEventsRun();
    if (onWait)
        onWait();
}

void writeCp932(const QString& path, const QStringList& lines)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    const auto encoded = cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QVERIFY(encoded.ok());
    file.write(encoded.bytes);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool mountPrivateTmpfs(const QString& path, const char* options)
{
    static const bool privateNamespace =
        ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    const bool readOnly = std::strcmp(options, "ro") == 0;
    return privateNamespace && ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                                       readOnly ? nullptr : options) == 0;
}
