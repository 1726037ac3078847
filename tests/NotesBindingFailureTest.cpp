// Binding failures are reported as a status, never as a crash. Runs in a process of its
// own, since a successful bind cannot be undone; the cases that do bind use the resolver,
// which keeps no state.
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Every operation of the program's table, with the slot the binding fills for it.
struct TableOperation {
    const char* name;
    uint16_t ordinal;  // kByNameOnly: bound by name
    void* (*slot)(const notes::NotesFunctions& functions);
};

constexpr TableOperation kTable[] = {
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) \
    {#name, notes::ORD_##name,                                        \
     [](const notes::NotesFunctions& functions) { return reinterpret_cast<void*>(functions.name); }},
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
};

// The operations bound by their name alone.
struct NamedOperation {
    const char* label;  // the operation's name
};

std::vector<NamedOperation> OperationsBoundByName() {
    std::vector<NamedOperation> named;
    for (const TableOperation& operation : kTable) {
        if (operation.ordinal == notes::kByNameOnly) named.push_back({operation.name});
    }
    return named;
}

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

class OperationBoundByNameAlone : public ::testing::TestWithParam<NamedOperation> {};

// An operation that only a name leads to is bound by that name, and its absence refuses the
// library as a missing ordinal does: no guessed ordinal stands in. Each has a runtime variant
// without it (tests/CMakeLists.txt).
TEST_P(OperationBoundByNameAlone, IsRequired) {
    const std::string name = GetParam().label;
    const std::string file = "qs_nnotes_without_" + name + ".dll";
    HMODULE module = LoadLibraryA(file.c_str());
    ASSERT_NE(nullptr, module) << file << " beside the test, error " << GetLastError();
    ASSERT_EQ(nullptr, GetProcAddress(module, name.c_str()));
    // Everything else is there: the refusal is this operation's.
    for (const TableOperation& operation : kTable) {
        if (operation.name == name) continue;
        EXPECT_NE(nullptr, GetProcAddress(module, operation.ordinal == notes::kByNameOnly
                                                      ? operation.name
                                                      : MAKEINTRESOURCEA(operation.ordinal)))
            << operation.name;
    }
    notes::NotesFunctions functions{};
    EXPECT_FALSE(notes::ResolveNotesFunctions(module, functions));
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Table, OperationBoundByNameAlone, ::testing::ValuesIn(OperationsBoundByName()),
                         CaseLabel());

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
    for (const TableOperation& operation : kTable) {
        const bool byName = operation.ordinal == notes::kByNameOnly;
        const FARPROC exported =
            GetProcAddress(module, byName ? operation.name : MAKEINTRESOURCEA(operation.ordinal));
        ASSERT_NE(nullptr, exported) << operation.name;
        EXPECT_EQ(reinterpret_cast<void*>(exported), operation.slot(functions))
            << operation.name << (byName ? " by name" : " by ordinal");
    }
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Libraries, NotesBindingNames,
                         ::testing::Values(LibraryCase{"NamesAgree", "nnotes.dll", true},
                                           LibraryCase{"NoNames", "qs_nnotes_noname.dll", false}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
