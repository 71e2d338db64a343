#pragma once

#include <QString>
#include <optional>

// The teacher's password (先生用パスワード), which a school may set so that a pupil who chooses
// the teacher's name cannot open the teacher's panel, the class view or the roster window.
// Only a salted, slow hash is kept: "先生用パスワード.txt" in the program folder, one line
//     pbkdf2-sha256,ITERATIONS,SALT,HASH          (salt and hash in hexadecimal)
// An administrator who has lost the password deletes that file: the windows then open freely.
namespace teacherpassword {

constexpr int kIterations = 200000;

QString fileName();
bool isSet(const QString& programFolder);
// Whether the password is the one set (true when none is set).
bool matches(const QString& programFolder, const QString& password);
// Sets a new password (an empty one removes it); the error, in Japanese.
std::optional<QString> set(const QString& programFolder, const QString& password);

// The line kept for a password and a salt (for the tests: the same salt gives the same line).
QString line(const QString& password, const QByteArray& salt, int iterations = kIterations);

} // namespace teacherpassword
