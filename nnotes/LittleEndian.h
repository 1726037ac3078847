#pragma once
// Numbers as the database files and Notes' own structures store them: little-endian,
// whatever the machine.

#include <cstdint>
#include <string>

namespace nnotes {

inline uint16_t ReadLeWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadLeDword(const uint8_t* p) {
    return ReadLeWord(p) | (static_cast<uint32_t>(ReadLeWord(p + 2)) << 16);
}
inline uint64_t ReadLeQword(const uint8_t* p) {
    return ReadLeDword(p) | (static_cast<uint64_t>(ReadLeDword(p + 4)) << 32);
}

inline void PutWord(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
inline void PutDword(std::string& s, uint32_t v) {
    PutWord(s, static_cast<uint16_t>(v & 0xFFFF));
    PutWord(s, static_cast<uint16_t>(v >> 16));
}
inline void PutQword(std::string& s, uint64_t v) {
    PutDword(s, static_cast<uint32_t>(v & 0xFFFFFFFF));
    PutDword(s, static_cast<uint32_t>(v >> 32));
}

}  // namespace nnotes
