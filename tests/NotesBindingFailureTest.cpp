// Binding failures are reported as a status, never as a crash. Runs in a process of its
// own, since a successful bind cannot be undone.
#include "notes/NotesBinding.h"
#include "notes/NsfError.h"

#include <gtest/gtest.h>

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

TEST(NotesBindingFailure, ErrorWithoutLibraryHasTheStatusAndNoText) {
    const CNsfError error(0x8000 | 540);
    EXPECT_EQ(0x8000 | 540, error.m_status);
    EXPECT_EQ("", error.m_message);
}

}  // namespace
