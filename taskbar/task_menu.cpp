#include "taskbar/task_menu.h"

#include "taskbar/device_commands.h"
#include "tasks/window_lists.h"

BOOL isIndicatorHit(int x, int iconX, int largeIcons) {
    int size = largeIcons == 1 ? 32 : 16;
    return iconX <= x && x <= iconX + size;
}

namespace {
int menuWindowCount(int listed) { return listed < TaskMenuWindowLimit ? listed : TaskMenuWindowLimit; }
}  // namespace

TaskCommand decodeTaskCommand(int id, int listed) {
    if (id == CmdHotReset) return {TaskCommand::HotReset, 0};
    if (id == CmdPowerOff) return {TaskCommand::PowerOff, 0};
    if (id == CmdDisplayOff) return {TaskCommand::DisplayOff, 0};
    if (listed <= 0) return {TaskCommand::None, 0};
    if (id == CmdCloseAllTasks) return {TaskCommand::CloseAll, 0};
    int shown = menuWindowCount(listed);
    if (id >= CmdSwitchToBase && id < CmdSwitchToBase + shown) return {TaskCommand::SwitchTo, id - CmdSwitchToBase};
    if (id >= CmdCloseBase && id < CmdCloseBase + shown) return {TaskCommand::Close, id - CmdCloseBase};
    if (id >= CmdCloseAllExceptBase && id < CmdCloseAllExceptBase + shown) {
        return {TaskCommand::CloseAllExcept, id - CmdCloseAllExceptBase};
    }
    return {TaskCommand::None, 0};
}

void buildTaskMenu(TaskMenus& menus) {
    menus.closeAttached = false;
    menus.closeAllExceptAttached = false;
    int shown = menuWindowCount(taskMenuCount);
    for (int i = 0; i < shown; ++i) {
        const WCHAR* title = taskMenuList[i].title;
        AppendMenuW(menus.main, MF_STRING, CmdSwitchToBase + i, title);
        AppendMenuW(menus.close, MF_STRING, CmdCloseBase + i, title);
        AppendMenuW(menus.closeAllExcept, MF_STRING, CmdCloseAllExceptBase + i, title);
    }
    if (taskMenuCount > 0) {
        AppendMenuW(menus.main, MF_SEPARATOR, 0, NULL);
        menus.closeAttached =
            AppendMenuW(menus.main, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.close), TEXT("Close")) != FALSE;
        menus.closeAllExceptAttached = AppendMenuW(menus.main, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.closeAllExcept),
                                                   TEXT("Close All Except")) != FALSE;
        AppendMenuW(menus.main, MF_STRING, CmdCloseAllTasks, TEXT("Close All Tasks"));
        AppendMenuW(menus.main, MF_SEPARATOR, 0, NULL);
    }
    AppendMenuW(menus.main, MF_STRING, CmdPowerOff, TEXT("Power Off"));
    AppendMenuW(menus.main, MF_STRING, CmdDisplayOff, TEXT("Display Off"));
    AppendMenuW(menus.main, MF_STRING, CmdHotReset, TEXT("Hot Reset"));
}
