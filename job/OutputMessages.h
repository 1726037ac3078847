#pragma once
// An unattended run's message sink: every message, file error and warning is a line of
// its output, as nobody is there to close a message box. A message or a file error is what
// a box would have ended the run with; a warning is one line among the run's.

#include "job/TextOutput.h"
#include "framework/MessageSink.h"

class COutputMessages : public CMessageSink {
public:
    explicit COutputMessages(CTextOutput& output) : m_output(output) {}

    void Message(const std::string& text) override { m_output.PrintClosing(text); }
    void FileError(const std::string& text) override { m_output.PrintClosing(text); }
    void Warning(const std::string& text) override { m_output.Print(text); }

private:
    CTextOutput& m_output;
};
