// A small reader of JSON documents for the tests that check what a program
// writes: the whole document is parsed (RFC 8259: objects, arrays, strings
// with every escape, numbers, true, false, null) into a tree of values,
// strings in UTF-16, so a test compares values, not bytes.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject };
    Kind kind = kNull;
    bool boolean = false;
    double number = 0;
    std::wstring text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::wstring, JsonValue>> members;

    // The member with this name, null when there is none (or this is no
    // object).
    const JsonValue* Member(const std::wstring& name) const;
    // The strings of an array, in order; empty for anything else.
    std::vector<std::wstring> Strings() const;
};

// Parses a UTF-8 document; false when it is not exactly one JSON value
// (with white space around it).
bool ParseJson(const std::string& utf8, JsonValue& value);
