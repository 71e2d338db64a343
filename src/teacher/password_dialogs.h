#pragma once

#include <QString>

class MessageBox;
class QWidget;

// The questions about the teacher's password (teacher/teacher_password.h).
namespace passworddialogs {

// Asks for the password when one is set; true when the teacher's window may open.
bool unlock(QWidget* parent, MessageBox& messages, const QString& programFolder);
// Sets a new password (typed twice), or removes it when left empty.
void change(QWidget* parent, MessageBox& messages, const QString& programFolder);

} // namespace passworddialogs
