#include "FormDesign.h"

#include "LittleEndian.h"
#include "notes/CompositeRecords.h"
#include "notes/NotesApi.h"

namespace nnotes {
namespace {

constexpr uint32_t kNoFont = 0;
constexpr uint16_t kColorIsRgb = 0x0001;  // COLOR_VALUE_FLAGS_ISRGB
constexpr uint8_t kWhite = 0xFF;

void PadToEven(std::string& s, size_t recordLength) {
    if (recordLength % 2 != 0) s.push_back('\0');
}

Item CompositeItem(const char* name, std::string records) {
    Item item;
    item.name = name;
    item.type = notes::TYPE_COMPOSITE;
    item.flags = 0;  // rich text is never in the summary
    item.data = std::move(records);
    return item;
}

}  // namespace

std::string FieldRecords(const DesignedField& field, uint16_t tabOrder) {
    std::string s;
    // CDPARAGRAPH: a BSIG alone.
    s.push_back(static_cast<char>(notes::SIG_CD_PARAGRAPH));
    s.push_back(static_cast<char>(notes::kBsigSize));
    // CDTEXT: WSIG, FONTID, the label.
    const size_t textLength = notes::kWsigSize + sizeof(uint32_t) + field.label.size();
    PutWord(s, notes::SIG_CD_TEXT);
    PutWord(s, static_cast<uint16_t>(textLength));
    PutDword(s, kNoFont);
    s += field.label;
    PadToEven(s, textLength);
    // CDFIELD: the fixed part, then the name (no formulas, description or keyword list).
    const size_t fieldLength = notes::kCdFieldSize + field.name.size();
    PutWord(s, notes::SIG_CD_FIELD);
    PutWord(s, static_cast<uint16_t>(fieldLength));
    PutWord(s, field.flags);
    PutWord(s, field.dataType);
    PutWord(s, 0);         // ListDelim
    PutDword(s, 0);        // NFMT
    PutDword(s, 0);        // TFMT
    PutDword(s, kNoFont);  // FONTID
    PutWord(s, 0);         // DVLength
    PutWord(s, 0);         // ITLength
    PutWord(s, tabOrder);
    PutWord(s, 0);  // IVLength
    PutWord(s, static_cast<uint16_t>(field.name.size()));
    PutWord(s, 0);  // DescLength
    PutWord(s, 0);  // TextValueLength
    s += field.name;
    PadToEven(s, fieldLength);
    return s;
}

std::string DocumentRecord() {
    std::string s;
    s.push_back(static_cast<char>(notes::SIG_CD_DOCUMENT));
    s.push_back(static_cast<char>(notes::kCdDocumentSize));
    PutWord(s, notes::kPaperColorWhite);
    PutWord(s, 0);  // FormFlags
    PutWord(s, 0);  // NotePrivileges
    PutWord(s, 0);  // FormFlags2
    PutWord(s, 0);  // InherFieldNameLength
    PutWord(s, 0);  // PaperColorExt
    PutWord(s, kColorIsRgb);
    s.push_back(static_cast<char>(kWhite));
    s.push_back(static_cast<char>(kWhite));
    s.push_back(static_cast<char>(kWhite));
    s.push_back('\0');
    PutWord(s, 0);  // FormFlags3
    PutWord(s, 0);  // Spare
    return s;
}

std::vector<Item> FormDesignItems(const Item* title, const Item* flags,
                                  const std::vector<DesignedField>& fields, size_t bodyItemSize) {
    std::vector<Item> items;
    if (title != nullptr) items.push_back(*title);
    if (flags != nullptr) items.push_back(*flags);
    items.push_back(CompositeItem(notes::kFormInfoItem, DocumentRecord()));
    std::string body;
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string records = FieldRecords(fields[i], static_cast<uint16_t>(i + 1));
        if (!body.empty() && body.size() + records.size() > bodyItemSize) {
            items.push_back(CompositeItem(notes::kFormBodyItem, std::move(body)));
            body.clear();
        }
        body += records;
    }
    items.push_back(CompositeItem(notes::kFormBodyItem, std::move(body)));
    return items;
}

}  // namespace nnotes
