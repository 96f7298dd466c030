#pragma once

// The check of a refusal that the GoogleTest tests share: the action throws a RunError of the
// number given, and its description holds every text given (the file it names, why).

#include "TestLibrary.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace mw::test {

inline void ExpectRefused(const std::function<void()>& action, long number,
                          std::initializer_list<std::string> says = {}) {
    auto failure = FailureOf(action);
    ASSERT_TRUE(failure) << "not refused: " << (says.size() ? *says.begin() : "");
    EXPECT_EQ(failure->Number, number) << failure->Description;
    for (const std::string& text : says)
        EXPECT_NE(failure->Description.find(text), std::string::npos) << failure->Description;
}

} // namespace mw::test
