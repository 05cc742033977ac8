// TEMPORARY STUB: replaced by the maximum-values page.
#include "firmware/core/keys.h"
#include "firmware/screens/screens.h"

void page_max_values() {
    if (pending_key != KeyNone) current_page = page_run_screen;
    pending_key = KeyNone;
}
