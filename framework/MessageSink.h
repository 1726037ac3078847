#pragma once
// Where a job's messages go: message boxes when the windows run it, the console when the
// command line does. The job is handed one and never asks the process where to report.

#include <string>

class CMessageSink {
public:
    virtual ~CMessageSink() = default;

    // The program's usual message: a refusal, a Notes error, the end of an export.
    virtual void Message(const std::string& text) = 0;
    // A file that could not be written: its path and the cause.
    virtual void FileError(const std::string& text) = 0;
    // A warning as the job writes it into its log.
    virtual void Warning(const std::string& text) = 0;
};

// The windows' sink: the usual message box, the file-error box; warnings stay in the log.
class CMessageBoxSink : public CMessageSink {
public:
    void Message(const std::string& text) override;
    void FileError(const std::string& text) override;
    void Warning(const std::string& text) override;
};

// The message boxes of the program, for every writer not handed another sink.
CMessageSink& MessageBoxes();
