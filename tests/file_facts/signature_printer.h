// Failures name the kind of a signature instead of its bytes.
#pragma once

#include <ostream>

#include "file_facts/file_signature.h"

inline void PrintTo(SignatureKind kind, std::ostream* out) {
    static const char* const kNames[] = {"Signed", "SignedInCatalog", "NotSigned",
                                         "DoesNotMatch", "NotTrusted", "NotChecked"};
    *out << kNames[static_cast<int>(kind)];
}
