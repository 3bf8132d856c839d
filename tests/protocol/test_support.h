#pragma once

#include <gtest/gtest.h>

// Expects `statement` to throw a std::exception whose message is `text`.
#define EXPECT_THROW_MESSAGE_IS(statement, text)                                                             \
    do {                                                                                                     \
        try {                                                                                                \
            statement;                                                                                       \
            ADD_FAILURE() << #statement " did not throw";                                                    \
        } catch (const std::exception& e) {                                                                  \
            EXPECT_EQ(std::string(e.what()), std::string(text));                                             \
        }                                                                                                    \
    } while (false)
