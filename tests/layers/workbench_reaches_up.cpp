// Compiled by layers.compiler.workbench with the workbench's include path:
// the layers below it are found, a front end above it is not.
#include "firmware/core/keys.h"
#include "runtime/host.h"
#include "workbench/scenario/controls.h"

// Last, so the ones above are known to be found.
#include "app/headless/headless_host.h"
