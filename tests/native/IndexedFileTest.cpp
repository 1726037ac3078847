// The indexed form of a database file against the JSON form it is packed from, and indexed
// files broken in each of their parts: a broken file is refused with a status, never read
// outside itself.
#include "nnotes/IndexedFile.h"
#include "nnotes/Store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using nnotes::Database;
using nnotes::Note;
using nnotes::NoteId;
using nnotes::Status;

const char kHead[] =
    R"({"format":"quillsheet-notes-database","version":1,"title":"Orders","faults":{"NIFReadEntries":582},)"
    R"("design":[{"class":"form","title":"Order|O","fields":[{"name":"Name","type":"text"}]},)"
    R"({"class":"view","title":"All","id":8}]})";

const std::vector<std::string> kDocuments = {
    R"({"id":100,"modified":"2024-03-05T14:07:09","items":[{"name":"Form","type":"text","value":"Order"},)"
    R"({"name":"Name","type":"text","value":"\u6c0f\u540d, \"x\""},{"name":"N","type":"number","value":1.5},)"
    R"({"name":"L","type":"textlist","value":["a","\u3042"]},{"name":"T","type":"timelist","value":["2024-01-02"]},)"
    R"({"name":"R","type":"richtext","value":["p1","p2"]},{"name":"Raw","type":1282,"hex":"0100ff00"},)"
    R"({"name":"F","type":"text","value":"x","flags":0}]})",
    R"({"id":96,"signed":true,"items":[]})",
    R"({"sealed":true,"undecryptable":true,"items":[{"name":"S","type":"text","value":"secret"}]})",
    R"({"signed":true,"sealed":true,"faults":{"NSFNoteOpen":582,"NSFItemScan":518},"items":[]})",
};

std::string TempPath(const char* name) {
    return ::testing::TempDir() + "qs-indexed-" + std::to_string(getpid()) + "-" + name + ".nsf";
}

bool Pack(const std::string& head, const std::vector<std::string>& documents, const std::string& path) {
    size_t i = 0;
    std::string error;
    const bool ok = nnotes::PackDatabase(
        head,
        [&](std::string* text) {
            if (i == documents.size()) return false;
            *text = documents[i++];
            return true;
        },
        path, &error);
    EXPECT_TRUE(ok) << error;
    return ok;
}

std::string JsonForm(const std::string& head, const std::vector<std::string>& documents) {
    std::string text = head.substr(0, head.size() - 1) + ",\"documents\":[";
    for (size_t i = 0; i < documents.size(); ++i) text += (i ? "," : "") + documents[i];
    return text + "]}";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct Listed {
    NoteId id;
    uint16_t noteClass;
    uint32_t modified0, modified1;
    bool operator==(const Listed& o) const {
        return id == o.id && noteClass == o.noteClass && modified0 == o.modified0 && modified1 == o.modified1;
    }
};

Status List(const Database& db, std::vector<Listed>* out) {
    out->clear();
    return nnotes::ForEachNote(db, [&](NoteId id, uint16_t noteClass, const nnotes::TimeDate& m) {
        out->push_back({id, noteClass, m.innards[0], m.innards[1]});
        return Status{nnotes::kNoError};
    });
}

void ExpectSameNote(const Note& a, const Note& b) {
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.noteClass, b.noteClass);
    EXPECT_EQ(a.isSigned, b.isSigned);
    EXPECT_EQ(a.isSealed, b.isSealed);
    EXPECT_EQ(a.undecryptable, b.undecryptable);
    EXPECT_EQ(a.faults, b.faults);
    ASSERT_EQ(a.items.size(), b.items.size());
    for (size_t i = 0; i < a.items.size(); ++i) {
        EXPECT_EQ(a.items[i].name, b.items[i].name);
        EXPECT_EQ(a.items[i].type, b.items[i].type);
        EXPECT_EQ(a.items[i].flags, b.items[i].flags);
        EXPECT_EQ(a.items[i].data, b.items[i].data);
    }
}

class IndexedFile : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& p : m_paths) std::remove(p.c_str());
    }
    std::string Path(const char* name) {
        m_paths.push_back(TempPath(name));
        return m_paths.back();
    }
    std::vector<std::string> m_paths;
};

