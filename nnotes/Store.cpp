#include "Store.h"

#include "FormDesign.h"
#include "IndexedFile.h"
#include "LittleEndian.h"
#include "Lmbcs.h"
#include "notes/CompositeRecords.h"
#include "notes/NotesApi.h"

#include <nlohmann/json.hpp>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <stdexcept>

namespace nnotes {
namespace {

using nlohmann::json;

constexpr const char* kFormatName = "quillsheet-notes-database";
constexpr int kFormatVersion = 1;

constexpr uint32_t kAllDay = 0xFFFFFFFF;  // a date without a time of day
constexpr uint32_t kAnyDay = 0xFFFFFFFF;  // a time of day without a date
// Times are kept as Notes keeps them, in GMT with the zone they were entered in; every time
// of a file is Japan Standard Time (9 hours east of GMT, no daylight saving).
constexpr int kZoneHours = 9;
constexpr uint32_t kZoneBits = (1u << 30) | (static_cast<uint32_t>(kZoneHours) << 24);

// Item flags as the item scan reports them.
constexpr uint16_t kItemSummary = notes::ITEM_SUMMARY;
// A document without "modified" was last modified at this time of the file's zone.
constexpr int kDefaultModified[] = {2000, 1, 1, 0, 0, 0};
// The File part of a UNID the runtime makes: the note id, and a mark of ours ("QSIN") that
// tells such a UNID from one a file gives.
constexpr uint32_t kUnidFileMark = 0x5153494E;
constexpr size_t kUnidHexDigits = 32;

// The operations a fault entry may name: those of the operation table marked FAULT.
const std::set<std::string>& FaultOperations() {
    static const std::set<std::string> ops = [] {
        std::set<std::string> names;
#define QS_NOTES_FAULT(name) names.insert(#name);
#define QS_NOTES_NOFAULT(name)
#define QS_NOTES_OP(name, ordinal, bytes, fault, returns, parameters) QS_NOTES_##fault(name)
#include "notes/NotesOperations.h"
#undef QS_NOTES_OP
#undef QS_NOTES_NOFAULT
#undef QS_NOTES_FAULT
        return names;
    }();
    return ops;
}

struct Damaged : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Require(bool ok, const char* what) {
    if (!ok) throw Damaged(what);
}

int64_t JulianDay(int y, int m, int d) {
    int64_t a = (14 - m) / 12;
    int64_t y2 = y + 4800 - a;
    int64_t m2 = m + 12 * a - 3;
    return d + (153 * m2 + 2) / 5 + 365 * y2 + y2 / 4 - y2 / 100 + y2 / 400 - 32045;
}

void FromJulianDay(int64_t jd, int* y, int* m, int* d) {
    int64_t a = jd + 32044;
    int64_t b = (4 * a + 3) / 146097;
    int64_t c = a - 146097 * b / 4;
    int64_t dd = (4 * c + 3) / 1461;
    int64_t e = c - 1461 * dd / 4;
    int64_t mm = (5 * e + 2) / 153;
    *d = static_cast<int>(e - (153 * mm + 2) / 5 + 1);
    *m = static_cast<int>(mm + 3 - 12 * (mm / 10));
    *y = static_cast<int>(100 * b + dd - 4800 + mm / 10);
}

void PutDouble(std::string& s, double v) {
    char b[8];
    memcpy(b, &v, 8);
    s.append(b, 8);
}
void PutTime(std::string& s, const TimeDate& td) {
    PutDword(s, td.innards[0]);
    PutDword(s, td.innards[1]);
}

std::string Text(const json& j) {
    Require(j.is_string(), "a text is not a string");
    return Utf8ToLmbcs(j.get<std::string>());
}

// The text of a document's text value: Notes keeps each line break (LF, or CR LF) inside a
// text, or inside a text list's entry, as one NUL byte. A design note's texts (titles, which
// no designer can break) are kept as written.
std::string ValueText(const json& j, bool document) {
    const std::string lmbcs = Text(j);
    if (!document) return lmbcs;
    std::string stored;
    stored.reserve(lmbcs.size());
    for (size_t i = 0; i < lmbcs.size();) {
        const size_t len = LmbcsCharLength(lmbcs.data() + i, lmbcs.size() - i);
        const bool crlf = len == 1 && lmbcs[i] == '\r' && i + 1 < lmbcs.size() && lmbcs[i + 1] == '\n';
        if (crlf || (len == 1 && lmbcs[i] == '\n')) {
            stored.push_back('\0');
            i += crlf ? 2 : 1;
            continue;
        }
        stored.append(lmbcs, i, len);
        i += len;
    }
    return stored;
}

// Reads a number of `digits` digits at `pos`.
bool Digits(const std::string& s, size_t pos, size_t digits, int* out) {
    if (pos + digits > s.size()) return false;
    int v = 0;
    for (size_t i = 0; i < digits; ++i) {
        char c = s[pos + i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *out = v;
    return true;
}

// "2024-03-05T14:07:09", "2024-03-05" or "14:07:09" (a space may stand for the "T").
TimeDate ParseTime(const json& j) {
    Require(j.is_string(), "a time is not a string");
    const std::string s = j.get<std::string>();
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    bool hasDate = false, hasTime = false;
    size_t pos = 0;
    if (s.size() >= 10 && s[4] == '-') {
        Require(
            Digits(s, 0, 4, &y) && s[4] == '-' && Digits(s, 5, 2, &mo) && s[7] == '-' && Digits(s, 8, 2, &d),
            "bad date");
        Require(mo >= 1 && mo <= 12 && d >= 1 && d <= 31, "date out of range");
        hasDate = true;
        pos = 10;
        if (pos < s.size()) {
            Require(s[pos] == 'T' || s[pos] == ' ', "bad date-time separator");
            ++pos;
        }
    }
    if (pos < s.size()) {
        Require(s.size() - pos == 8 && Digits(s, pos, 2, &h) && s[pos + 2] == ':' &&
                    Digits(s, pos + 3, 2, &mi) && s[pos + 5] == ':' && Digits(s, pos + 6, 2, &se),
                "bad time of day");
        Require(h < 24 && mi < 60 && se < 60, "time of day out of range");
        hasTime = true;
    }
    Require(hasDate || hasTime, "empty time");
    return MakeTime(y, mo, d, h, mi, se, hasDate, hasTime);
}

uint16_t TypeCode(const json& type) {
    if (type.is_number_unsigned()) {
        uint64_t v = type.get<uint64_t>();
        Require(v <= 0xFFFF, "type code out of range");
        return static_cast<uint16_t>(v);
    }
    Require(type.is_string(), "item type is neither a name nor a number");
    const std::string t = type.get<std::string>();
    if (t == "text") return notes::TYPE_TEXT;
    if (t == "textlist") return notes::TYPE_TEXT_LIST;
    if (t == "number") return notes::TYPE_NUMBER;
    if (t == "numberlist") return notes::TYPE_NUMBER_RANGE;
    if (t == "time") return notes::TYPE_TIME;
    if (t == "timelist") return notes::TYPE_TIME_RANGE;
    if (t == "richtext") return notes::TYPE_COMPOSITE;
    if (t == "userid") return notes::TYPE_USERID;
    if (t == "error") return notes::TYPE_ERROR;
    if (t == "unavailable") return notes::TYPE_UNAVAILABLE;
    throw Damaged("unknown item type name");
}

std::string TextListData(const json& v, bool document) {
    Require(v.is_array() && v.size() <= 0xFFFF, "a text list is not an array");
    std::vector<std::string> entries;
    for (const auto& e : v) entries.push_back(ValueText(e, document));
    std::string data;
    PutWord(data, static_cast<uint16_t>(entries.size()));
    for (const auto& e : entries) {
        Require(e.size() <= 0xFFFF, "text list entry too long");
        PutWord(data, static_cast<uint16_t>(e.size()));
    }
    for (const auto& e : entries) data += e;
    return data;
}

// The item's value after its type word, from the "value" (or "hex") of an item object; a
// missing value gives the empty value of the type.
std::string ValueData(uint16_t type, const json& item, bool namedType, bool document) {
    const bool has = item.contains("value");
    const json empty = json::array();
    const json& v = has ? item.at("value") : empty;
    std::string data;
    if (!namedType) {
        std::string hex = item.contains("hex") ? item.at("hex").get<std::string>() : std::string();
        Require(hex.size() % 2 == 0, "odd hex length");
        for (size_t i = 0; i < hex.size(); i += 2) {
            data.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        }
        return data;
    }
    switch (type) {
        case notes::TYPE_TEXT:
            return has ? ValueText(v, document) : std::string();
        case notes::TYPE_TEXT_LIST:
            return TextListData(v, document);
        case notes::TYPE_NUMBER:
            Require(!has || v.is_number(), "a number is not a number");
            PutDouble(data, has ? v.get<double>() : 0.0);
            return data;
        case notes::TYPE_TIME:
            PutTime(data, has ? ParseTime(v) : TimeDate{});
            return data;
        case notes::TYPE_NUMBER_RANGE:
        case notes::TYPE_TIME_RANGE: {
            // RANGE: WORD ListEntries, WORD RangeEntries, the single values, then the pairs
            // (lower and upper bound); an entry of two values in the file is a pair.
            Require(v.is_array() && v.size() <= 0xFFFF, "a list is not an array");
            const auto putValue = [&data, type](const json& e) {
                if (type == notes::TYPE_NUMBER_RANGE) {
                    Require(e.is_number(), "a number is not a number");
                    PutDouble(data, e.get<double>());
                } else {
                    PutTime(data, ParseTime(e));
                }
            };
            std::vector<const json*> singles, pairs;
            for (const auto& e : v) {
                Require(!e.is_array() || e.size() == 2, "a range pair needs two values");
                (e.is_array() ? pairs : singles).push_back(&e);
            }
            PutWord(data, static_cast<uint16_t>(singles.size()));
            PutWord(data, static_cast<uint16_t>(pairs.size()));
            for (const json* e : singles) putValue(*e);
            for (const json* e : pairs) {
                putValue(e->at(0));
                putValue(e->at(1));
            }
            return data;
        }
        case notes::TYPE_USERID:
            return has ? Text(v) : std::string();
        case notes::TYPE_COMPOSITE: {
            json paragraphs = v.is_string() ? json::array({v}) : v;
            Require(paragraphs.is_array(), "rich text is neither paragraphs nor a text");
            for (const auto& p : paragraphs) {
                const std::string text = Text(p);
                // A paragraph record, then a text record with its font id and text.
                data.push_back(static_cast<char>(notes::SIG_CD_PARAGRAPH));
                data.push_back(static_cast<char>(notes::kBsigSize));
                Require(text.size() + 8 <= 0xFFFF, "paragraph too long");
                PutWord(data, notes::SIG_CD_TEXT);
                PutWord(data, static_cast<uint16_t>(8 + text.size()));
                PutDword(data, 0);
                data += text;
                if (text.size() % 2 != 0) data.push_back('\0');
            }
            return data;
        }
        default:
            return data;
    }
}

Item ParseItem(const json& j, bool document = false) {
    Require(j.is_object() && j.contains("name") && j.contains("type"), "an item needs a name and a type");
    Item item;
    item.name = Text(j.at("name"));
    Require(!item.name.empty() && item.name.size() <= 0xFFFF, "bad item name");
    const bool named = j.at("type").is_string();
    item.type = TypeCode(j.at("type"));
    item.data = ValueData(item.type, j, named, document);
    item.flags = item.type == notes::TYPE_COMPOSITE ? 0 : kItemSummary;
    if (j.contains("flags")) {
        // Checked before the conversion: a number outside 16 bits (1e300) has no uint16_t.
        const json& flags = j.at("flags");
        Require(flags.is_number_unsigned() && flags.get<uint64_t>() <= 0xFFFF, "item flags out of range");
        item.flags = static_cast<uint16_t>(flags.get<uint64_t>());
    }
    return item;
}

FaultMap ParseFaults(const json& j) {
    FaultMap faults;
    Require(j.is_object(), "faults is not an object");
    for (auto it = j.begin(); it != j.end(); ++it) {
        Require(IsFaultOperation(it.key()), "fault names an unknown operation");
        Require(it.value().is_number_unsigned(), "fault status is not a number");
        uint64_t v = it.value().get<uint64_t>();
        Require(v >= 1 && v <= 0xFFFF, "fault status out of range");
        faults[it.key()] = static_cast<Status>(v);
    }
    return faults;
}

uint16_t NoteClass(const json& j) {
    if (j.is_number_unsigned()) return static_cast<uint16_t>(j.get<uint64_t>() & 0xFFFF);
    Require(j.is_string(), "class is neither a name nor a number");
    const std::string c = j.get<std::string>();
    if (c == "form") return notes::NOTE_CLASS_FORM;
    if (c == "view" || c == "folder") return notes::NOTE_CLASS_VIEW;
    if (c == "icon") return 0x0010;
    if (c == "help") return 0x0100;
    if (c == "agent") return 0x0200;
    if (c == "field") return 0x0400;
    throw Damaged("unknown design class");
}

// Each name a design note answers to: the title entries, and each part of an entry split
// at "|" (the name and its aliases), without surrounding spaces. The entries of a list
// joined together are no name of it, as in Notes.
std::vector<std::string> DesignNames(const Item* title) {
    std::vector<std::string> entries, names;
    if (title == nullptr) return names;
    if (title->type == notes::TYPE_TEXT) {
        entries.push_back(title->data);
    } else if (title->type == notes::TYPE_TEXT_LIST && title->data.size() >= 2) {
        const auto* p = reinterpret_cast<const uint8_t*>(title->data.data());
        size_t count = p[0] | (p[1] << 8);
        size_t offset = 2 + 2 * count;
        for (size_t i = 0; i < count && offset <= title->data.size(); ++i) {
            size_t len = p[2 + 2 * i] | (p[3 + 2 * i] << 8);
            entries.push_back(title->data.substr(offset, len));
            offset += len;
        }
    }
    for (const auto& e : entries) {
        names.push_back(e);
        // Split at "|" characters (never at a byte inside a multi-byte character), each part
        // without its leading and trailing spaces.
        std::vector<std::string> parts(1);
        std::vector<size_t> kept(1, 0);  // length of each part up to its last non-space
        bool split = false;
        for (size_t i = 0; i < e.size();) {
            size_t len = LmbcsCharLength(e.data() + i, e.size() - i);
            if (len == 1 && e[i] == '|') {
                split = true;
                parts.emplace_back();
                kept.push_back(0);
            } else if (!(len == 1 && e[i] == ' ' && parts.back().empty())) {
                parts.back().append(e, i, len);
                if (!(len == 1 && e[i] == ' ')) kept.back() = parts.back().size();
            }
            i += len;
        }
        if (!split) continue;
        for (size_t k = 0; k < parts.size(); ++k) {
            if (kept[k] > 0) names.push_back(parts[k].substr(0, kept[k]));
        }
    }
    return names;
}

// One field of a form's "body": its CDFIELD data type (the item type it stores) and flags
// from the field type's name (or a number, written as the data type as it is), the label
// from "label" or the name.
DesignedField ParseDesignedField(const json& j) {
    Require(j.is_object() && j.contains("name") && j.contains("type"),
            "a body field needs a name and a type");
    DesignedField field;
    field.name = Text(j.at("name"));
    field.label = j.contains("label") ? Text(j.at("label")) : field.name;
    Require(!field.name.empty() && field.name.size() <= 0xFFFF - notes::kCdFieldSize, "bad field name");
    Require(field.label.size() <= 0xFFFF - notes::kWsigSize - sizeof(uint32_t), "label too long");
    field.flags = notes::FEDITABLE;
    const json& type = j.at("type");
    if (type.is_number_unsigned()) {
        Require(type.get<uint64_t>() <= 0xFFFF, "field type out of range");
        field.dataType = static_cast<uint16_t>(type.get<uint64_t>());
        return field;
    }
    Require(type.is_string(), "field type is neither a name nor a number");
    // DataType is the item type the field stores; the flags tell the kinds of text apart.
    static const std::map<std::string, std::pair<uint16_t, uint16_t>> kinds = {
        {"text", {notes::TYPE_TEXT, 0}},
        {"number", {notes::TYPE_NUMBER, 0}},
        {"time", {notes::TYPE_TIME, 0}},
        {"richtext", {notes::TYPE_COMPOSITE, 0}},
        {"authors", {notes::TYPE_TEXT, notes::FREADWRITERS | notes::FNAMES}},
        {"readers", {notes::TYPE_TEXT, notes::FREADERS | notes::FNAMES}},
        {"names", {notes::TYPE_TEXT, notes::FNAMES}},
        {"keywords", {notes::TYPE_TEXT, notes::FKEYWORDS}},
        {"password", {notes::TYPE_TEXT, 0}},
    };
    auto it = kinds.find(type.get<std::string>());
    Require(it != kinds.end(), "unknown field type name");
    field.dataType = it->second.first;
    field.flags = static_cast<uint16_t>(field.flags | it->second.second);
    return field;
}

constexpr char kDesignFlagsItem[] = "$Flags";
// A summary item's value length is a WORD, type word included.
constexpr size_t kMaxDesignFlagsLength = 0xFFFF - sizeof(uint16_t);

Note ParseDesignNote(const json& j) {
    Require(j.is_object() && j.contains("class"), "a design note needs a class");
    Note note;
    note.noteClass = NoteClass(j.at("class"));
    // The default form (or view) carries the class's default bit, as the designer sets it.
    if (j.contains("default")) {
        Require(j.at("default").is_boolean(), "default is not true or false");
        if (j.at("default").get<bool>()) note.noteClass |= notes::NOTE_CLASS_DEFAULT;
    }
    // $Flags tells a form from a subform, page or resource of the same class; a design note
    // without "flags" keeps an empty one in its summary only.
    Item flags;
    flags.name = kDesignFlagsItem;
    flags.type = notes::TYPE_TEXT;
    flags.flags = kItemSummary;
    if (j.contains("flags")) flags.data = Text(j.at("flags"));
    Require(flags.data.size() <= kMaxDesignFlagsLength, "design flags too long");
    note.summary.push_back(flags);
    if (j.contains("title")) {
        const json& t = j.at("title");
        json item = t.is_object() ? t : json{{"value", t}, {"type", t.is_array() ? "textlist" : "text"}};
        item["name"] = "$TITLE";
        note.summary.push_back(ParseItem(item));
    }
    const Item* title = nullptr;
    for (const auto& s : note.summary) {
        if (SameName(s.name, "$TITLE")) title = &s;
    }
    note.names = DesignNames(title);
    if (j.contains("body")) {
        // A form as a designer saves it: $TITLE, $Info and $Body items come first, and any
        // "fields" after them as further items.
        Require(j.at("body").is_array() && j.at("body").size() < 0xFFFF, "body is not an array");
        std::vector<DesignedField> fields;
        for (const auto& f : j.at("body")) fields.push_back(ParseDesignedField(f));
        size_t bodyItemSize = kDefaultBodyItemSize;
        if (j.contains("bodyItemSize")) {
            const json& size = j.at("bodyItemSize");
            Require(size.is_number_unsigned() && size.get<uint64_t>() >= 1 && size.get<uint64_t>() <= 0xFFFF,
                    "bodyItemSize out of range");
            bodyItemSize = static_cast<size_t>(size.get<uint64_t>());
        }
        note.items = FormDesignItems(title, j.contains("flags") ? &note.summary.front() : nullptr, fields,
                                     bodyItemSize);
    }
    if (j.contains("fields")) {
        Require(j.at("fields").is_array(), "fields is not an array");
        for (const auto& f : j.at("fields")) note.items.push_back(ParseItem(f));
    }
    return note;
}

// The paragraphs of a rich-text value as ValueData writes them, each a CDPARAGRAPH and a
// CDTEXT record: the byte length of each, in order.
std::vector<size_t> ParagraphLengths(const std::string& data) {
    std::vector<size_t> lengths;
    size_t at = 0;
    while (at + notes::kBsigSize + notes::kWsigSize <= data.size()) {
        const auto* b = reinterpret_cast<const uint8_t*>(data.data() + at + notes::kBsigSize);
        size_t length = notes::kBsigSize + (b[2] | (b[3] << 8));
        length += length % 2;
        lengths.push_back(length);
        at += length;
    }
    return lengths;
}

// The records of a rich-text value as ValueData writes them: per paragraph its CDPARAGRAPH,
// then its CDTEXT (padded to even length).
std::vector<size_t> RecordLengths(const std::string& data) {
    std::vector<size_t> lengths;
    for (size_t paragraph : ParagraphLengths(data)) {
        lengths.push_back(notes::kBsigSize);
        lengths.push_back(paragraph - notes::kBsigSize);
    }
    return lengths;
}

// A rich-text value of more than `itemSize` bytes of records, stored as Notes stores a long
// one: several items of the same name, one after the other, each ending at a paragraph, or
// with `insideParagraphs` at any record, so that an item may end with a paragraph's
// CDPARAGRAPH and the next go on with its text. A piece longer than that has an item of its
// own.
void AppendRichText(Item item, size_t itemSize, bool insideParagraphs, std::vector<Item>* items) {
    if (item.data.size() <= itemSize) {
        items->push_back(std::move(item));
        return;
    }
    const std::string data = std::move(item.data);
    size_t start = 0;
    size_t end = 0;
    for (size_t length : insideParagraphs ? RecordLengths(data) : ParagraphLengths(data)) {
        if (end > start && end - start + length > itemSize) {
            item.data = data.substr(start, end - start);
            items->push_back(item);
            start = end;
        }
        end += length;
    }
    item.data = data.substr(start);
    items->push_back(std::move(item));
}

// The bytes of a base64 text (RFC 4648's alphabet, "=" padding optional); anything else in
// it makes the file damaged.
std::string Base64Bytes(const json& j) {
    Require(j.is_string(), "base64 is not a string");
    const std::string& text = j.get_ref<const std::string&>();
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    uint32_t bits = 0;
    int held = 0;
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '=') --end;
    Require(text.size() - end <= 2, "too much base64 padding");
    for (size_t i = 0; i < end; ++i) {
        const char c = text[i];
        int v = -1;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        if (c >= '0' && c <= '9') v = c - '0' + 52;
        if (c == '+') v = 62;
        if (c == '/') v = 63;
        Require(v >= 0, "not a base64 character");
        bits = (bits << 6) | static_cast<uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<char>((bits >> held) & 0xFF));
        }
    }
    Require(held < 6, "base64 ends inside a byte");
    return bytes;
}

bool OptionalFlag(const json& j, const char* key) {
    if (!j.contains(key)) return false;
    Require(j.at(key).is_boolean(), "an attachment flag is not true or false");
    return j.at(key).get<bool>();
}

// An attached file: its $FILE item, whose FILEOBJECT gives the note's modification time as
// the file's times, and the bytes it stands for.
void AppendAttachment(const json& j, Note* note) {
    Require(j.contains("name") && j.contains("fileName") && j.contains("base64"),
            "an attachment needs a name, a fileName and base64");
    Require(!j.contains("value") && !j.contains("hex"), "an attachment's value is its base64");
    Item item;
    item.name = Text(j.at("name"));
    Require(!item.name.empty() && item.name.size() <= 0xFFFF, "bad item name");
    const std::string fileName = Text(j.at("fileName"));
    Require(!fileName.empty() && fileName.size() <= 0xFFFF - notes::fileobject::kSize - sizeof(uint16_t),
            "bad attachment file name");
    Attachment attachment;
    attachment.bytes = Base64Bytes(j.at("base64"));
    Require(attachment.bytes.size() <= 0xFFFFFFFFu, "an attachment over 4 GB");
    attachment.sealed = OptionalFlag(j, "sealed");
    attachment.badSignature = OptionalFlag(j, "badSignature");
    attachment.missingObject = OptionalFlag(j, "missingObject");
    attachment.truncatedObject = OptionalFlag(j, "truncatedObject");
    Require(!(attachment.missingObject && attachment.truncatedObject),
            "an object both missing and truncated");
    const bool isSigned = OptionalFlag(j, "signed") || attachment.badSignature;
    Require(note->attachments.size() < 0xFFFF, "too many attachments");
    attachment.rrv = static_cast<uint32_t>(note->attachments.size() + 1);
    item.type = notes::TYPE_OBJECT;
    item.flags = kItemSummary;
    item.data = FileObjectValue(attachment.rrv, fileName, isSigned ? notes::FILEFLAG_SIGN : 0,
                                static_cast<uint32_t>(attachment.bytes.size()), note->modified);
    note->items.push_back(std::move(item));
    note->attachments.push_back(std::move(attachment));
}

// 32 hexadecimal digits as Notes shows a UNID: File's high DWORD, its low one, then Note's.
Unid ParseUnid(const json& j) {
    Require(j.is_string() && j.get_ref<const std::string&>().size() == kUnidHexDigits,
            "a unid is not 32 digits");
    const std::string& text = j.get_ref<const std::string&>();
    uint32_t words[4] = {};
    for (size_t i = 0; i < kUnidHexDigits; ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        const bool upper = c >= 'A' && c <= 'F';
        Require(digit || upper || (c >= 'a' && c <= 'f'), "a unid holds a character that is no hex digit");
        const uint32_t v = static_cast<uint32_t>(digit ? c - '0' : upper ? c - 'A' + 10 : c - 'a' + 10);
        words[i / 8] = (words[i / 8] << 4) | v;
    }
    Unid unid;
    unid.file.innards[1] = words[0];
    unid.file.innards[0] = words[1];
    unid.note.innards[1] = words[2];
    unid.note.innards[0] = words[3];
    return unid;
}

// The identity keys of a document: "unid" (the whole UNID), or "created" (its Note part);
// "parent", the id of the note it responds to.
void ReadIdentity(const json& j, Note* note) {
    Require(!(j.contains("unid") && j.contains("created")),
            "a unid holds the creation time: give one of them");
    if (j.contains("unid")) {
        note->unid = ParseUnid(j.at("unid"));
        note->unidGiven = true;
    }
    if (j.contains("created")) {
        note->unid.note = ParseTime(j.at("created"));
        note->createdGiven = true;
    }
    if (j.contains("parent")) {
        const json& parent = j.at("parent");
        Require(parent.is_number_unsigned() && parent.get<uint64_t>() >= 1 &&
                    parent.get<uint64_t>() <= 0xFFFFFFFF,
                "parent is not a note id");
        note->parent = static_cast<NoteId>(parent.get<uint64_t>());
    }
}

Note ParseDocument(const json& j) {
    Require(j.is_object(), "a document is not an object");
    Note note;
    note.noteClass = notes::NOTE_CLASS_DOCUMENT;
    // Before the items: an attachment's FILEOBJECT carries it.
    note.modified = j.contains("modified")
                        ? ParseTime(j.at("modified"))
                        : MakeTime(kDefaultModified[0], kDefaultModified[1], kDefaultModified[2],
                                   kDefaultModified[3], kDefaultModified[4], kDefaultModified[5], true, true);
    ReadIdentity(j, &note);
    if (j.contains("items")) {
        Require(j.at("items").is_array(), "items is not an array");
        note.items.reserve(j.at("items").size());
        for (const auto& i : j.at("items")) {
            if (i.is_object() && i.contains("type") && i.at("type") == "file") {
                AppendAttachment(i, &note);
                continue;
            }
            Item item = ParseItem(i, true);
            if (item.type != notes::TYPE_COMPOSITE || !i.at("type").is_string()) {
                Require(!i.contains("itemSize") && !i.contains("splitInParagraphs"),
                        "itemSize and splitInParagraphs are only for rich text");
                note.items.push_back(std::move(item));
                continue;
            }
            size_t itemSize = kDefaultRichTextItemSize;
            if (i.contains("itemSize")) {
                const json& size = i.at("itemSize");
                Require(
                    size.is_number_unsigned() && size.get<uint64_t>() >= 1 && size.get<uint64_t>() <= 0xFFFF,
                    "itemSize out of range");
                itemSize = static_cast<size_t>(size.get<uint64_t>());
            }
            bool insideParagraphs = false;
            if (i.contains("splitInParagraphs")) {
                Require(i.at("splitInParagraphs").is_boolean(), "splitInParagraphs is not true or false");
                insideParagraphs = i.at("splitInParagraphs").get<bool>();
            }
            AppendRichText(std::move(item), itemSize, insideParagraphs, &note.items);
        }
    }
    note.isSigned = j.value("signed", false);
    note.isSealed = j.value("sealed", false);
    note.undecryptable = j.value("undecryptable", false);
    Require(!note.undecryptable || note.isSealed, "only a sealed note can be undecryptable");
    note.signatureBroken = j.value("signatureBroken", false);
    Require(!note.signatureBroken || note.isSigned, "only a signed note can have a broken signature");
    note.newerEncryption = j.value("newerEncryption", false);
    Require(!note.newerEncryption || note.isSealed, "only a sealed note has a kind of encryption");
    if (j.contains("pause")) {
        Require(j.at("pause").is_string(), "pause is not a string");
        note.pause = j.at("pause").get<std::string>();
    }
    return note;
}

void ReadCommon(const json& j, Note* note) {
    if (j.contains("id")) {
        Require(j.at("id").is_number_unsigned(), "note id is not a number");
        uint64_t id = j.at("id").get<uint64_t>();
        Require(id >= 1 && id <= 0xFFFFFFFF, "note id out of range");
        note->id = static_cast<NoteId>(id);
    }
    if (j.contains("faults")) note->faults = ParseFaults(j.at("faults"));
}

}  // namespace

