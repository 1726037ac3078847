// The runtime's database loader on arbitrary bytes as a database file. Whatever the file,
// loading ends with a status (0, "not a database" or "damaged") and no sanitizer report;
// a database that loads is consistent: its notes in ascending, distinct id order, every
// design note listed once, and every item's text (as NSFItemConvertToText makes it) can be
// cut to any buffer on a character boundary. An indexed file is also walked through its
// document table: ascending ids, and every listed document opens or is reported broken.
#include "nnotes/Lmbcs.h"
#include "nnotes/Store.h"
#include "nnotes/TextFormat.h"

#include "CharacterRules.h"
#include "FuzzCheck.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

// One file per process, written for every input and removed once loaded (libFuzzer may
// end the process without running static destructors).
const std::string& DatabasePath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/qs-fuzz-database-" +
               std::to_string(getpid()) + ".nsf";
    }();
    return path;
}

void CheckText(const std::string& text) {
    // Every cut a caller's buffer can force ends on a character boundary, the last one that
    // fits: the boundaries come from LMBCS's definition (CharacterRules.h), not the runtime.
    std::vector<size_t> boundaries{0};
    while (boundaries.back() < text.size()) {
        const size_t at = boundaries.back();
        boundaries.push_back(at + rules::LmbcsCharLength(text.data() + at, text.size() - at));
    }
    size_t fit = 0;
    for (size_t limit = 0; limit <= text.size() && limit < 64; ++limit) {
        while (fit + 1 < boundaries.size() && boundaries[fit + 1] <= limit) ++fit;
        QS_FUZZ_CHECK(nnotes::LmbcsFit(text, limit) == boundaries[fit]);
    }
    (void)nnotes::LmbcsToUtf8(text);
}

void CheckNote(const nnotes::Database& db, const nnotes::Note& note) {
    for (const std::vector<nnotes::Item>* items : {&note.items, &note.summary}) {
        for (const nnotes::Item& item : *items) {
            QS_FUZZ_CHECK(note.FindItem(item.name) != nullptr || items == &note.summary);
            std::string text;
            for (char separator : {';', '\0'}) {
                if (nnotes::ItemText(item, separator, &text)) CheckText(text);
            }
            CheckText(item.name);
        }
    }
    for (const std::string& name : note.names) CheckText(name);
    (void)db.Fault("NSFNoteOpen", &note);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = DatabasePath();
    FILE* f = std::fopen(path.c_str(), "wb");
    QS_FUZZ_CHECK(f != nullptr);
    QS_FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);

    std::shared_ptr<const nnotes::Database> db;
    const nnotes::Status status = nnotes::LoadDatabase(path, &db);
    std::remove(path.c_str());
    QS_FUZZ_CHECK(status == nnotes::kNoError || status == nnotes::kErrNotDatabase ||
                  status == nnotes::kErrDamaged);
    if (status != nnotes::kNoError) {
        QS_FUZZ_CHECK(db == nullptr);
        return 0;
    }
    QS_FUZZ_CHECK(db != nullptr);
    CheckText(db->title);
    for (size_t i = 0; i < db->notes.size(); ++i) {
        const nnotes::Note& note = db->notes[i];
        QS_FUZZ_CHECK(note.id != 0);
        if (i > 0) QS_FUZZ_CHECK(db->notes[i - 1].id < note.id);
        QS_FUZZ_CHECK(db->FindNote(note.id) == &note);
        CheckNote(*db, note);
    }
    // Every note the table lists (the documents of an indexed file come from the file):
    // ascending ids, and each one opens or is reported broken, never missing.
    nnotes::NoteId previous = 0;
    size_t opened = 0;
    const nnotes::Status listed =
        nnotes::ForEachNote(*db, [&](nnotes::NoteId id, uint16_t, const nnotes::TimeDate&) -> nnotes::Status {
            QS_FUZZ_CHECK(id > previous);
            previous = id;
            if (opened++ < 64) {
                std::shared_ptr<const nnotes::Note> note;
                const nnotes::Status s = nnotes::OpenNote(db, id, &note);
                QS_FUZZ_CHECK(s == nnotes::kNoError || s == nnotes::kErrDamaged);
                if (s == nnotes::kNoError) {
                    QS_FUZZ_CHECK(note->id == id);
                    CheckNote(*db, *note);
                }
            }
            return nnotes::kNoError;
        });
    QS_FUZZ_CHECK(listed == nnotes::kNoError || listed == nnotes::kErrDamaged);
    std::set<size_t> design(db->designOrder.begin(), db->designOrder.end());
    QS_FUZZ_CHECK(design.size() == db->designOrder.size());
    for (size_t index : db->designOrder) QS_FUZZ_CHECK(index < db->notes.size());
    return 0;
}
