// The rows of the rule tests' tables: a text, and what the rule makes of it.
#pragma once

namespace brenvik::test {

struct TextCase {
    const char* text;
    const char* expected;
};

struct FlagCase {
    const char* text;
    bool expected;
};

}  // namespace brenvik::test
