#pragma once
// The program's copyright notice, as the about box shows it; the version resource and the
// release's read-me carry the same words.
#define QS_COPYRIGHT "Copyright (C) 2026 Quillsheet"
