#pragma once

#include <QString>

class MessageBox;
class ProgramEnd;

// A results file that could not be opened, locked, read or written.
struct RecordsError
{
    QString fileName; // the file's own name, as the teacher sees it in the folder
    QString action;   // what the program was doing, in Japanese
    int code = 0;
    QString systemText;
    bool busy = false; // another program held the file's lock for longer than the program waits
    // What could not be done and why, in two lines.
    QString reason() const;
    // The reason, and that the program ends.
    QString message() const;
};

// Shows the error and ends the program: results files have no recovery.
void reportFatal(MessageBox& messages, ProgramEnd& end, const QString& text);
