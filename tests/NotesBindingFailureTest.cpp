// Binding failures are reported as a status, never as a crash. Runs in a process of its
// own, since a successful bind cannot be undone; the cases that do bind use the resolver,
// which keeps no state.
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

TEST(NotesBindingFailure, MissingLibraryIsRefused) {
    EXPECT_FALSE(notes::BindNotesLibrary("qs-no-such-library.dll"));
    EXPECT_FALSE(notes::NotesBound());
}

TEST(NotesBindingFailure, LibraryWithoutTheOrdinalsIsRefused) {
    // A real DLL that exports far fewer than 2000 ordinals.
    EXPECT_FALSE(notes::BindNotesLibrary("comdlg32.dll"));
    EXPECT_FALSE(notes::NotesBound());
}

TEST(NotesBindingFailure, ErrorWithoutLibraryIsNamedByItsNumber) {
    const CNsfError error(0x8000 | 540);
    EXPECT_EQ(0x8000 | 540, error.m_status);
    EXPECT_EQ("Notes error 540", error.m_message);
}

// A library whose ordinal 2005 is NSFDbClose while its name NSFDbOpen is NSFDbOpen: every
// ordinal is there, so only the name check can tell, and the bind fails as a missing
// library does (the start-up shows its initialisation message) rather than calling close
// for open.
TEST(NotesBindingFailure, OrdinalLeadingAwayFromItsNameIsRefused) {
    HMODULE module = LoadLibraryA("qs_nnotes_swapped.dll");
    ASSERT_NE(nullptr, module) << "qs_nnotes_swapped.dll beside the test, error " << GetLastError();
    ASSERT_NE(nullptr, GetProcAddress(module, "NSFDbOpen"));
    ASSERT_EQ(GetProcAddress(module, "NSFDbClose"),
              GetProcAddress(module, MAKEINTRESOURCEA(notes::ORD_NSFDbOpen)));
    notes::NotesFunctions functions{};
    EXPECT_FALSE(notes::ResolveNotesFunctions(module, functions));
    FreeLibrary(module);

    EXPECT_FALSE(notes::BindNotesLibrary("qs_nnotes_swapped.dll"));
    EXPECT_FALSE(notes::NotesBound());
}

// An operation that only a name leads to is bound by that name, and its absence refuses the
// library as a missing ordinal does: no guessed ordinal stands in.
TEST(NotesBindingFailure, OperationBoundByNameAloneIsRequired) {
    HMODULE module = LoadLibraryA("qs_nnotes_without_item_info.dll");
    ASSERT_NE(nullptr, module) << "qs_nnotes_without_item_info.dll beside the test, error " << GetLastError();
    ASSERT_EQ(nullptr, GetProcAddress(module, "NSFItemInfoNext"));
    notes::NotesFunctions functions{};
    EXPECT_FALSE(notes::ResolveNotesFunctions(module, functions));
    FreeLibrary(module);
}

struct LibraryCase {
    const char* label;
    const char* file;
    bool exportsNames;
};

void PrintTo(const LibraryCase& c, std::ostream* os) { *os << c.label; }

class NotesBindingNames : public ::testing::TestWithParam<LibraryCase> {};

// With the names there and agreeing, or with no names at all, every operation binds to its
// ordinal.
TEST_P(NotesBindingNames, LibraryWhoseNamesAgreeOrAreAbsentBindsByOrdinal) {
    HMODULE module = LoadLibraryA(GetParam().file);
    ASSERT_NE(nullptr, module) << GetParam().file << " beside the test, error " << GetLastError();
    EXPECT_EQ(GetParam().exportsNames, GetProcAddress(module, "NSFDbOpen") != nullptr);
    notes::NotesFunctions functions{};
    ASSERT_TRUE(notes::ResolveNotesFunctions(module, functions));
    auto byOrdinal = [&](notes::Ordinal ordinal) {
        return reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
    };
    EXPECT_EQ(byOrdinal(notes::ORD_NSFDbOpen), reinterpret_cast<void*>(functions.NSFDbOpen));
    EXPECT_EQ(byOrdinal(notes::ORD_NSFDbClose), reinterpret_cast<void*>(functions.NSFDbClose));
    EXPECT_EQ(byOrdinal(notes::ORD_IDDestroyTable), reinterpret_cast<void*>(functions.IDDestroyTable));
    for (const notes::Operation& operation : notes::kOperations) {
        if (operation.ordinal != notes::kByNameOnly) continue;
        ASSERT_NE(nullptr, GetProcAddress(module, operation.name)) << operation.name;
    }
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "NSFItemInfo")),
              reinterpret_cast<void*>(functions.NSFItemInfo));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "NSFItemInfoNext")),
              reinterpret_cast<void*>(functions.NSFItemInfoNext));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "NSFItemConvertValueToText")),
              reinterpret_cast<void*>(functions.NSFItemConvertValueToText));
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Libraries, NotesBindingNames,
                         ::testing::Values(LibraryCase{"NamesAgree", "nnotes.dll", true},
                                           LibraryCase{"NoNames", "qs_nnotes_noname.dll", false}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
