// The runtime's database loader natively: the sample database, and files that are not a
// database or are damaged.
#include "nnotes/Lmbcs.h"
#include "nnotes/Store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class NativeStore : public ::testing::Test {
protected:
    void TearDown() override {
        if (!m_path.empty()) std::remove(m_path.c_str());
    }
    nnotes::Status Load(const std::string& content, std::shared_ptr<const nnotes::Database>* db) {
        m_path = ::testing::TempDir() + "qs-native-store-" + std::to_string(getpid()) + ".nsf";
        std::ofstream(m_path, std::ios::binary) << content;
        return nnotes::LoadDatabase(m_path, db);
    }
    static std::string Db(const std::string& members) {
        return R"({"format":"quillsheet-notes-database","version":1)" +
               (members.empty() ? "" : "," + members) + "}";
    }
    std::string m_path;
};

TEST_F(NativeStore, SampleDatabaseLoads) {
    std::shared_ptr<const nnotes::Database> db;
    ASSERT_EQ(nnotes::kNoError, nnotes::LoadDatabase(QS_SAMPLES_DIR "/sample.nsf", &db));
    // 営業顧客管理 (サンプル)
    EXPECT_EQ(nnotes::Utf8ToLmbcs("\xe5\x96\xb6\xe6\xa5\xad\xe9\xa1\xa7\xe5\xae\xa2\xe7\xae\xa1\xe7\x90\x86 "
                                  "(\xe3\x82\xb5\xe3\x83\xb3\xe3\x83\x97\xe3\x83\xab)"),
              db->title);
    ASSERT_FALSE(db->designOrder.empty());
    for (size_t i = 1; i < db->notes.size(); ++i) EXPECT_LT(db->notes[i - 1].id, db->notes[i].id);
}

TEST_F(NativeStore, NotADatabase) {
    std::shared_ptr<const nnotes::Database> db;
    EXPECT_EQ(nnotes::kErrNotDatabase, Load("", &db));
    EXPECT_EQ(nnotes::kErrNotDatabase, Load("[1]", &db));
    EXPECT_EQ(nnotes::kErrNotDatabase, Load(R"({"format":"other","version":1})", &db));
    // Once an exception that left the loader (and nnotes.dll) and ended the process.
    EXPECT_EQ(nnotes::kErrNotDatabase, Load(R"({"format":7,"version":1})", &db));
    EXPECT_EQ(nnotes::kErrNotDatabase, Load(R"({"format":null})", &db));
    EXPECT_EQ(nnotes::kErrNotDatabase, Load(Db("").substr(0, 30), &db));
    EXPECT_EQ(nnotes::kErrNotDatabase, nnotes::LoadDatabase(QS_SAMPLES_DIR "/archive", &db));
    EXPECT_EQ(nnotes::kErrNotDatabase, nnotes::LoadDatabase(QS_SAMPLES_DIR "/no-such.nsf", &db));
    EXPECT_EQ(nullptr, db);
}

TEST_F(NativeStore, DamagedContentIsRefusedWhole) {
    std::shared_ptr<const nnotes::Database> db;
    EXPECT_EQ(nnotes::kErrDamaged, Load(R"({"format":"quillsheet-notes-database","version":2})", &db));
    EXPECT_EQ(nnotes::kErrDamaged, Load(Db(R"("documents":[{"id":4,"items":[]},{"id":4,"items":[]}])"), &db));
    EXPECT_EQ(nnotes::kErrDamaged, Load(Db(R"("faults":{"NSFNoteOpn":582})"), &db));
    EXPECT_EQ(nnotes::kErrDamaged,
              Load(Db(R"("documents":[{"items":[{"name":"a","type":"time","value":"x"}]}])"), &db));
    EXPECT_EQ(nnotes::kErrDamaged,
              Load(Db(R"("documents":[{"items":[{"name":"a","type":1282,"hex":"gg"}]}])"), &db));
    EXPECT_EQ(nullptr, db);
}

TEST_F(NativeStore, NumbersOutsideTheirFieldAreDamagedNotConverted) {
    // Both once went through a conversion of a double to an integer type it did not fit
    // (undefined behaviour, reported by UndefinedBehaviorSanitizer).
    std::shared_ptr<const nnotes::Database> db;
    EXPECT_EQ(nnotes::kErrDamaged, Load(R"({"format":"quillsheet-notes-database","version":1e300})", &db));
    EXPECT_EQ(nnotes::kErrDamaged,
              Load(Db(R"("documents":[{"items":[{"name":"a","type":"text","flags":1e300}]}])"), &db));
    EXPECT_EQ(nnotes::kErrDamaged,
              Load(Db(R"("documents":[{"items":[{"name":"a","type":"text","flags":65536}]}])"), &db));
    EXPECT_EQ(nullptr, db);
    ASSERT_EQ(nnotes::kNoError,
              Load(R"({"format":"quillsheet-notes-database","version":1.0,"documents":[{"items":[)"
                   R"({"name":"a","type":"text","flags":65535}]}]})",
                   &db));
    EXPECT_EQ(65535, db->notes[0].items[0].flags);
}

TEST_F(NativeStore, NotesWithoutIdTakeTheNextMultipleOfFour) {
    std::shared_ptr<const nnotes::Database> db;
    ASSERT_EQ(nnotes::kNoError,
              Load(Db(R"("design":[{"class":"form"}],"documents":[{"id":9,"items":[]},{"items":[]}])"), &db));
    ASSERT_EQ(3u, db->notes.size());
    EXPECT_EQ(4u, db->notes[0].id);
    EXPECT_EQ(9u, db->notes[1].id);
    EXPECT_EQ(12u, db->notes[2].id);
}

}  // namespace
