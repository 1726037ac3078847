// The CSV-safe text of an item, the CSV line and the log line, natively.
#include "export/CsvLine.h"
#include "log/LogLine.h"
#include "notes/ItemText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Safe(const std::string& text) {
    std::unique_ptr<char[]> buffer(new char[text.size() + 1]);
    std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
    MakeCsvSafe(buffer.get(), text.size() + 1);
    return std::string(buffer.get());
}

TEST(NativeMakeCsvSafe, CommasAndLineBreaksGo) {
    EXPECT_EQ("a;b;c", Safe("a,b,c"));
    EXPECT_EQ("one  two", Safe("one\r\ntwo"));
    EXPECT_EQ("one two", Safe("one\ntwo"));
    EXPECT_EQ(" x", Safe("\nx"));
    EXPECT_EQ("x ", Safe("x\r"));
    EXPECT_EQ("a b", Safe("a\rb"));
}

TEST(NativeMakeCsvSafe, ShiftJisBytesBeforeALineFeedStay) {
    // ソ is 0x83 0x5C; a line feed after it takes only itself.
    EXPECT_EQ("\x83\x5c ", Safe("\x83\x5c\n"));
}

TEST(NativeMakeCsvSafe, BufferWithoutNulIsReadOnlyToItsEnd) {
    // The exact-size heap block makes a read or write past it a sanitizer report.
    std::unique_ptr<char[]> buffer(new char[4]);
    std::memcpy(buffer.get(), "a,\n\n", 4);
    MakeCsvSafe(buffer.get(), 4);
    EXPECT_EQ(0, std::memcmp(buffer.get(), "a;  ", 4));
    MakeCsvSafe(buffer.get(), 0);
}

TEST(NativeCsvLine, CellsJoinedByCommaThenOneLineFeed) {
    EXPECT_EQ("1,,2\n", BuildCsvLine({"1", "", "2"}));
    EXPECT_EQ("only\n", BuildCsvLine({"only"}));
    EXPECT_EQ("\n", BuildCsvLine({}));
    EXPECT_EQ("\"q\"\n", BuildCsvLine({"\"q\""}));
}

TEST(NativeLogLine, StampDashesTagTextLineFeed) {
    EXPECT_EQ("2001/04/03  09:05:07---INFO     text\n",
              FormatLogLine(2001, 4, 3, 9, 5, 7, "INFO     ", "text"));
    const std::string line = FormatLogLine(2024, 12, 31, 23, 59, 59, "RESULT   ", "x");
    EXPECT_EQ(std::string("x"), line.substr(32, 1));
    // Out-of-range fields keep the stamp's width instead of overflowing it.
    EXPECT_EQ(20u, FormatLogLine(123456, 123, 456, 789, 100, -5, "", "").find("---"));
}

// A name read from a database cannot start a line of the log: its control characters are
// written escaped, and the bytes of double-byte characters (a second byte may be 0x5C or 0x7C)
// and of a path stand as they are.
TEST(NativeLogLine, ControlCharactersOfANameAreEscaped) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"Form=A\n2024/01/01  00:00:00---RESULT   forged", "Form=A\\n2024/01/01  00:00:00---RESULT   forged"},
        {"a\r\nb\tc", "a\\r\\nb\\tc"},
        {"\x01\x1f\x7f", "\\x01\\x1F\\x7F"},
        {"\x83\x7c\x95\x5c C:\\x\\y", "\x83\x7c\x95\x5c C:\\x\\y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string("2001/04/03  09:05:07---INFO     ") + c.written + "\n",
                  FormatLogLine(2001, 4, 3, 9, 5, 7, "INFO     ", c.text))
            << c.text;
}

}  // namespace
