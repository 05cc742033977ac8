// Compiled by layers.compiler.firmware with the firmware's include path: its
// own header is found, the runtime's above it is not.
#include "firmware/core/keys.h"

// Last, so the one above is known to be found.
#include "runtime/host.h"
