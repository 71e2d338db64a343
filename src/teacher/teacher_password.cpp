#include "teacher_password.h"

#include "pbkdf2.h"

#include <QRandomGenerator>

namespace teacherpassword {

QString rule()
{
    return QStringLiteral(
               "パスワードは %1〜%2 文字です。全角と半角の英数字は同じ文字として扱い、前後の空白は数えません。")
        .arg(kMinLength)
        .arg(kMaxLength);
}

QString normalised(const QString& typed)
{
    return typed.normalized(QString::NormalizationForm_KC).trimmed();
}

std::optional<QString> problem(const QString& typed)
{
    const qsizetype length = normalised(typed).size();
    if (length < kMinLength || length > kMaxLength)
        return QStringLiteral("%1文字では使えません。").arg(length) + rule();
    return std::nullopt;
}

QString line(const QString& password, const QByteArray& salt, int iterations)
{
    const QByteArray hash = pbkdf2Sha256(normalised(password).toUtf8(), salt, iterations);
    return QStringLiteral("pbkdf2-sha256,%1,%2,%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(hash.toHex()));
}

Check beforeAsking(const teacherlock::Places& places, const QDateTime& now)
{
    const teacherlock::State state = teacherlock::state(places);
    if (state.status == teacherlock::Status::None)
        return {Check::Outcome::Open, QString()};
    if (state.status == teacherlock::Status::Broken)
        return {Check::Outcome::Broken, state.why};
    if (const int left = teacherlock::secondsLeft(teacherlock::readLockout(places, now), now); left > 0)
        return {
            Check::Outcome::Locked,
            QStringLiteral("パスワードが何度もちがったため、あと %1 は先生用の画面を開けません。")
                .arg(left >= 60 ? QStringLiteral("%1 分").arg((left + 59) / 60) : QStringLiteral("%1 秒").arg(left))};
    return {Check::Outcome::Accepted, QString()};
}

Check check(const teacherlock::Places& places, const QString& typed, const QDateTime& now)
{
    const Check before = beforeAsking(places, now);
    if (before.outcome != Check::Outcome::Accepted)
        return before;
    const QString stored = teacherlock::state(places).line;
    const QStringList parts = stored.split(u',');
    if (line(typed, QByteArray::fromHex(parts[2].toLatin1()), parts[1].toInt()) == stored) {
        teacherlock::clearLockout(places);
        teacherlock::store(places, stored); // marks an earlier version did not leave are made
        return {Check::Outcome::Accepted, QString()};
    }
    const teacherlock::Lockout after = teacherlock::afterWrongTry(teacherlock::readLockout(places, now), now);
    teacherlock::writeLockout(places, after);
    const int left = teacherlock::secondsLeft(after, now);
    return {Check::Outcome::Wrong,
            left > 0 ? QStringLiteral("パスワードがちがいます。%1 回まちがえたため、%2 秒は開けません。")
                           .arg(after.failures)
                           .arg(left)
                     : QStringLiteral("パスワードがちがいます（あと %1 回まちがえると、しばらく開けなくなります）。")
                           .arg(teacherlock::kFreeTries - after.failures)};
}

std::optional<QString> set(const teacherlock::Places& places, const QString& password)
{
    if (password.isEmpty())
        return teacherlock::store(places, QString());
    if (const auto bad = problem(password))
        return bad;
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), salt.size() / 4);
    return teacherlock::store(places, line(password, salt));
}

} // namespace teacherpassword
