#pragma once
// Names for the cases of parameterised suites. ctest lists a case by its name and runs it
// by a filter made from that name, so a name must be the same in every process that lists
// or runs it: built from what the case tests, never from the parameter's bytes (they hold
// pointers, which move when an image loads elsewhere). A duplicate name stops the executable
// at start-up, so two cases can never share one.

#include <gtest/gtest.h>

#include <string>

// Cases that carry their own readable `label`.
struct CaseLabel {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return info.param.label;
    }
};

// Cases of a named operation that returns a status: "NSFDbOpen_Status4020".
struct OperationAndStatus {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return std::string(info.param.operation) + "_Status" + std::to_string(info.param.status);
    }
};

// A number as a name part: "Minus5" for -5, since "-" cannot stand in a test name.
inline std::string NumberName(long long n) {
    return n < 0 ? "Minus" + std::to_string(-n) : std::to_string(n);
}