void FinishIdentity(Note* document) {
    if (document->unidGiven) return;
    document->unid.file.innards[0] = document->id;
    document->unid.file.innards[1] = kUnidFileMark;
    if (!document->createdGiven) document->unid.note = document->modified;
}

Item ParentReference(const Unid& parent) {
    // A LIST of one entry, then the UNID as the structure lies in memory: File's DWORDs, then
    // Note's, low one first (host form, little-endian here).
    Item item;
    item.name = notes::FIELD_LINK;
    item.type = notes::TYPE_NOTEREF_LIST;
    item.flags = kItemSummary;
    PutWord(item.data, 1);
    PutTime(item.data, parent.file);
    PutTime(item.data, parent.note);
    return item;
}

const Item* Note::FindItem(const std::string& name) const {
    for (const auto& item : items) {
        if (SameName(item.name, name)) return &item;
    }
    return nullptr;
}

const Attachment* Note::FindAttachment(uint32_t rrv) const {
    for (const auto& attachment : attachments) {
        if (attachment.rrv == rrv) return &attachment;
    }
    return nullptr;
}

std::string FileObjectValue(uint32_t rrv, const std::string& fileName, uint16_t fileFlags, uint32_t fileSize,
                            const TimeDate& time) {
    namespace fo = notes::fileobject;
    std::string value(fo::kSize, '\0');
    auto put = [&value](size_t at, const std::string& bytes) { value.replace(at, bytes.size(), bytes); };
    std::string field;
    PutWord(field, notes::OBJECT_FILE);
    put(fo::kObjectType, field);
    field.clear();
    PutDword(field, rrv);
    put(fo::kRrv, field);
    field.clear();
    PutWord(field, static_cast<uint16_t>(fileName.size()));
    put(fo::kFileNameLength, field);
    // HostType HOST_MSDOS (0), CompressionType COMPRESS_NONE (0) and FileAttributes 0
    // (nsfdata.h) stay as the zeros the value starts with.
    field.clear();
    PutWord(field, fileFlags);
    put(fo::kFlags, field);
    field.clear();
    PutDword(field, fileSize);
    put(fo::kFileSize, field);
    field.clear();
    PutTime(field, time);
    put(fo::kFileCreated, field);
    put(fo::kFileModified, field);
    return value + fileName;
}

