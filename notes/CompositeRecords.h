#pragma once
// Composite data (rich text) as the Notes C API lays it out, little-endian and packed: the
// records of a TYPE_COMPOSITE item after its type word, and the form records the design
// catalogue reads. Our runtime writes form notes with the same values.

#include <cstddef>
#include <cstdint>

namespace notes {

// Record headers: the signature's high byte tells the header. 0xFF: WSIG (WORD signature,
// WORD length); 0x00: LSIG (WORD signature, DWORD length); anything else: BSIG (BYTE
// signature, BYTE length, the length in the signature word's high byte). A length counts
// the whole record, header included; a record of odd length is followed by one pad byte.
constexpr uint8_t kWordRecordLength = 0xFF;
constexpr uint8_t kLongRecordLength = 0x00;
constexpr size_t kBsigSize = 2;
constexpr size_t kWsigSize = 4;
constexpr size_t kLsigSize = 6;

constexpr uint16_t SIG_CD_PARAGRAPH = 129;       // BSIG; a new paragraph
constexpr uint16_t SIG_CD_TEXT = 133 | 0xFF00;   // WSIG; FONTID, then the text
constexpr uint16_t SIG_CD_DOCUMENT = 134;        // BSIG; the $Info record of a form
constexpr uint16_t SIG_CD_FIELD = 138 | 0xFF00;  // WSIG; one field of a form

// CDFIELD: WSIG, WORD Flags, WORD DataType, WORD ListDelim, NFMT (4 bytes), TFMT (4 bytes),
// FONTID (DWORD), then the WORD lengths of the parts that follow the fixed part in this
// order: default value formula, input translation formula, (TabOrder, not a length), input
// validation formula, name, description, text value list.
constexpr size_t kCdFieldSize = 36;
constexpr size_t kCdFieldFlags = 4;
constexpr size_t kCdFieldDataType = 6;
constexpr size_t kCdFieldDvLength = 22;
constexpr size_t kCdFieldItLength = 24;
constexpr size_t kCdFieldTabOrder = 26;
constexpr size_t kCdFieldIvLength = 28;
constexpr size_t kCdFieldNameLength = 30;
constexpr size_t kCdFieldDescLength = 32;
constexpr size_t kCdFieldTextValueLength = 34;

// CDFIELD Flags (Fxxx).
constexpr uint16_t FREADWRITERS = 0x0001;
constexpr uint16_t FEDITABLE = 0x0002;
constexpr uint16_t FNAMES = 0x0004;
constexpr uint16_t FREADERS = 0x0010;
constexpr uint16_t FKEYWORDS = 0x0200;

// CDFIELD DataType holds the item type the field stores (TYPE_TEXT, TYPE_NUMBER, TYPE_TIME,
// TYPE_COMPOSITE ...): the "alleged" data type, which a reader takes as it is.

// CDDOCUMENT: BSIG, WORD PaperColor, WORD FormFlags, WORD NotePrivileges, WORD FormFlags2,
// WORD InherFieldNameLength, WORD PaperColorExt, COLOR_VALUE (WORD Flags, four BYTE
// components), WORD FormFlags3, WORD Spare[1].
constexpr size_t kCdDocumentSize = 24;
constexpr uint16_t kPaperColorWhite = 1;

// The items of a form note a designer saves.
constexpr char kFormBodyItem[] = "$Body";
constexpr char kFormInfoItem[] = "$Info";

}  // namespace notes
