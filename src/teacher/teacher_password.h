#pragma once

#include "teacher_lock.h"

#include <QDateTime>
#include <QString>
#include <optional>

// The teacher's password (先生用パスワード), one for the whole school, which keeps pupils out of the
// teacher's panel, the class view, the roster window and the school's settings. Only a salted,
// slow hash is kept (PBKDF2-SHA256, kIterations rounds), where teacherlock says; what a pupil can
// delete or replace keeps the tools shut rather than opening them.
namespace teacherpassword {

constexpr int kIterations = 200000;
constexpr int kMinLength = 4;
constexpr int kMaxLength = 64;

// The one rule for a password, as the dialog states it: 4 to 64 characters, full- and half-width
// forms of a letter or digit the same, blanks at either end not counted.
QString rule();
QString normalised(const QString& typed);
std::optional<QString> problem(const QString& typed);

// The line kept for a password and a salt (for the tests: the same salt gives the same line).
QString line(const QString& password, const QByteArray& salt, int iterations = kIterations);

struct Check
{
    enum class Outcome
    {
        Open,     // no password is set
        Accepted, // the right one
        Wrong,
        Locked, // too many wrong tries: not even the right one opens until the lock ends
        Broken  // the password file is missing, damaged or replaced: only the administrator's reset helps
    };
    Outcome outcome = Outcome::Open;
    QString message; // in Japanese, for every outcome but Open and Accepted
};
// Whether the tools may open before anything is typed: Open, Locked or Broken say so at once;
// Accepted means a password is to be asked.
Check beforeAsking(const teacherlock::Places& places, const QDateTime& now);
// A password typed: a wrong one is counted, in the shared folder and the program folder.
Check check(const teacherlock::Places& places, const QString& typed, const QDateTime& now);
// Sets a new password (an empty one removes it); the error, in Japanese.
std::optional<QString> set(const teacherlock::Places& places, const QString& password);

} // namespace teacherpassword
