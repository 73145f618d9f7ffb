// The command table of a frame: for every command its handler and the rules
// that decide whether it is enabled and checked. Every command passes through
// Dispatch, whatever its source (menu, toolbar, accelerator, context menu),
// so a command that its rule disables is eaten and never run. The same rules
// set the menu items as a popup opens and the toolbar buttons when idle.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fw {

class CommandTable {
public:
    using Handler = std::function<void()>;
    using Rule = std::function<bool()>;

    // An empty enabled rule means always enabled; an empty checked rule
    // means never checked. A command without a handler is disabled whatever
    // its rule says, until its owner gives it one with SetHandler.
    void Add(UINT id, Handler handler, Rule enabled = Rule(), Rule checked = Rule());
    bool Has(UINT id) const;
    // True when the command is in the table and has a handler.
    bool HasHandler(UINT id) const;
    // Replaces the handler of a command in the table, keeping its rules
    // (the part of the program that owns an action wires it here).
    bool SetHandler(UINT id, Handler handler);

    bool IsEnabled(UINT id) const;
    bool IsChecked(UINT id) const;

    // Runs the command when its rule allows it. True when the command is in
    // the table (run or eaten), false when the table does not know it.
    bool Dispatch(UINT id) const;

    // Enables and checks the items of a popup menu that is opening.
    void UpdateMenu(HMENU popup) const;
    // Sets the toolbar's buttons; a button's state is sent only when it
    // differs from what the toolbar shows.
    void UpdateToolBar(HWND toolbar) const;

    // The command's string resource: the status-bar prompt is the text
    // before the line feed, the tooltip the text after it.
    static std::wstring Prompt(UINT id);
    static std::wstring Tooltip(UINT id);

private:
    struct Entry {
        Handler handler;
        Rule enabled;
        Rule checked;
    };
    std::map<UINT, Entry> m_entries;
};

}  // namespace fw
