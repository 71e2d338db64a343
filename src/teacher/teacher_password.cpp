#include "teacher_password.h"

#include "platform/system_error.h"

#include <QDir>
#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QSaveFile>

namespace teacherpassword {
namespace {

QString path(const QString& programFolder)
{
    return QDir(programFolder).filePath(fileName());
}

QString storedLine(const QString& programFolder)
{
    QFile file(path(programFolder));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.read(1024)).trimmed();
}

} // namespace

QString fileName()
{
    return QStringLiteral("先生用パスワード.txt");
}

QString line(const QString& password, const QByteArray& salt, int iterations)
{
    const QByteArray hash =
        QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations, 32);
    return QStringLiteral("pbkdf2-sha256,%1,%2,%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(hash.toHex()));
}

bool isSet(const QString& programFolder)
{
    return QFile::exists(path(programFolder));
}

bool matches(const QString& programFolder, const QString& password)
{
    if (!isSet(programFolder))
        return true;
    const QStringList parts = storedLine(programFolder).split(u',');
    bool ok = false;
    const int iterations = parts.size() == 4 ? parts[1].toInt(&ok) : 0;
    // A file that is not one of ours lets nobody in; deleting it is the way back.
    if (parts.size() != 4 || parts[0] != QStringLiteral("pbkdf2-sha256") || !ok || iterations < 1 ||
        iterations > 10'000'000)
        return false;
    return line(password, QByteArray::fromHex(parts[2].toLatin1()), iterations) == parts.join(u',');
}

std::optional<QString> set(const QString& programFolder, const QString& password)
{
    const auto failure = [](const QString& reason) {
        return QStringLiteral("「%1」を書き込めません。\r\n理由：%2").arg(fileName(), reason);
    };
    if (password.isEmpty()) {
        if (isSet(programFolder) && !QFile::remove(path(programFolder)))
            return failure(describeSystemError(lastSystemError()));
        return std::nullopt;
    }
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), salt.size() / 4);
    const QByteArray text = (line(password, salt) + QStringLiteral("\r\n")).toLatin1();
    QSaveFile file(path(programFolder));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return failure(describeSystemError(lastSystemError()));
    return std::nullopt;
}

} // namespace teacherpassword
