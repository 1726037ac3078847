#pragma once
// Where an export run reports how far it has come: the progress window for the wizard,
// the console for an unattended run. The run makes one, with the maker its job was handed,
// when it starts.

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