uint32_t FileObjectRrv(const std::string& value) {
    if (value.size() < notes::fileobject::kSize) return 0;
    return ReadLeDword(reinterpret_cast<const uint8_t*>(value.data()) + notes::fileobject::kRrv);
}

const Note* Database::FindNote(NoteId id) const {
    auto it =
        std::lower_bound(notes.begin(), notes.end(), id, [](const Note& n, NoteId v) { return n.id < v; });
    return it != notes.end() && it->id == id ? &*it : nullptr;
}

Status Database::Fault(const char* operation, const Note* note) const {
    // Asked at every call: a look-up in an empty table would still make a key of the name.
    if (note != nullptr && !note->faults.empty()) {
        auto it = note->faults.find(operation);
        if (it != note->faults.end()) return it->second;
    }
    if (faults.empty()) return kNoError;
    auto it = faults.find(operation);
    return it != faults.end() ? it->second : Status{kNoError};
}

bool SameName(const std::string& a, const char* b, size_t bLength) {
    if (a.size() != bLength) return false;
    for (size_t i = 0; i < a.size();) {
        char x = a[i], y = b[i];
        size_t len = LmbcsCharLength(a.data() + i, a.size() - i);
        if (len == 1) {
            // Only single-byte characters fold: a trail byte that looks like a letter is not one.
            if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
            if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
            if (x != y) return false;
        } else if (a.compare(i, len, b + i, len) != 0) {
            return false;
        }
        i += len;
    }
    return true;
}