TEST_F(IndexedFile, HoldsExactlyWhatTheJsonFormHolds) {
    const std::string json = Path("json"), indexed = Path("indexed");
    WriteBytes(json, JsonForm(kHead, kDocuments));
    ASSERT_TRUE(Pack(kHead, kDocuments, indexed));
    std::shared_ptr<const Database> a, b;
    ASSERT_EQ(nnotes::kNoError, nnotes::LoadDatabase(json, &a));
    ASSERT_EQ(nnotes::kNoError, nnotes::LoadDatabase(indexed, &b));
    EXPECT_EQ(a->title, b->title);
    EXPECT_EQ(a->faults, b->faults);
    // Only the design notes are held; the documents stay in the file.
    EXPECT_EQ(2u, b->notes.size());
    ASSERT_NE(nullptr, b->documents);
    EXPECT_EQ(4u, b->documents->count());
    ASSERT_EQ(a->designOrder.size(), b->designOrder.size());
    for (size_t i = 0; i < a->designOrder.size(); ++i) {
        const Note& x = a->notes[a->designOrder[i]];
        const Note& y = b->notes[b->designOrder[i]];
        ExpectSameNote(x, y);
        EXPECT_EQ(x.names, y.names);
    }
    std::vector<Listed> listA, listB;
    ASSERT_EQ(nnotes::kNoError, List(*a, &listA));
    ASSERT_EQ(nnotes::kNoError, List(*b, &listB));
    ASSERT_EQ(6u, listA.size());
    EXPECT_TRUE(listA == listB);
    for (const Listed& l : listA) {
        std::shared_ptr<const Note> x, y;
        ASSERT_EQ(nnotes::kNoError, nnotes::OpenNote(a, l.id, &x));
        ASSERT_EQ(nnotes::kNoError, nnotes::OpenNote(b, l.id, &y));
        SCOPED_TRACE(l.id);
        ExpectSameNote(*x, *y);
    }
    std::shared_ptr<const Note> none;
    EXPECT_EQ(nnotes::kErrInvalidNoteId, nnotes::OpenNote(b, 12, &none));
    EXPECT_EQ(nnotes::kErrInvalidNoteId, nnotes::OpenNote(b, 0xFFFFFFFC, &none));
}

TEST_F(IndexedFile, FindsEveryDocumentOfManyInAnyOrder) {
    // Irregular ids over several blocks of the table, read forwards, backwards and by halves.
    std::vector<std::string> docs;
    std::vector<NoteId> ids;
    for (NoteId n = 0; n < 2500; ++n) {
        const NoteId id = 0x1000 + 4 * n + (n % 7 == 0 ? 0x100000 : 0);
        ids.push_back(id);
        docs.push_back(R"({"id":)" + std::to_string(id) +
                       R"(,"items":[{"name":"N","type":"number","value":)" + std::to_string(n) + "}]}");
    }
    const std::string path = Path("many");
    ASSERT_TRUE(Pack(kHead, docs, path));
    std::shared_ptr<const Database> db;
    ASSERT_EQ(nnotes::kNoError, nnotes::LoadDatabase(path, &db));
    std::vector<Listed> listed;
    ASSERT_EQ(nnotes::kNoError, List(*db, &listed));
    ASSERT_EQ(2502u, listed.size());
    for (size_t i = 1; i < listed.size(); ++i) ASSERT_LT(listed[i - 1].id, listed[i].id);
    std::vector<size_t> order;
    for (size_t i = 0; i < ids.size(); ++i) order.push_back(i);
    for (size_t i = ids.size(); i-- > 0;) order.push_back(i);
    for (size_t i = 0; i < ids.size(); i += 2) order.push_back((i * 977) % ids.size());
    for (size_t i : order) {
        std::shared_ptr<const Note> note;
        ASSERT_EQ(nnotes::kNoError, nnotes::OpenNote(db, ids[i], &note)) << ids[i];
        ASSERT_EQ(1u, note->items.size());
        double v = 0;
        std::memcpy(&v, note->items[0].data.data(), sizeof v);
        EXPECT_EQ(static_cast<double>(i), v);
        std::shared_ptr<const Note> missing;
        EXPECT_EQ(nnotes::kErrInvalidNoteId, nnotes::OpenNote(db, ids[i] + 2, &missing));
    }
}

TEST_F(IndexedFile, PackerRefusesDuplicateIdsAndBrokenDocuments) {
    std::string error;
    EXPECT_FALSE(nnotes::PackDatabase(
        kHead,
        [n = 0](std::string* t) mutable {
            *t = R"({"id":100,"items":[]})";
            return n++ < 2;
        },
        Path("dup"), &error));
    EXPECT_NE(std::string::npos, error.find("100")) << error;
    // A document on a design note's id.
    EXPECT_FALSE(nnotes::PackDatabase(
        kHead,
        [n = 0](std::string* t) mutable {
            *t = R"({"id":8,"items":[]})";
            return n++ < 1;
        },
        Path("design-id"), &error));
    EXPECT_FALSE(nnotes::PackDatabase(
        kHead,
        [n = 0](std::string* t) mutable {
            *t = R"({"items":[{"name":""}]})";
            return n++ < 1;
        },
        Path("broken"), &error));
    EXPECT_FALSE(nnotes::PackDatabase(
        JsonForm(kHead, kDocuments), [](std::string*) { return false; }, Path("head-with-documents"),
        &error));
}

// Where each part of a packed file lies, to break it on purpose.
struct Layout {
    uint64_t headLength, indexOffset, count;
};

uint64_t Le(const std::string& b, size_t at, size_t n) {
    uint64_t v = 0;
    for (size_t i = n; i > 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i - 1]);
    return v;
}

