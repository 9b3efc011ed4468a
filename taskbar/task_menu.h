// The task menu that a tap on the indicator opens, and the decoding of its commands.
#pragma once

#include "platform/winapi.h"

constexpr WORD CmdSwitchToBase = 332;
constexpr WORD CmdCloseBase = 452;
constexpr WORD CmdCloseAllExceptBase = 572;
constexpr WORD CmdCloseAllTasks = 541;

// The menu shows at most this many windows, so that no item's id falls on another item's: the
// Close item of window 89 would carry the id of Close All Tasks.
constexpr int TaskMenuWindowLimit = 89;

// TRUE when a tap at x hits the indicator: iconXInUse <= x <= iconXInUse + S, both ends included.
BOOL isIndicatorHit(int x, int iconXInUse, int largeIcons);

struct TaskCommand {
    enum Action { None, HotReset, PowerOff, DisplayOff, CloseAll, SwitchTo, Close, CloseAllExcept } action;
    int index;
};

// The action of a command id with `listed` windows in the task menu's list.
TaskCommand decodeTaskCommand(int id, int listed);

struct TaskMenus {
    HMENU main;
    HMENU close;
    HMENU closeAllExcept;
    // Set by buildTaskMenu when the submenu became part of the main menu, which then owns it.
    bool closeAttached;
    bool closeAllExceptAttached;
};

// Fills the three menus from taskMenuList and its count, taskMenuCount.
void buildTaskMenu(TaskMenus& menus);
