#include "uninstall/texts.h"

namespace uninstall {

std::string LoadText(UINT id) {
    std::string text(256, '\0');
    for (;;) {
        int length = LoadStringA(GetModuleHandleA(nullptr), id, &text[0], static_cast<int>(text.size()));
        if (length < static_cast<int>(text.size()) - 1) {
            text.resize(length > 0 ? static_cast<size_t>(length) : 0);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace uninstall
