#pragma once

#include "state/shared_state.h"

#include <QDateTime>
#include <QString>
#include <optional>

// What keeps the teacher's tools shut once a password is set, whatever a pupil deletes or
// replaces. The password's slow hash is one line of "先生用パスワード.txt" in the shared folder,
// so every PC and every program folder of the school asks for the same one. That a password is
// set is also known from marks elsewhere — "学校の設定.txt" beside it and "先生用パスワードの印.txt"
// in each program folder that used it — each holding a fingerprint of the line: a deleted,
// emptied, damaged or replaced password file, or marks that disagree, keep the tools shut until
// an administrator resets the password (`--reset-teacher-password`). Wrong tries are counted in
// "先生用パスワードの記録.txt", in the shared folder and in the program folder, the larger count
// holding: after kFreeTries the tools are locked for 30 s, doubling to 15 min.
namespace teacherlock {

constexpr int kFreeTries = 5;
constexpr int kFirstLockSeconds = 30;
constexpr int kLongestLockSeconds = 15 * 60;

struct Places
{
    QString sharedFolder;
    QString programFolder;
};
Places placesOf(const Folders& folders);

QString passwordFileName(); // 先生用パスワード.txt
QString markFileName();     // 先生用パスワードの印.txt
QString lockoutFileName();  // 先生用パスワードの記録.txt
QString fingerprint(const QString& line);

enum class Status
{
    None,  // no password, and nothing says there was one
    Set,   // the line is there, and every mark agrees with it
    Broken // a mark says a password is set, but the line is missing, damaged or not the one marked
};
struct State
{
    Status status = Status::None;
    QString line; // the stored line, when Set
    QString why;  // when Broken: what was found, in Japanese
};
// A line is well formed when it is "pbkdf2-sha256,ITERATIONS,SALT,HASH" with iterations within
// 1..kMaxIterations (so that checking it never takes long), a 16-byte salt and a 32-byte hash.
constexpr int kMaxIterations = 1'000'000;
bool wellFormed(const QString& line);
State state(const Places& places);

// The wrong tries so far and the lock they brought.
struct Lockout
{
    int failures = 0;
    QDateTime lockedAt; // invalid: not locked
    int lockSeconds = 0;
};
Lockout readLockout(const Places& places, const QDateTime& now);
// Seconds until the lock ends; a clock set back before the lock began keeps the whole lock.
int secondsLeft(const Lockout& lockout, const QDateTime& now);
// One more wrong try: after kFreeTries a lock of 30 s, each further one twice as long, at most
// 15 min.
Lockout afterWrongTry(Lockout lockout, const QDateTime& now);
std::optional<QString> writeLockout(const Places& places, const Lockout& lockout);
void clearLockout(const Places& places);

// Stores a password's line with its marks and clears the wrong tries; an empty line removes the
// password and every mark. The error, in Japanese.
std::optional<QString> store(const Places& places, const QString& line);
// The administrator's way back: the password, its marks and the wrong tries all removed.
std::optional<QString> reset(const Places& places);
// A password kept by an earlier version in the program folder is taken into the shared folder,
// once, when the shared folder has none.
void takeOver(const Places& places);

} // namespace teacherlock
