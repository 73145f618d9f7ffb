// The provocation: a key that no keyboard has, pressed while a window of
// the scanning program has the foreground, makes the window manager call
// every keyboard hook of the desktop and so load their modules into this
// process, where the loader hooks record them. The window's scan, the
// console scan and the 64-bit companion provoke the same way.
#pragma once

#include <windows.h>

#include <functional>

// F24: no keyboard has it, so no program acts on it.
constexpr BYTE kProvokingKey = 0x87;

// Presses the provoking key down and up, presses times; afterEachPress,
// when given, runs after each press (to handle the thread's messages while
// the window manager calls the hooks).
void ProvokeKeyboardHooks(int presses = 1, const std::function<void()>& afterEachPress = nullptr);
