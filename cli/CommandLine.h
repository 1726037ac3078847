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
    bool iniGiven = false;
    std::string ini;          // the notes.ini Notes starts with instead of the client's
    bool subfolders = false;  // a folder given to /db: the folders below it too
    bool list = false;        // print the forms and fields instead of exporting
    std::string out;          // the folder of an export of several databases or forms
    bool attachmentsGiven = false;
    std::string attachments;  // where the attached files go: relative to the CSV file's folder, or absolute
    std::string text;         // the arguments as the log records them
};

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
