// Every global of the firmware back to its value at program start (zero, the
// frame buffer blank, no canvas attached). The instrument never calls it: a
// program starts so. Tests, benchmarks and fuzzers do, between cases, through
// reset_all_state (runtime/instrument.h), which also resets the runtime's own.
#pragma once

void reset_firmware_state();
