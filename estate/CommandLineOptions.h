#pragma once
// What an unattended run was asked to do, as its switches said it: the command line reads
// them, the runs over one database or many carry them out.

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
    bool lossless = false;    // the lossless format, summary.csv too
    std::string text;         // the arguments as the log records them
};

// The server the databases are on; empty for the local file system.
inline std::string ServerOf(const CommandLineOptions& options) {
    return options.serverGiven ? options.server : std::string();
}
