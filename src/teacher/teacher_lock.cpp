#include "teacher_lock.h"

#include "school/school_settings.h"
#include "text/cp932.h"
#include "text/text_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace teacherlock {
namespace {

QString firstLine(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.read(1024)).section(u'\n', 0, 0).trimmed();
}

std::optional<QString> writeLine(const QString& path, const QString& line)
{
    if (const auto error = textfile::replace(path, (line + QStringLiteral("\r\n")).toLatin1()))
        return QStringLiteral("「%1」を書き込めません（%2）。").arg(QFileInfo(path).fileName(), *error);
    return std::nullopt;
}

std::optional<QString> removeFile(const QString& path)
{
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !QFile::remove(path))
        return QStringLiteral("「%1」を消せません。").arg(info.fileName());
    return std::nullopt;
}

Lockout parseLockout(const QString& line, bool* damaged)
{
    // failures,lockedAt (ISO, UTC),lockSeconds
    const QStringList parts = line.split(u',');
    Lockout l;
    bool okFailures = false, okSeconds = false;
    if (parts.size() == 3) {
        l.failures = parts[0].toInt(&okFailures);
        l.lockSeconds = parts[2].toInt(&okSeconds);
        if (!parts[1].isEmpty())
            l.lockedAt = QDateTime::fromString(parts[1], Qt::ISODate);
    }
    *damaged =
        !line.isEmpty() && (parts.size() != 3 || !okFailures || !okSeconds || l.failures < 0 || l.lockSeconds < 0 ||
                            l.lockSeconds > kLongestLockSeconds || (!parts[1].isEmpty() && !l.lockedAt.isValid()));
    return l;
}

} // namespace

Places placesOf(const Folders& folders)
{
    return {folders.sharedFolder, folders.programFolder};
}

QString passwordFileName()
{
    return QStringLiteral("先生用パスワード.txt");
}

QString markFileName()
{
    return QStringLiteral("先生用パスワードの印.txt");
}

QString lockoutFileName()
{
    return QStringLiteral("先生用パスワードの記録.txt");
}

QString fingerprint(const QString& line)
{
    return QString::fromLatin1(QCryptographicHash::hash(line.toLatin1(), QCryptographicHash::Sha256).toHex().left(32));
}

bool wellFormed(const QString& line)
{
    const QStringList parts = line.split(u',');
    bool ok = false;
    const int iterations = parts.size() == 4 ? parts[1].toInt(&ok) : 0;
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]+$"));
    return parts.size() == 4 && parts[0] == QStringLiteral("pbkdf2-sha256") && ok && iterations >= 1 &&
           iterations <= kMaxIterations && parts[2].size() == 32 && parts[3].size() == 64 &&
           hex.match(parts[2]).hasMatch() && hex.match(parts[3]).hasMatch();
}

State state(const Places& places)
{
    const QString passwordPath = places.sharedFolder + passwordFileName();
    const QFileInfo info(passwordPath);
    const bool present = info.exists() || info.isSymLink();
    const QString line = firstLine(passwordPath);
    QStringList marks;
    const QString settingsMark = schoolsettings::read(places.sharedFolder).settings.passwordMark;
    if (!settingsMark.isEmpty())
        marks << settingsMark;
    const QString folderMark = firstLine(QDir(places.programFolder).filePath(markFileName()));
    if (!folderMark.isEmpty())
        marks << folderMark;
    if (!present && marks.isEmpty())
        return {Status::None, QString(), QString()};
    const QString advice = QStringLiteral("先生用の画面は閉じたままです。パスワードを決めなおすには、管理者が"
                                          "プログラムのフォルダで divisor-drill --reset-teacher-password を"
                                          "実行してください。");
    if (!present)
        return {
            Status::Broken, QString(),
            QStringLiteral("先生用パスワードが決められているはずですが、「%1」がありません。").arg(passwordFileName()) +
                advice};
    if (!wellFormed(line))
        return {
            Status::Broken, QString(),
            QStringLiteral("「%1」がこわれています（空、短い、または知らない書き方です）。").arg(passwordFileName()) +
                advice};
    const QString print = fingerprint(line);
    if (std::any_of(marks.cbegin(), marks.cend(), [&print](const QString& m) { return m != print; }))
        return {Status::Broken, QString(),
                QStringLiteral("「%1」が、決めたときのものと入れかわっています。").arg(passwordFileName()) + advice};
    return {Status::Set, line, QString()};
}

