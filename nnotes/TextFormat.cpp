#include "TextFormat.h"

#include "notes/CompositeRecords.h"
#include "notes/NotesApi.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace nnotes {
namespace {

constexpr size_t kRangeHeaderSize = 4;  // RANGE: WORD ListEntries, WORD RangeEntries
constexpr size_t kRangeValueSize = 8;   // a NUMBER or a TIMEDATE
constexpr char kPairSeparator[] = " - ";
constexpr uint32_t kJulianDayMask = 0x00FFFFFF;  // TIMEDATE Innards[1] without zone and DST bits
constexpr size_t kCdTextSize = notes::kWsigSize + sizeof(uint32_t);  // WSIG and FONTID

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

// The zone times are shown in, read from the system once per process: asked for at every
// value, Wine reads the host's zone files again each time.
const TIME_ZONE_INFORMATION* LocalZone() {
    static const struct Zone {
        TIME_ZONE_INFORMATION info{};
        bool known = GetTimeZoneInformation(&info) != TIME_ZONE_ID_INVALID;
    } zone;
    return zone.known ? &zone.info : nullptr;
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
    if (hasDate && hasTime) {
        // A moment is shown in this machine's time zone, whatever zone its writer was in:
        // its time in GMT, without the writer's zone, turned into local time.
        TimeDate gmt = td;
        gmt.innards[1] &= kJulianDayMask;
        SplitTime(gmt, &hasDate, &y, &mo, &d, &hasTime, &h, &mi, &s);
        SYSTEMTIME utc{};
        utc.wYear = static_cast<WORD>(y);
        utc.wMonth = static_cast<WORD>(mo);
        utc.wDay = static_cast<WORD>(d);
        utc.wHour = static_cast<WORD>(h);
        utc.wMinute = static_cast<WORD>(mi);
        utc.wSecond = static_cast<WORD>(s);
        SYSTEMTIME local{};
        if (SystemTimeToTzSpecificLocalTime(LocalZone(), &utc, &local)) {
            y = local.wYear;
            mo = local.wMonth;
            d = local.wDay;
            h = local.wHour;
            mi = local.wMinute;
            s = local.wSecond;
        }
    }
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
                if (i > 0 && separator != '\0') text->push_back(separator);
                text->append(d, offset, len);
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
            // The single values, then each pair as its lower and upper bound; all of them
            // separated by the separator.
            const bool numbers = item.type == notes::TYPE_NUMBER_RANGE;
            const auto format = [&d, numbers](size_t pos) {
                return numbers ? FormatNumber(DoubleAt(d, pos)) : FormatTime(TimeAt(d, pos));
            };
            const size_t singles = WordAt(d, 0);
            const size_t pairs = WordAt(d, 2);
            size_t pos = kRangeHeaderSize;
            bool first = true;
            for (size_t i = 0; i < singles && pos + kRangeValueSize <= d.size();
                 ++i, pos += kRangeValueSize) {
                Join(text, format(pos), separator, first);
                first = false;
            }
            for (size_t i = 0; i < pairs && pos + 2 * kRangeValueSize <= d.size();
                 ++i, pos += 2 * kRangeValueSize) {
                Join(text, format(pos) + kPairSeparator + format(pos + kRangeValueSize), separator, first);
                first = false;
            }
            return true;
        }
        case notes::TYPE_COMPOSITE: {
            // The text of the rich text: each paragraph record but one that opens the value
            // starts a new line, so that an item of a value Notes split inside a paragraph
            // ends with the break its next paragraph makes; records are walked by their
            // headers, as the record walk of the catalogue walks a form's.
            for (size_t pos = 0; pos + notes::kBsigSize <= d.size();) {
                const uint16_t sig = WordAt(d, pos);
                const uint8_t lengthByte = static_cast<uint8_t>(sig >> 8);
                size_t header = notes::kBsigSize;
                size_t len = lengthByte;
                if (lengthByte == notes::kWordRecordLength) {
                    header = notes::kWsigSize;
                    len = WordAt(d, pos + 2);
                } else if (lengthByte == notes::kLongRecordLength) {
                    header = notes::kLsigSize;
                    len = DwordAt(d, pos + 2);
                }
                if (len < header || pos + len > d.size()) break;
                if (header == notes::kBsigSize && (sig & 0xFF) == notes::SIG_CD_PARAGRAPH) {
                    if (pos != 0) *text += "\r\n";
                } else if (sig == notes::SIG_CD_TEXT && len >= kCdTextSize) {
                    *text += d.substr(pos + kCdTextSize, len - kCdTextSize);
                }
                pos += len + (len % 2);
            }
            return true;
        }
        case notes::TYPE_USERID:
            // The user name portion.
            *text = d;
            return true;
        case notes::TYPE_ERROR:
            *text = "ERROR: ";
            return true;
        case notes::TYPE_UNAVAILABLE:
            *text = "UNAVAILABLE: ";
            return true;
        default:
            return false;
    }
}

}  // namespace nnotes
