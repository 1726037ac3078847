#pragma once
// The progress window as an export run's report: it stands from the run's start to its end.

#include "export/ExportProgress.h"
#include "export/ProgressDlg.h"

class CWindowProgress : public CExportProgress {
public:
    // Shows the window at 0 percent with the export's message.
    CWindowProgress();

    void Advance(unsigned long done, unsigned long total) override;
    void Finish() override;

private:
    CProgressDlg m_dialog;
};
