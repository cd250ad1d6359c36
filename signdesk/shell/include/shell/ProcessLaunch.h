#pragma once
// Starting another program.

#include <string>
#include <vector>

// Splits a command line into arguments by the Windows rules: blanks and tabs separate
// arguments outside double quotes; 2n backslashes before a quote give n and the quote opens
// or closes quoting, 2n + 1 give n and a literal quote; "" inside quotes is a literal quote.
// The first argument (the program) ends at the next quote when it starts with one.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Starts the command line's program (searched on PATH) and waits at most timeoutMs for it
// to end; -1 returns at once. A process still running is reaped when it ends, never left
// behind. A start that fails is reported in a message box "Unable to run:<command line>".
void RunProcessAndWait(const char* commandLine, int timeoutMs);
