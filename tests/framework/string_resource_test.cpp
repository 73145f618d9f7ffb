// The string loader with strings around and beyond its first buffer size.
#include "common/string_resource.h"

#include <gtest/gtest.h>

namespace {

std::wstring Digits(size_t length) {
    std::wstring text;
    while (text.size() < length) text += L"0123456789";
    return text.substr(0, length);
}

TEST(StringResource, LoadsStringsOfAnyLengthWhole) {
    EXPECT_EQ(LoadResString(1), Digits(255));
    EXPECT_EQ(LoadResString(2), Digits(256));
    EXPECT_EQ(LoadResString(3), Digits(300));
    EXPECT_EQ(LoadResString(4), Digits(1000));
    EXPECT_EQ(LoadResString(57344), L"Framework Test");
}

TEST(StringResource, KeepsCharactersOutsideTheCodePageInALongString) {
    // Past the first buffer, with characters that no single code page holds
    // at the start, across the first buffer's end and at the very end.
    std::wstring expected = L"\x0416\x03A9 " + Digits(260) + L"\x263A\x05D0 " + Digits(38) + L"\x4E2D";
    EXPECT_EQ(LoadResString(6), expected);
    EXPECT_EQ(LoadResString(6).size(), 305u);
}

TEST(StringResource, FollowsTheResourceModule) {
    HMODULE own = ResourceModule();
    EXPECT_EQ(own, GetModuleHandleW(nullptr));
    // user32 has no string 57344 of ours: the title is gone while it is
    // the resource module and back once the program is again.
    SetResourceModule(GetModuleHandleW(L"user32.dll"));
    EXPECT_NE(LoadResString(57344), L"Framework Test");
    SetResourceModule(nullptr);
    EXPECT_EQ(LoadResString(57344), L"Framework Test");
}

TEST(StringResource, MissingStringIsEmpty) { EXPECT_EQ(LoadResString(5), L""); }

}  // namespace
