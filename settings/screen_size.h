// Screen queries for the choice of icons and dialog templates.
#pragma once

#include "platform/winapi.h"

extern int screenWidth;
extern int screenHeight;

void readScreenSize();
// TRUE when the screen is wider or taller than 320 pixels, asked afresh on every call.
BOOL isVgaScreen();