bool SameName(const std::string& a, const std::string& b) { return SameName(a, b.data(), b.size()); }

TimeDate MakeTime(int year, int month, int day, int hour, int minute, int second, bool hasDate,
                  bool hasTime) {
    TimeDate td;
    const int64_t local = hour * 3600 + minute * 60 + second;
    if (!hasDate) {
        td.innards[0] = static_cast<uint32_t>(local * 100);
        td.innards[1] = kAnyDay;
        return td;
    }
    int64_t jd = JulianDay(year, month, day);
    if (!hasTime) {
        td.innards[0] = kAllDay;
        td.innards[1] = kZoneBits | static_cast<uint32_t>(jd & 0xFFFFFF);
        return td;
    }
    int64_t gmt = local - int64_t{kZoneHours} * 3600;
    if (gmt < 0) {
        gmt += 86400;
        jd -= 1;
    }
    td.innards[0] = static_cast<uint32_t>(gmt * 100);
    td.innards[1] = kZoneBits | static_cast<uint32_t>(jd & 0xFFFFFF);
    return td;
}

bool ClockTimeOf(const TimeDate& td, int eastMinutes, ClockTime* out) {
    if (td.innards[0] == kAllDay || td.innards[1] == kAnyDay) return false;
    constexpr int64_t kHundredthsPerDay = 8640000;
    int64_t jd = td.innards[1] & 0xFFFFFF;
    int64_t hundredths = static_cast<int64_t>(td.innards[0]) + int64_t{eastMinutes} * 6000;
    // An offset moves the clock by less than a day either way.
    if (hundredths >= kHundredthsPerDay) {
        hundredths -= kHundredthsPerDay;
        ++jd;
    } else if (hundredths < 0) {
        hundredths += kHundredthsPerDay;
        --jd;
    }
    FromJulianDay(jd, &out->year, &out->month, &out->day);
    out->weekday = static_cast<int>((jd + 1) % 7) + 1;  // day 0 of the count was a Monday
    out->hour = static_cast<int>(hundredths / 360000);
    out->minute = static_cast<int>(hundredths / 6000 % 60);
    out->second = static_cast<int>(hundredths / 100 % 60);
    out->hundredth = static_cast<int>(hundredths % 100);
    return true;
}

