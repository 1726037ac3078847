// The runtime's translation (OSTranslate) in both directions, native (code page 932) to
// LMBCS and LMBCS to native, of arbitrary bytes into every output size from 0 up to one
// past the whole result. Each output buffer is a heap block of exactly that size, so a
// write past it is an AddressSanitizer report. For every size the result must be the
// longest run of whole characters that fits: a prefix of the whole translation ending where
// one input character's translation ends, with a NUL after it when there is room. Where
// the input's characters end comes from the character sets' definitions (CharacterRules.h),
// not from the runtime.
#include "nnotes/Lmbcs.h"

#include "CharacterRules.h"
#include "FuzzCheck.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Translates into a buffer of exactly `size` bytes; returns what was written, NUL excluded.
std::string TranslateInto(bool toLmbcs, const std::string& in, size_t size, size_t* written) {
    std::unique_ptr<char[]> out(new char[size]);
    *written = nnotes::TranslateBounded(toLmbcs, in.data(), in.size(), out.get(), size);
    QS_FUZZ_CHECK(*written <= size);
    if (*written < size) QS_FUZZ_CHECK(out[*written] == '\0');
    return std::string(out.get(), *written);
}

void CheckDirection(bool toLmbcs, const std::string& in) {
    // The input ends at its first NUL.
    const std::string text = in.substr(0, in.find('\0'));

    // Where each input character's translation ends, from translating the input one more
    // character at a time into a buffer with room to spare.
    std::vector<size_t> boundaries{0};
    std::string whole;
    for (size_t i = 0; i < text.size();) {
        const size_t len = toLmbcs ? rules::Cp932CharLength(text.data() + i, text.size() - i)
                                   : rules::LmbcsTextCharLength(text.data() + i, text.size() - i);
        QS_FUZZ_CHECK(len >= 1 && len <= text.size() - i);
        i += len;
        size_t written = 0;
        const std::string prefix = text.substr(0, i);
        const std::string longer = TranslateInto(toLmbcs, prefix, 6 * prefix.size() + 1, &written);
        // One more character only appends: nothing already translated changes.
        QS_FUZZ_CHECK(longer.size() > whole.size() && longer.compare(0, whole.size(), whole) == 0);
        whole = longer;
        boundaries.push_back(whole.size());
    }
    // The whole-string conversion agrees with the bounded one.
    const std::string direct = toLmbcs ? nnotes::NativeToLmbcs(text.data(), text.size())
                                       : nnotes::LmbcsToNative(text.data(), text.size());
    QS_FUZZ_CHECK(direct == whole);

    size_t fit = 0;
    for (size_t size = 0; size <= whole.size() + 1; ++size) {
        while (fit + 1 < boundaries.size() && boundaries[fit + 1] <= size) ++fit;
        size_t written = 0;
        const std::string got = TranslateInto(toLmbcs, text, size, &written);
        QS_FUZZ_CHECK(written == boundaries[fit]);
        QS_FUZZ_CHECK(whole.compare(0, written, got) == 0);
    }

    // A cut made by LmbcsFit never splits an LMBCS character either.
    const std::string& lmbcs = toLmbcs ? whole : text;
    for (size_t limit = 0; limit <= lmbcs.size(); ++limit) {
        const size_t cut = nnotes::LmbcsFit(lmbcs, limit);
        QS_FUZZ_CHECK(cut <= limit);
        size_t pos = 0;
        while (pos < cut) pos += rules::LmbcsCharLength(lmbcs.data() + pos, lmbcs.size() - pos);
        QS_FUZZ_CHECK(pos == cut);
        if (cut < lmbcs.size()) {
            QS_FUZZ_CHECK(cut + rules::LmbcsCharLength(lmbcs.data() + cut, lmbcs.size() - cut) > limit);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 256) return 0;
    const std::string in(reinterpret_cast<const char*>(data), size);
    CheckDirection(true, in);
    CheckDirection(false, in);
    return 0;
}
