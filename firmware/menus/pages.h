// The setup pages reached from the run screen (their handlers are in
// firmware/core/page_handlers.h) and what they share.
#pragma once

#include "firmware/core/page_handlers.h"
#include "firmware/core/settings.h"
#include "firmware/core/types.h"

// Line identifiers of the channel setup page.
enum class PressureLine : u8 {
    InputType,
    Sender,
    VdoRange,
    CalSender,
    TransducerModel,
    PressureAt4mA,
    PressureAt20mA,
    Label,
    Unit,
    Span,
    TopScale,
    LowAlarmOn,
    LowAlarm,
    HighAlarmOn,
    HighAlarm,
};
enum class TemperatureLine : u8 {
    Mode,
    Sender,
    Lm335Offset,
    CalSender,
    Label,
    Unit,
    Span,
    TopScale,
    LowAlarmOn,
    LowAlarm,
    HighAlarmOn,
    HighAlarm,
};

void edit_pressure_line(PressureLine line, u8 index);
void edit_temperature_line(TemperatureLine line, u8 index);
void clamp_pressure_values();
