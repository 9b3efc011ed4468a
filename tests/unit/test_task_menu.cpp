// Decoding task-menu commands and the hit test, with lists short and long.
#include <gtest/gtest.h>

#include "taskbar/task_menu.h"

namespace {

TaskCommand decode(int id, int listed) { return decodeTaskCommand(id, listed); }

TEST(TaskMenuHit, AreaIsSizePlusOneWide) {
    EXPECT_FALSE(isIndicatorHit(119, 120, 0));
    EXPECT_TRUE(isIndicatorHit(120, 120, 0));
    EXPECT_TRUE(isIndicatorHit(136, 120, 0));
    EXPECT_FALSE(isIndicatorHit(137, 120, 0));
    EXPECT_TRUE(isIndicatorHit(152, 120, 1));
    EXPECT_FALSE(isIndicatorHit(153, 120, 1));
    EXPECT_FALSE(isIndicatorHit(137, 120, 2)) << "largeIcons counts only when it is 1";
}

TEST(TaskMenuDecode, DeviceCommandsNeedNoWindows) {
    EXPECT_EQ(decode(255, 0).action, TaskCommand::HotReset);
    EXPECT_EQ(decode(256, 0).action, TaskCommand::PowerOff);
    EXPECT_EQ(decode(262, -1).action, TaskCommand::DisplayOff);
    EXPECT_EQ(decode(541, 0).action, TaskCommand::None);
    EXPECT_EQ(decode(332, 0).action, TaskCommand::None);
}

TEST(TaskMenuDecode, RangesWithThreeWindows) {
    EXPECT_EQ(decode(333, 3).action, TaskCommand::SwitchTo);
    EXPECT_EQ(decode(333, 3).index, 1);
    EXPECT_EQ(decode(335, 3).action, TaskCommand::None);
    EXPECT_EQ(decode(331, 3).action, TaskCommand::None);
    EXPECT_EQ(decode(454, 3).action, TaskCommand::Close);
    EXPECT_EQ(decode(454, 3).index, 2);
    EXPECT_EQ(decode(573, 3).action, TaskCommand::CloseAllExcept);
    EXPECT_EQ(decode(573, 3).index, 1);
    EXPECT_EQ(decode(575, 3).action, TaskCommand::None);
    EXPECT_EQ(decode(541, 3).action, TaskCommand::CloseAll);
}

TEST(TaskMenuDecode, NoIdCarriesAnotherItemsActionWithLongLists) {
    for (int listed : {89, 90, 120, 121, 256, 300}) {
        // Every id the menu can show decodes to the action of the item that carries it.
        for (int i = 0; i < TaskMenuWindowLimit && i < listed; ++i) {
            ASSERT_EQ(decode(CmdSwitchToBase + i, listed).action, TaskCommand::SwitchTo);
            ASSERT_EQ(decode(CmdCloseBase + i, listed).action, TaskCommand::Close) << i;
            ASSERT_EQ(decode(CmdCloseAllExceptBase + i, listed).action, TaskCommand::CloseAllExcept);
            ASSERT_EQ(decode(CmdCloseAllExceptBase + i, listed).index, i);
        }
        EXPECT_EQ(decode(CmdCloseAllTasks, listed).action, TaskCommand::CloseAll);
        EXPECT_EQ(decode(CmdSwitchToBase + TaskMenuWindowLimit, listed).action, TaskCommand::None);
        EXPECT_EQ(decode(CmdCloseAllExceptBase + TaskMenuWindowLimit, listed).action, TaskCommand::None);
    }
}

}  // namespace
