// The command table: a command runs only while it has a handler and its
// rule allows it, whatever its source; menus and toolbars show the same.
#include "framework/command_table.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kWired = 40001;
constexpr UINT kUnwired = 40002;
constexpr UINT kUnknown = 40003;

TEST(CommandTable, CommandWithoutHandlerIsDisabledUntilWired) {
    fw::CommandTable table;
    int runs = 0;
    bool allowed = true;
    table.Add(kWired, [&] { ++runs; }, [&] { return allowed; });
    table.Add(kUnwired, nullptr, [] { return true; });

    EXPECT_TRUE(table.IsEnabled(kWired));
    EXPECT_FALSE(table.IsEnabled(kUnwired)) << "its rule allows it, but nothing handles it";
    EXPECT_TRUE(table.Dispatch(kUnwired)) << "a known command is eaten";
    EXPECT_FALSE(table.Dispatch(kUnknown));

    allowed = false;
    EXPECT_TRUE(table.Dispatch(kWired));
    EXPECT_EQ(runs, 0);
    allowed = true;
    EXPECT_TRUE(table.Dispatch(kWired));
    EXPECT_EQ(runs, 1);

    // Menus show what Dispatch does.
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kWired, "wired");
    AppendMenuA(menu, MF_STRING, kUnwired, "unwired");
    table.UpdateMenu(menu);
    EXPECT_FALSE(GetMenuState(menu, kWired, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, kUnwired, MF_BYCOMMAND) & MF_GRAYED);

    // Wiring keeps the rule and enables the command.
    int unwiredRuns = 0;
    ASSERT_TRUE(table.SetHandler(kUnwired, [&] { ++unwiredRuns; }));
    EXPECT_TRUE(table.IsEnabled(kUnwired));
    table.Dispatch(kUnwired);
    EXPECT_EQ(unwiredRuns, 1);
    table.UpdateMenu(menu);
    EXPECT_FALSE(GetMenuState(menu, kUnwired, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);
}

}  // namespace
