// MakeCsvSafe on arbitrary bytes in a heap buffer of exactly the input's size (no NUL
// added, so the text may run to the buffer's end): nothing is read or written outside it,
// no ",", no line feed and no carriage return is left in the text, each of them is one byte
// of its own (CR LF two blanks), and no byte moves: the length and every other byte stay.
#include "notes/ItemText.h"

#include "FuzzCheck.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> text(new char[size]);
    if (size != 0) std::memcpy(text.get(), data, size);
    const size_t length = strnlen(text.get(), size);

    MakeCsvSafe(text.get(), size);

    QS_FUZZ_CHECK(strnlen(text.get(), size) == length);
    for (size_t i = 0; i < size; ++i) {
        const char before = static_cast<char>(data[i]);
        const char after = text[i];
        if (i >= length) {
            QS_FUZZ_CHECK(after == before);
            continue;
        }
        QS_FUZZ_CHECK(after != ',' && after != '\n' && after != '\r');
        if (before == ',') {
            QS_FUZZ_CHECK(after == ';');
        } else if (before == '\n' || before == '\r') {
            QS_FUZZ_CHECK(after == ' ');
        } else {
            QS_FUZZ_CHECK(after == before);
        }
    }
    return 0;
}
