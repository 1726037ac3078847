#pragma once
// Closes a Notes handle (a collection, a note, an id table) on every way out of a scope,
// the failing ones included; the close's own status is not looked at. Collection handles
// are WORDs and the others DHANDLEs, so the handle's type comes from its close.

#include "notes/NotesApi.h"

template <typename Handle>
class ScopedNotesHandle {
public:
    using Closer = notes::STATUS(LNPUBLIC*)(Handle);

    ScopedNotesHandle(Handle handle, Closer close) : m_handle(handle), m_close(close) {}
    ~ScopedNotesHandle() { m_close(m_handle); }
    ScopedNotesHandle(const ScopedNotesHandle&) = delete;
    ScopedNotesHandle& operator=(const ScopedNotesHandle&) = delete;

private:
    Handle m_handle;
    Closer m_close;
};