int ZoneEastMinutes(const TimeDate& td) {
    const int hours = static_cast<int>((td.innards[1] >> 24) & 0x0F);
    return ((td.innards[1] & (1u << 30)) != 0 ? hours : -hours) * 60;
}

void SplitTime(const TimeDate& td, bool* hasDate, int* year, int* month, int* day, bool* hasTime, int* hour,
               int* minute, int* second) {
    *hasDate = td.innards[1] != kAnyDay;
    *hasTime = td.innards[0] != kAllDay;
    int64_t seconds = *hasTime ? td.innards[0] / 100 : 0;
    int64_t jd = td.innards[1] & 0xFFFFFF;
    if (*hasDate && *hasTime) {
        int zone = static_cast<int>((td.innards[1] >> 24) & 0x0F);
        bool east = (td.innards[1] & (1u << 30)) != 0;
        seconds += static_cast<int64_t>(east ? zone : -zone) * 3600;
        if (seconds >= 86400) {
            seconds -= 86400;
            jd += 1;
        } else if (seconds < 0) {
            seconds += 86400;
            jd -= 1;
        }
    }
    seconds %= 86400;
    *year = *month = *day = 0;
    if (*hasDate) FromJulianDay(jd, year, month, day);
    *hour = static_cast<int>(seconds / 3600);
    *minute = static_cast<int>(seconds / 60 % 60);
    *second = static_cast<int>(seconds % 60);
}

