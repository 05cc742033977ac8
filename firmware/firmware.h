// The instrument's firmware: plain procedures over static global state.
#pragma once

#include "firmware/core/hooks.h"           // hardware hooks
#include "firmware/core/keys.h"            // key events and page state
#include "firmware/core/page_names.h"      // pages by the names scenarios use
#include "firmware/core/program_start.h"   // every global back to program start
#include "firmware/core/run_state.h"       // inputs, blink phase, shown channel
#include "firmware/core/setting_limits.h"  // ranges of the settings, input full scale
#include "firmware/core/settings.h"        // settings record and factory defaults
#include "firmware/lcd/lcd.h"              // frame buffer, primitives, icons, LCD picture
#include "firmware/lcd/text.h"             // fonts and text
#include "firmware/measure/measure.h"      // linearisation and channel processing
#include "firmware/menus/menu.h"           // menu lines and menu state
#include "firmware/menus/pages.h"          // setup pages
#include "firmware/screens/gauges.h"       // bar-graph gauges
#include "firmware/screens/screens.h"      // run screens and maximum values
