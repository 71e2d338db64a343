#pragma once

// `divisor-drill --check-results`: checks the results files of the installation the program
// lives in, writes one line per finding to the standard output and returns 0 (sound),
// 1 (something found) or 2 (a file could not be read). Nothing is written to any file.
int runResultsCheck(int argc, char* argv[]);