bool IsFaultOperation(const std::string& name) { return FaultOperations().count(name) == 1; }

Status ParseJsonDatabase(const std::string& text, Database* out) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || text[first] != '{') return kErrNotDatabase;
    json j = json::parse(text, nullptr, false);
    // Compared as JSON values: value<std::string>() would throw, outside any handler, for a
    // "format" that is not a string.
    if (j.is_discarded() || !j.is_object() || !(j.contains("format") && j.at("format") == kFormatName)) {
        return kErrNotDatabase;
    }
    Database* db = out;
    try {
        // Compared as JSON numbers: converting first would turn 1e300 into an int it cannot be.
        Require(j.contains("version") && j.at("version") == json(kFormatVersion), "unknown format version");
        if (j.contains("title")) db->title = Text(j.at("title"));
        if (j.contains("faults")) db->faults = ParseFaults(j.at("faults"));
        if (j.contains("cutTextAnywhere")) {
            Require(j.at("cutTextAnywhere").is_boolean(), "cutTextAnywhere is not true or false");
            db->cutTextAnywhere = j.at("cutTextAnywhere").get<bool>();
        }
        std::vector<Note> notes;
        if (j.contains("design")) {
            Require(j.at("design").is_array(), "design is not an array");
            for (const auto& d : j.at("design")) {
                notes.push_back(ParseDesignNote(d));
                ReadCommon(d, &notes.back());
            }
        }
        const size_t designCount = notes.size();
        if (j.contains("documents")) {
            Require(j.at("documents").is_array(), "documents is not an array");
            notes.reserve(designCount + j.at("documents").size());
            for (const auto& d : j.at("documents")) {
                notes.push_back(ParseDocument(d));
                ReadCommon(d, &notes.back());
            }
        }
        j = json();
        // Notes without an id of their own get the next free one after the highest so far.
        NoteId highest = 0;
        for (auto& n : notes) {
            if (n.id == 0) n.id = NextNoteId(highest);
            highest = std::max(highest, n.id);
        }
        std::vector<size_t> order(notes.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return notes[a].id < notes[b].id; });
        db->notes.reserve(notes.size());
        std::vector<size_t> position(notes.size());
        for (size_t k = 0; k < order.size(); ++k) {
            position[order[k]] = k;
            db->notes.push_back(std::move(notes[order[k]]));
            Require(k == 0 || db->notes[k - 1].id != db->notes[k].id, "two notes share an id");
        }
        for (size_t i = 0; i < designCount; ++i) db->designOrder.push_back(position[i]);
        // Every document's UNID once the ids are known, then each response's reference to its
        // parent, which may stand anywhere in the file.
        for (Note& n : db->notes) {
            if (n.noteClass == notes::NOTE_CLASS_DOCUMENT) FinishIdentity(&n);
        }
        for (Note& n : db->notes) {
            if (n.parent == 0) continue;
            const Note* parent = db->FindNote(n.parent);
            Require(parent != nullptr && parent != &n && parent->noteClass == notes::NOTE_CLASS_DOCUMENT,
                    "parent names no other document");
            n.items.push_back(ParentReference(parent->unid));
            n.parent = 0;
        }
    } catch (const std::exception&) {
        return kErrDamaged;
    }
    return kNoError;
}

