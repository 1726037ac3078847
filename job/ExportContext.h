#pragma once
// What one export job writes to and reports to, handed to it by its front end: the wizard
// gives its log and file, the progress window and message boxes; the command line gives a
// log and a file of the job's own and the console. Nothing of the process is rewired, so
// jobs can run one after the other in one process, each with its own log and file.

#include "attachments/AttachmentWriter.h"
#include "export/CsvFile.h"
#include "export/ExportProgress.h"
#include "job/ExportTotals.h"
#include "job/StopToken.h"
#include "framework/MessageSink.h"
#include "log/SysLog.h"
#include "notes/NsfNote.h"

#include <memory>
#include <string>

class CExportContext {
public:
    // The log and the file report their failures to `messages` from now on.
    CExportContext(CSysLog& log, CCsvFile& file, CMessageSink& messages, ExportProgressMaker makeProgress);

    // A warning: told to the sink, then written into the log.
    void Warn(const std::string& text);
    // What the run about to start reports its progress to.
    std::unique_ptr<CExportProgress> StartProgress() const { return m_makeProgress(); }

    CSysLog& log;
    CCsvFile& file;
    CMessageSink& messages;
    // Writes the attached files of each exported document, and the CSV gains a column that
    // lists them; null for an export of the fields alone.
    CAttachmentWriter* attachments = nullptr;
    // Set from outside to stop the run before its next document; null for a run nobody can
    // stop (the wizard's progress window offers no stop).
    const CStopToken* stop = nullptr;
    bool StopRequested() const { return stop != nullptr && stop->Requested(); }
    // What a signed document's opening does with its signature: the wizard signs it again, an
    // unattended run only checks it, so that nothing asks for the ID's password.
    SignatureStep signatures = SignatureStep::kSign;

    // The closing count into the log: the documents, then the attachments of a run that wrote them.
    void LogTotals(const ExportTotals& totals);

private:
    ExportProgressMaker m_makeProgress;
};
