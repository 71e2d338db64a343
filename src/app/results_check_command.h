#pragma once

// `divisor-drill --check-results`: checks the results files of the installation the program
// lives in, writes one line per finding to the standard output and returns 0 (sound),
// 1 (something found) or 2 (a file could not be read). Nothing is written to any file.
int runResultsCheck(int argc, char* argv[]);

// `divisor-drill --import-roster FILE [--dry-run]`, run in the program's folder: the class list
// into the roster, all or nothing, the plan printed line by line. Exit code 0 when it was taken
// (or there was nothing to take), 1 when a row has a problem (nothing is written), 2 when a file
// cannot be read or written.
int runRosterImport(int argc, char* argv[]);

// `divisor-drill --undo-import`: the roster as it was before the last import, when nothing has
// changed it since. Exit code 0 when put back, 1 when it cannot be (the reason printed), 2 when
// the settings cannot be read.
int runImportUndo(int argc, char* argv[]);

// `divisor-drill --reset-teacher-password`: the administrator's way back when the teacher's
// password is lost or its file was deleted or damaged: the password, its marks and the wrong
// tries are removed. Exit code 0 when done, 2 when a file could not be removed or the settings
// cannot be read.
int runPasswordReset(int argc, char* argv[]);
