// The instrument's pages by the names scenarios give them.
#pragma once

#include "firmware/core/keys.h"

// The page's name as scenarios write it ("run", "main", ...), or "?" for a
// handler that is no page of the instrument (or none at all).
const char* page_name(PageHandler page);
// The page with that name, or nullptr.
PageHandler page_by_name(const char* name);
