#pragma once
// The installer's run from its command line to its exit status.
//
//   cutterman                 maintenance mode on the user's device file
//   cutterman FOLDER/WORD     set-up mode on the installed suite in FOLDER; WORD names the
//   cutterman FOLDER WORD     main program's settings file ("signdesk.ini")
//
// Exit status 0; 1 for a bad command line, a file not written or another run in progress
// (the reason on standard error); 3 when nobody could answer the dialog (no display and no
// script), after the spooler refresh.

#include <string>
#include <vector>

struct CommandLine {
    bool setup = false;
    bool valid = true;
    std::string folder; // native, without a drive letter
    std::string word;
};

// With a backslash the argument keeps the original split (at the first '/', a drive letter
// dropped); otherwise it splits at the last '/'. Two arguments are the folder and the word.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

int RunCutterman(const std::vector<std::string>& arguments);
