#include "export/ExportProgress.h"

#include "export/WindowProgress.h"

#include <utility>

namespace {
ExportProgressMaker& Maker() {
    static ExportProgressMaker maker;
    return maker;
}
}  // namespace

ExportProgressMaker SetExportProgressMaker(ExportProgressMaker maker) {
    return std::exchange(Maker(), std::move(maker));
}

std::unique_ptr<CExportProgress> MakeExportProgress() {
    if (Maker()) return Maker()();
    return std::make_unique<CWindowProgress>();
}
