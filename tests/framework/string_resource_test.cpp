// The string loader with strings around and beyond its first buffer size.
#include "framework/string_resource.h"

#include <gtest/gtest.h>

namespace {

std::string Digits(size_t length) {
    std::string text;
    while (text.size() < length) text += "0123456789";
    return text.substr(0, length);
}

TEST(StringResource, LoadsStringsOfAnyLengthWhole) {
    EXPECT_EQ(fw::LoadResString(1), Digits(255));
    EXPECT_EQ(fw::LoadResString(2), Digits(256));
    EXPECT_EQ(fw::LoadResString(3), Digits(300));
    EXPECT_EQ(fw::LoadResString(4), Digits(1000));
    EXPECT_EQ(fw::LoadResString(57344), "Framework Test");
}

TEST(StringResource, MissingStringIsEmpty) { EXPECT_EQ(fw::LoadResString(5), ""); }

}  // namespace
