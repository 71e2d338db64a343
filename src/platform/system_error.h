#pragma once

#include <QString>

// A system error as the teacher reads it: the common reasons in Japanese, with the system's
// own words after them in parentheses for whoever the school calls for help. The code is an
// errno value on POSIX systems and a GetLastError value on Windows.
QString describeSystemError(int code);

// The code of the system call that failed last in this thread (errno, GetLastError()).
int lastSystemError();

// The Japanese reason alone, or an empty text for an error without a common reason.
QString commonReason(int code);
