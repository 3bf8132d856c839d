#pragma once

#include <gtest/gtest.h>

#include "platform/input_error.h"
#include "texts/input_refusal_text.h"

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

// Expects `statement` to refuse its input with EInvalidInput whose shown
// text is `text`.
#define EXPECT_REFUSAL_TEXT_IS(statement, text)                                                              \
    do {                                                                                                     \
        try {                                                                                                \
            statement;                                                                                       \
            ADD_FAILURE() << #statement " did not throw";                                                    \
        } catch (const pst::EInvalidInput& e) {                                                              \
            EXPECT_EQ(pst::InputRefusalText(e), std::string(text));                                          \
        }                                                                                                    \
    } while (false)
