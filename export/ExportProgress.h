#pragma once
// Where an export run reports how far it has come: the progress window for the wizard,
// the console for an unattended run. The run asks for one when it starts.

#include <functional>
#include <memory>

class CExportProgress {
public:
    virtual ~CExportProgress() = default;

    // `done` notes of the table's `total` have been handled. A table may count fewer notes
    // than its scan yields, so `done` can pass `total`, and `total` can be 0.
    virtual void Advance(unsigned long done, unsigned long total) = 0;
    // The run went through its whole note table.
    virtual void Finish() = 0;
};

using ExportProgressMaker = std::function<std::unique_ptr<CExportProgress>()>;

// Replaces what the next runs report to; an empty maker restores the progress window.
// Returns the old one.
ExportProgressMaker SetExportProgressMaker(ExportProgressMaker maker);

// What the run about to start reports to.
std::unique_ptr<CExportProgress> MakeExportProgress();
