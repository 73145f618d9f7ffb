#include "scanner/provocation.h"

void ProvokeKeyboardHooks(int presses, const std::function<void()>& afterEachPress) {
    for (int i = 0; i < presses; ++i) {
        keybd_event(kProvokingKey, 0, 0, 0);
        keybd_event(kProvokingKey, 0, KEYEVENTF_KEYUP, 0);
        if (afterEachPress) afterEachPress();
    }
}