Lockout readLockout(const Places& places, const QDateTime& now)
{
    // The larger of the two records holds: deleting one of them lifts nothing.
    Lockout worst;
    for (const QString& folder : {places.sharedFolder, places.programFolder}) {
        bool damaged = false;
        const Lockout l = parseLockout(firstLine(QDir(folder).filePath(lockoutFileName())), &damaged);
        if (damaged) // what cannot be read counts as the longest lock, from now
            return {kFreeTries, now.toUTC(), kLongestLockSeconds};
        if (l.failures > worst.failures)
            worst.failures = l.failures;
        if (l.lockedAt.isValid() && (!worst.lockedAt.isValid() ||
                                     l.lockedAt.addSecs(l.lockSeconds) > worst.lockedAt.addSecs(worst.lockSeconds))) {
            worst.lockedAt = l.lockedAt;
            worst.lockSeconds = l.lockSeconds;
        }
    }
    return worst;
}

int secondsLeft(const Lockout& lockout, const QDateTime& now)
{
    if (!lockout.lockedAt.isValid() || lockout.lockSeconds <= 0)
        return 0;
    const qint64 since = lockout.lockedAt.secsTo(now);
    if (since < 0) // the clock was set back: the lock starts over, it never ends early
        return lockout.lockSeconds;
    return int(std::max<qint64>(0, lockout.lockSeconds - since));
}

Lockout afterWrongTry(Lockout lockout, const QDateTime& now)
{
    ++lockout.failures;
    if (lockout.failures >= kFreeTries) {
        const int over = std::min(lockout.failures - kFreeTries, 10);
        lockout.lockSeconds = std::min(kFirstLockSeconds << over, kLongestLockSeconds);
        lockout.lockedAt = now.toUTC();
    }
    return lockout;
}

std::optional<QString> writeLockout(const Places& places, const Lockout& lockout)
{
    const QString line =
        QStringLiteral("%1,%2,%3")
            .arg(lockout.failures)
            .arg(lockout.lockedAt.isValid() ? lockout.lockedAt.toUTC().toString(Qt::ISODate) : QString())
            .arg(lockout.lockSeconds);
    std::optional<QString> error;
    for (const QString& folder : {places.sharedFolder, places.programFolder}) {
        if (const auto failed = writeLine(QDir(folder).filePath(lockoutFileName()), line))
            error = failed;
    }
    return error;
}

void clearLockout(const Places& places)
{
    for (const QString& folder : {places.sharedFolder, places.programFolder})
        QFile::remove(QDir(folder).filePath(lockoutFileName()));
}

std::optional<QString> store(const Places& places, const QString& line)
{
    if (line.isEmpty())
        return reset(places);
    // The marks first: a password file never stands without them. A step refused (a full disk,
    // a read-only folder) puts the earlier ones back, so the old password and its marks hold.
    const QString print = fingerprint(line);
    const QString markPath = QDir(places.programFolder).filePath(markFileName());
    const textfile::Earlier settings = textfile::earlier(places.sharedFolder + schoolsettings::fileName());
    const textfile::Earlier mark = textfile::earlier(markPath);
    if (const auto error = schoolsettings::setPasswordMark(places.sharedFolder, print))
        return error;
    if (const auto error = writeLine(markPath, print)) {
        textfile::putBack(settings);
        return error;
    }
    if (const auto error = writeLine(places.sharedFolder + passwordFileName(), line)) {
        textfile::putBack(mark);
        textfile::putBack(settings);
        return error;
    }
    removeFile(QDir(places.programFolder).filePath(passwordFileName())); // an earlier version's
    clearLockout(places);
    return std::nullopt;
}

std::optional<QString> reset(const Places& places)
{
    std::optional<QString> error;
    const auto keep = [&error](const std::optional<QString>& failed) {
        if (failed && !error)
            error = failed;
    };
    keep(removeFile(places.sharedFolder + passwordFileName()));
    keep(removeFile(QDir(places.programFolder).filePath(passwordFileName())));
    keep(removeFile(QDir(places.programFolder).filePath(markFileName())));
    if (!schoolsettings::read(places.sharedFolder).settings.passwordMark.isEmpty())
        keep(schoolsettings::setPasswordMark(places.sharedFolder, QString()));
    clearLockout(places);
    return error;
}

void takeOver(const Places& places)
{
    const QString old = QDir(places.programFolder).filePath(passwordFileName());
    if (!QFileInfo(old).isFile() || QFileInfo::exists(places.sharedFolder + passwordFileName()))
        return;
    const QString line = firstLine(old);
    if (wellFormed(line))
        store(places, line); // the password as it was, now the school's
}

} // namespace teacherlock
