#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>

QString instanceKey(const QString& programDir)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(programDir).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("divisor-drill-") + QString::fromLatin1(hash);
}
