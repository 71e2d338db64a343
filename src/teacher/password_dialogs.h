#pragma once

#include <QString>

#include "state/services.h"

class QWidget;

// The questions about the teacher's password (teacher/teacher_password.h).
namespace passworddialogs {

// Asks for the password when one is set; true when the teacher's window may open.
bool unlock(QWidget* parent, Services services);
// Sets a new password (typed twice), or removes it when left empty.
void change(QWidget* parent, Services services);

} // namespace passworddialogs