Status ParseJsonDocument(const std::string& text, Note* out) {
    json j = json::parse(text, nullptr, false);
    if (j.is_discarded()) return kErrDamaged;
    try {
        *out = ParseDocument(j);
        ReadCommon(j, out);
    } catch (const std::exception&) {
        return kErrDamaged;
    }
    return kNoError;
}

namespace {

// The head of an indexed file; the documents stay in the file, which `db` keeps open.
Status LoadIndexed(HANDLE file, uint64_t fileSize, Database* db) {
    uint8_t header[kIndexedHeaderSize];
    if (fileSize < kIndexedHeaderSize || !DocumentFile::ReadAt(file, 0, header, sizeof header)) {
        CloseHandle(file);
        return kErrDamaged;
    }
    const uint64_t headLength = ReadLeDword(header + 8);
    const uint64_t indexOffset = ReadLeQword(header + 16);
    const uint64_t count = ReadLeQword(header + 24);
    std::string head;
    if (ReadLeDword(header + 12) != 0 || headLength > fileSize - kIndexedHeaderSize ||
        kIndexedHeaderSize + headLength > indexOffset) {
        CloseHandle(file);
        return kErrDamaged;
    }
    head.resize(static_cast<size_t>(headLength));
    if (!DocumentFile::ReadAt(file, kIndexedHeaderSize, &head[0], head.size())) {
        CloseHandle(file);
        return kErrDamaged;
    }
    Status s = ParseJsonDatabase(head, db);
    // The head is a database without documents; anything else is a broken file, not another kind.
    if (s == kNoError && db->notes.size() != db->designOrder.size()) s = kErrDamaged;
    if (s != kNoError) {
        CloseHandle(file);
        return kErrDamaged;
    }
    return DocumentFile::Open(file, fileSize, indexOffset, count, &db->documents);
}

}  // namespace

