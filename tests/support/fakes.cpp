#include "fakes.h"

#include "platform/pending_events.h"
#include "text/cp932.h"

#include <QFile>
#include <QtTest>

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
