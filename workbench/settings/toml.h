// toml++ as every part of the settings files includes it: its parse errors
// come back in its result type instead of being thrown, so nothing thrown by
// it can escape into the window or the runner. Every file that includes
// toml++ must see the same setting.
#pragma once

#define TOML_EXCEPTIONS 0
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#include <toml++/toml.h>
#pragma GCC diagnostic pop
