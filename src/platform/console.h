#pragma once
// The program's console: whether a standard stream is a terminal a person
// watches (progress is drawn in place only there), and the command line and
// output in UTF-8, which every text of the program is.

#include <string>
#include <vector>

namespace pst {

bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

// The arguments after the program's name, in UTF-8. Linux hands them over
// as they were typed; Windows passes `argv` in the ANSI code page, which
// cannot hold every character, so they are read again from the system's
// UTF-16 command line.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Makes the console show UTF-8 output as text (Windows consoles otherwise
// use the OEM code page); nothing to do on Linux.
void useUtf8Console();

}  // namespace pst
