#include "installer_shared/message_loop.h"

namespace installer {

void RunMessageLoop(const MessageFilter& filter) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (filter && filter(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace installer
