// Every page of the instrument by a short name ("run", "main", "curve", ...),
// as scenarios name them in `expect page` and as checkers report them.
#pragma once

#include "firmware/core/keys.h"

// The page's name, or "?" for a handler that is no page of the instrument
// (or none at all).
const char* page_name(PageHandler page);
// The page with that name, or nullptr.
PageHandler page_by_name(const char* name);