void PutLe(std::string& b, size_t at, size_t n, uint64_t v) {
    for (size_t i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct Breakage {
    const char* what;
    std::function<void(std::string&, const Layout&)> apply;
    Status atLoad;  // then, if it loads:
    Status atList;
    Status atOpen100;
};

const Breakage kBreakages[] = {
    {"cut inside the fixed header", [](std::string& b, const Layout&) { b.resize(20); }, nnotes::kErrDamaged,
     0, 0},
    {"head longer than the file", [](std::string& b, const Layout&) { PutLe(b, 8, 4, 0xFFFFFFF0); },
     nnotes::kErrDamaged, 0, 0},
    {"reserved word set", [](std::string& b, const Layout&) { PutLe(b, 12, 4, 1); }, nnotes::kErrDamaged, 0,
     0},
    {"head that is not JSON", [](std::string& b, const Layout&) { b[32] = '['; }, nnotes::kErrDamaged, 0, 0},
    {"table beyond the file", [](std::string& b, const Layout& l) { PutLe(b, 16, 8, l.indexOffset + 1); },
     nnotes::kErrDamaged, 0, 0},
    {"more entries than the table holds",
     [](std::string& b, const Layout& l) { PutLe(b, 24, 8, l.count + 1); }, nnotes::kErrDamaged, 0, 0},
    {"a count that overflows", [](std::string& b, const Layout&) { PutLe(b, 24, 8, ~0ull); },
     nnotes::kErrDamaged, 0, 0},
    {"the table cut off", [](std::string& b, const Layout& l) { b.resize(l.indexOffset + 40); },
     nnotes::kErrDamaged, 0, 0},
    {"another magic: not a database", [](std::string& b, const Layout&) { b[7] = '9'; },
     nnotes::kErrNotDatabase, 0, 0},
    // The look-up halves the table as if it were in order: the document is not found there.
    {"entries out of id order",
     [](std::string& b, const Layout& l) {
         std::string first = b.substr(l.indexOffset, 32);
         b.replace(l.indexOffset, 32, b.substr(l.indexOffset + 32, 32));
         b.replace(l.indexOffset + 32, 32, first);
     },
     0, nnotes::kErrDamaged, nnotes::kErrInvalidNoteId},
    {"a record beyond the file",
     [](std::string& b, const Layout& l) { PutLe(b, l.indexOffset + 32 + 16, 8, l.indexOffset); }, 0,
     nnotes::kErrDamaged, nnotes::kErrDamaged},
    {"an entry of another class",
     [](std::string& b, const Layout& l) { PutLe(b, l.indexOffset + 32 + 4, 2, 4); }, 0, nnotes::kErrDamaged,
     nnotes::kErrDamaged},
    {"an unknown flag", [](std::string& b, const Layout& l) { PutLe(b, l.indexOffset + 32 + 6, 2, 0x80); }, 0,
     nnotes::kErrDamaged, nnotes::kErrDamaged},
    {"undecryptable but not sealed",
     [](std::string& b, const Layout& l) { PutLe(b, l.indexOffset + 32 + 6, 2, 4); }, 0, nnotes::kErrDamaged,
     nnotes::kErrDamaged},
    {"a record that claims more items than it holds",
     [](std::string& b, const Layout& l) { PutLe(b, Le(b, l.indexOffset + 32 + 16, 8), 2, 60000); }, 0, 0,
     nnotes::kErrDamaged},
    {"a record with a byte too many",
     [](std::string& b, const Layout& l) {
         PutLe(b, l.indexOffset + 32 + 24, 4, Le(b, l.indexOffset + 56, 4) + 1);
     },
     0, 0, nnotes::kErrDamaged},
    {"a document on a design note's id",
     [](std::string& b, const Layout& l) { PutLe(b, l.indexOffset, 4, 8); }, 0, nnotes::kErrDamaged,
     nnotes::kNoError},
};

class IndexedFileBroken : public IndexedFile, public ::testing::WithParamInterface<Breakage> {};

TEST_P(IndexedFileBroken, IsRefusedWhereTheBreakIsMet) {
    const Breakage& breakage = GetParam();
    const std::string path = Path("broken");
    // Documents 96 and 100 come first and second in the table.
    ASSERT_TRUE(Pack(kHead, {kDocuments[0], kDocuments[1]}, path));
    std::string bytes = ReadBytes(path);
    const Layout layout{Le(bytes, 8, 4), Le(bytes, 16, 8), Le(bytes, 24, 8)};
    ASSERT_EQ(2u, layout.count);
    breakage.apply(bytes, layout);
    WriteBytes(path, bytes);
    std::shared_ptr<const Database> db;
    ASSERT_EQ(breakage.atLoad, nnotes::LoadDatabase(path, &db));
    if (breakage.atLoad != nnotes::kNoError) {
        EXPECT_EQ(nullptr, db);
        return;
    }
    std::vector<Listed> listed;
    EXPECT_EQ(breakage.atList, List(*db, &listed));
    std::shared_ptr<const Note> note;
    EXPECT_EQ(breakage.atOpen100, nnotes::OpenNote(db, 100, &note));
}

INSTANTIATE_TEST_SUITE_P(Table, IndexedFileBroken, ::testing::ValuesIn(kBreakages),
                         [](const ::testing::TestParamInfo<Breakage>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p) {
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             }
                             return name;
                         });

}  // namespace
