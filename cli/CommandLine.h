#pragma once
// The switches of an unattended run, read from the wide command line as typed, so that a
// Japanese path or form name arrives whole whatever the console's code page.

#include "estate/CommandLineOptions.h"

#include <string>
#include <vector>

// `wide` in code page 932. False when it cannot hold every character; `out` then holds the
// text with those characters replaced, to name the argument by.
bool ToCodePage932(const std::wstring& wide, std::string& out);

// The arguments after the program's name.
std::vector<std::wstring> ProcessArguments();

// Reads `arguments` (native text after conversion to code page 932). False when one is
// refused; `message` then holds the text that says which and why (the first refused), and
// `options` what the other arguments say.
bool ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options,
                      std::string& message);
