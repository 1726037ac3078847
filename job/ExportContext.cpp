#include "job/ExportContext.h"

#include <utility>

CExportContext::CExportContext(CSysLog& log, CCsvFile& file, CMessageSink& messages,
                               ExportProgressMaker makeProgress)
    : log(log), file(file), messages(messages), m_makeProgress(std::move(makeProgress)) {
    log.m_messages = &messages;
    file.m_messages = &messages;
}

void CExportContext::LogTotals(const ExportTotals& totals) {
    log.Write(LEVEL_INFO, ExportTotalsText(totals));
    if (attachments != nullptr) log.Write(LEVEL_INFO, AttachmentTotalsText(totals));
}

void CExportContext::Warn(const std::string& text) {
    // The sink first: a log that fails at this line reports it after the warning itself.
    messages.Warning(text);
    log.Write(LEVEL_WARNING, text);
}
