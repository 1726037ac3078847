#pragma once
// File and folder names made from what a database holds (a form's title, a database's file
// name): whatever it holds, the name is one plain name that Windows keeps as it is, so the
// file lands where the user's folder says and nowhere else.

#include <string>
#include <unordered_map>
#include <unordered_set>

// What the name a file is written under until its run goes through adds before the target's
// extension: "Order.csv" is written as "Order.partial.csv".
constexpr char kPartialTag[] = ".partial";

// `wanted` (native text) as one name of at most `maxBytes` bytes: characters Windows forbids
// in a name, and control characters, become '_'; a trailing dot or blank (which Windows
// drops) becomes '_'; a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an
// extension) gets '_' in front; nothing at all is "_". A double-byte character is never cut.
// `isLeadByte` tells the lead bytes of the native code page.
std::string SafeName(const std::string& wanted, size_t maxBytes, bool (*isLeadByte)(unsigned char));

// The names given in one folder: a name asked for again, in any letter case, is numbered
// ("Order (2).csv"). Each name is given in constant time, however many were given before.
class CNameBook {
public:
    // With a `partialTag` (".partial"), each file is first written under a name of its own
    // ("Order.partial.csv") and the book keeps that name too: no finished name is another's
    // partial name, nor reads like one.
    explicit CNameBook(std::string partialTag = std::string());

    // `stem` and `extension` (".csv", or empty) are safe names already.
    std::string Claim(const std::string& stem, const std::string& extension);
    // Takes `name` out of what the book gives (a file of another kind in the same folder).
    void Reserve(const std::string& name);

private:
    static std::wstring Folded(const std::string& name);
    bool Free(const std::string& stem, const std::string& extension) const;

    std::string m_partialTag;
    std::wstring m_foldedTag;                           // the tag as names are compared
    std::unordered_set<std::wstring> m_given;           // upper-cased, to compare as the file system does
    std::unordered_map<std::wstring, unsigned> m_next;  // the number to try next after a name
};