Status LoadDatabase(const std::string& path, std::shared_ptr<const Database>* out) {
    auto db = std::make_shared<Database>();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kErrNotDatabase;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) == 0) {
        CloseHandle(file);
        return kErrNotDatabase;
    }
    const auto fileSize = static_cast<uint64_t>(size.QuadPart);
    char magic[sizeof kIndexedMagic] = {};
    if (fileSize >= sizeof magic && DocumentFile::ReadAt(file, 0, magic, sizeof magic) &&
        std::memcmp(magic, kIndexedMagic, sizeof magic) == 0) {
        if (Status s = LoadIndexed(file, fileSize, db.get())) return s;
        *out = std::move(db);
        return kNoError;
    }
    // The JSON form, read whole through the same handle.
    std::string text;
    bool read = fileSize < 0x7FFFFFFF;
    if (read) {
        text.resize(static_cast<size_t>(fileSize));
        read = DocumentFile::ReadAt(file, 0, &text[0], text.size());
    }
    CloseHandle(file);
    if (!read) return kErrNotDatabase;
    if (Status s = ParseJsonDatabase(text, db.get())) return s;
    *out = std::move(db);
    return kNoError;
}

Status OpenNote(const std::shared_ptr<const Database>& db, NoteId id, std::shared_ptr<const Note>* out) {
    if (const Note* note = db->FindNote(id)) {
        *out = std::shared_ptr<const Note>(db, note);  // lives as long as the database
        return kNoError;
    }
    if (!db->documents) return kErrInvalidNoteId;
    return db->documents->Read(id, out);
}

Status ForEachNote(const Database& db,
                   const std::function<Status(NoteId, uint16_t noteClass, const TimeDate& modified)>& visit) {
    // The notes in memory and the documents of the file, merged by id.
    size_t next = 0;
    auto visitHeldUpTo = [&](uint64_t limit) -> Status {
        for (; next < db.notes.size() && db.notes[next].id < limit; ++next) {
            const Note& n = db.notes[next];
            if (Status s = visit(n.id, n.noteClass, n.modified)) return s;
        }
        return kNoError;
    };
    if (db.documents) {
        Status s = db.documents->Scan([&](const IndexEntry& entry) -> Status {
            if (Status held = visitHeldUpTo(entry.id)) return held;
            if (next < db.notes.size() && db.notes[next].id == entry.id) return kErrDamaged;  // one id twice
            return visit(entry.id, notes::NOTE_CLASS_DOCUMENT, entry.modified);
        });
        if (s != kNoError) return s;
    }
    return visitHeldUpTo(std::numeric_limits<uint64_t>::max());
}

}  // namespace nnotes
