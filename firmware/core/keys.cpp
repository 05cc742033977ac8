#include "firmware/core/keys.h"

KeyCode pending_key;
u8 key_step;
PageHandler current_page;
PageHandler return_page;
u8 menu_cursor;
u8 menu_edit;
