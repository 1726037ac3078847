#include "TextFormat.h"

#include "notes/NotesApi.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace nnotes {
namespace {

uint16_t WordAt(const std::string& s, size_t pos) {
    if (pos + 2 > s.size()) return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(s[pos]) | (static_cast<uint8_t>(s[pos + 1]) << 8));
}
uint32_t DwordAt(const std::string& s, size_t pos) {
    return WordAt(s, pos) | (uint32_t{WordAt(s, pos + 2)} << 16);
}
double DoubleAt(const std::string& s, size_t pos) {
    double v = 0;
    if (pos + 8 <= s.size()) memcpy(&v, s.data() + pos, 8);
    return v;
}
TimeDate TimeAt(const std::string& s, size_t pos) {
    TimeDate td;
    td.innards[0] = DwordAt(s, pos);
    td.innards[1] = DwordAt(s, pos + 4);
    return td;
}

void Join(std::string* text, const std::string& part, char separator, bool first) {
    if (!first && separator != '\0') text->push_back(separator);
    *text += part;
}

}  // namespace

std::string FormatNumber(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";  // negative zero too
    char buf[64];
    double magnitude = std::fabs(value);
    if (magnitude >= 1e15 || magnitude < 1e-15) {
        snprintf(buf, sizeof buf, "%.14E", value);
        // Mantissa without trailing zeros (keeping one decimal), exponent without leading zeros.
        std::string s = buf;
        size_t e = s.find('E');
        std::string mantissa = s.substr(0, e), exponent = s.substr(e + 1);
        while (mantissa.size() > 1 && mantissa.back() == '0' && mantissa[mantissa.size() - 2] != '.') {
            mantissa.pop_back();
        }
        char sign = exponent[0];
        std::string digits = exponent.substr(1);
        while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
        return mantissa + "E" + sign + digits;
    }
    snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

std::string FormatTime(const TimeDate& td) {
    bool hasDate = false, hasTime = false;
    int y, mo, d, h, mi, s;
    SplitTime(td, &hasDate, &y, &mo, &d, &hasTime, &h, &mi, &s);
    char buf[48];
    if (hasDate && hasTime) {
        snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    } else if (hasDate) {
        snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, mo, d);
    } else if (hasTime) {
        snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
    } else {
        buf[0] = '\0';
    }
    return buf;
}

bool ItemText(const Item& item, char separator, std::string* text) {
    const std::string& d = item.data;
    text->clear();
    switch (item.type) {
        case notes::TYPE_TEXT:
            *text = d;
            return true;
        case notes::TYPE_TEXT_LIST: {
            size_t count = WordAt(d, 0);
            size_t offset = 2 + 2 * count;
            for (size_t i = 0; i < count; ++i) {
                size_t len = WordAt(d, 2 + 2 * i);
                if (offset + len > d.size()) break;
                Join(text, d.substr(offset, len), separator, i == 0);
                offset += len;
            }
            return true;
        }
        case notes::TYPE_NUMBER:
            *text = FormatNumber(DoubleAt(d, 0));
            return true;
        case notes::TYPE_TIME:
            *text = FormatTime(TimeAt(d, 0));
            return true;
        case notes::TYPE_NUMBER_RANGE:
        case notes::TYPE_TIME_RANGE: {
            size_t count = WordAt(d, 0);
            const bool numbers = item.type == notes::TYPE_NUMBER_RANGE;
            for (size_t i = 0; i < count; ++i) {
                size_t pos = 4 + 8 * i;
                if (pos + 8 > d.size()) break;
                Join(text, numbers ? FormatNumber(DoubleAt(d, pos)) : FormatTime(TimeAt(d, pos)), separator,
                     i == 0);
            }
            return true;
        }
        case notes::TYPE_COMPOSITE: {
            // Walk the records: a word signature with 0xFF in its high byte carries a word
            // length, any other a byte length in its high byte. Records start on even offsets.
            bool firstParagraph = true;
            for (size_t pos = 0; pos + 2 <= d.size();) {
                uint16_t sig = WordAt(d, pos);
                size_t len = (sig & 0xFF00) == 0xFF00 ? WordAt(d, pos + 2) : (sig >> 8);
                if (len < 2 || pos + len > d.size()) break;
                if ((sig & 0xFF) == 0x6D && (sig & 0xFF00) != 0xFF00) {
                    if (!firstParagraph) *text += "\r\n";
                    firstParagraph = false;
                } else if (sig == 0xFF85 && len >= 8) {
                    *text += d.substr(pos + 8, len - 8);
                }
                pos += len + (len % 2);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace nnotes
