#pragma once
// The switches of an unattended run, read from the wide command line as typed, so that a
// Japanese path or form name arrives whole whatever the console's code page.

#include <string>
#include <vector>

struct CommandLineOptions {
    bool usage = false;
    bool serverGiven = false;
    std::string server;
    std::string db;
    std::string form;
    bool fieldsGiven = false;
    std::vector<std::string> fields;  // empty: every field of the form
    std::string csv;
    bool logGiven = false;
    std::string log;
    std::string text;  // the arguments as the log records them
};

// The arguments after the program's name.
std::vector<std::wstring> ProcessArguments();

// Reads `arguments` (native text after conversion to code page 932). False when one is
// refused; `message` then holds the text that says which and why.
bool ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options,
                      std::string& message);
