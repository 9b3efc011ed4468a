// Setting and reading the Settings dialog's controls so that a call that did not go through
// never turns into a setting the user did not make: what is shown is checked and shown again,
// and what cannot be read is asked again, then left alone.
#pragma once

#include "indicators/readings.h"
#include "platform/winapi.h"

// The dialog's control `id`, asked for once more when the first answer is none.
HWND dialogItem(HWND dialog, int id);

// A control's answer to a message; false when the message did not reach it, after a second try.
bool askControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer);

// Check box `id` shows `checked` (set again when it did not take).
void showCheck(HWND dialog, int id, bool checked);
// False when the box could not be read.
bool readCheck(HWND dialog, int id, bool* checked);

// Up-down control `spinId` with its range and position, and its buddy edit `editId` showing the
// position in decimal, at most `limit` characters.
void showPosition(HWND dialog, int spinId, int editId, LPARAM range, int position, int limit);
// The number in a read-only edit, at most count - 1 characters; false when no text could be read
// (the edit always shows a number, so an empty one was not read).
bool readNumber(HWND dialog, int editId, int count, long* value);

// The combo box lists `names` (in order) with line `selected` chosen.
void showChoices(HWND box, const WCHAR (*names)[CardNameUnits], int count, int selected);
// The text of the selected line into `name` (at most `units` with its terminator), or none
// (`none` set); false when it could not be read.
bool readChosenLine(HWND box, WCHAR* name, int units, bool* none);
