// Front-panel events and the page contract.
//
// There is no event queue: one pending key at a time. The window's key
// handlers write pending_key only while it is KeyNone; the current page reads
// it after drawing, acts on it and clears it, whatever its code. A page hands
// over by assigning current_page; the new page runs from the next pass.
#pragma once

#include "firmware/core/types.h"

enum KeyCode : u8 {
    KeyNone = 0,
    KeyCentre = 1,
    KeyClockwise = 2,
    KeyAnticlockwise = 3,
    KeyLeft = 4,   // "F1", up triangle
    KeyRight = 5,  // "F2", down triangle
};

using PageHandler = void (*)();

extern KeyCode pending_key;
// The step of numeric settings while "KeyFast" is ticked; 1 otherwise.
constexpr u8 KEY_STEP_FAST = 10;

extern u8 key_step;  // 1, or KEY_STEP_FAST while "KeyFast" is ticked
extern PageHandler current_page;
extern PageHandler return_page;  // where CONTRAST and MESSAGE go back to
extern u8 menu_cursor;
extern u8 menu_edit;  // 0: keys move the cursor, 1: keys change the value
