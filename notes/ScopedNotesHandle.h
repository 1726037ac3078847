#pragma once
// Closes a Notes handle (a collection, a note, an id table) on every way out of a scope,
// the failing ones included; the close's own status is not looked at.

#include "notes/NotesApi.h"

class ScopedNotesHandle {
public:
    using Closer = notes::STATUS(LNPUBLIC*)(notes::DHANDLE);

    ScopedNotesHandle(notes::DHANDLE handle, Closer close) : m_handle(handle), m_close(close) {}
    ~ScopedNotesHandle() { m_close(m_handle); }
    ScopedNotesHandle(const ScopedNotesHandle&) = delete;
    ScopedNotesHandle& operator=(const ScopedNotesHandle&) = delete;

private:
    notes::DHANDLE m_handle;
    Closer m_close;
};
