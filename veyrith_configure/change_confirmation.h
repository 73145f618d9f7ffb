// The tool's own confirmation of what it is about to change. A program of
// the user can start the tool with a request of its choosing, but it cannot
// answer a window of an elevated program (Windows keeps a program at normal
// rights from driving it), so the user's OK there is the user's own.
#pragma once

#include <windows.h>

#include <string>

#include "common/tool_request.h"
#include "tool_switch.h"

// A change as the window names it: the operation and its whole target.
struct PlannedChange {
    UINT operationId = 0;  // the string of the operation
    std::wstring target;   // the target, one line per part
};

// The change that a switch makes with this request; false for the switches
// that destroy nothing (-copy, -info), which run without a question.
bool DescribeChange(ToolSwitch which, const ToolRequest& request, PlannedChange& change);

// Asks the user about one change.
class CChangeConfirmation {
public:
    virtual ~CChangeConfirmation() = default;
    // True only when the user chose to make the change.
    virtual bool Approve(const PlannedChange& change) = 0;
};

// The real question: a window of the tool's own, in the foreground, that
// cancels itself when nobody answers it in kConfirmTimeoutMs.
class CConfirmWindow : public CChangeConfirmation {
public:
    explicit CConfirmWindow(HINSTANCE instance) : m_hInstance(instance) {}
    bool Approve(const PlannedChange& change) override;

private:
    HINSTANCE m_hInstance;
};

// How long the window waits for an answer before it cancels.
constexpr DWORD kConfirmTimeoutMs = 120000;
