// Built-in sender curves as (value, raw reading) pairs, as the senders' makers
// publish them and as the instrument was calibrated against them.
//
// Temperature curves (degrees C) list the reading falling: an NTC's resistance
// drops as it heats. Pressure curves list it rising. Unused slots are (0, 0).
#include "firmware/measure/measure.h"

// clang-format off

const SenderCurve CURVE_KVX_NTC = {10, {
    {20, 1740}, {30, 1310}, {40, 956}, {50, 697}, {60, 500},
    {70, 364}, {80, 264}, {90, 192}, {100, 144}, {110, 108}}};

const SenderCurve CURVE_VDO_TEMP = {10, {
    {10, 2250}, {50, 724}, {66, 436}, {80, 282}, {100, 158},
    {110, 123}, {120, 92}, {130, 72}, {140, 56}, {150, 44}}};

const SenderCurve CURVE_WESTACH = {10, {
    {10, 3234}, {21, 2852}, {43, 1966}, {60, 1356}, {77, 884},
    {88, 673}, {99, 500}, {121, 284}, {149, 144}, {204, 36}}};

// VDO resistive pressure senders, tenths of a bar.
const SenderCurve CURVE_VDO_2BAR = {5, {
    {0, 8}, {5, 164}, {10, 248}, {15, 312}, {20, 456}}};

const SenderCurve CURVE_VDO_5BAR = {6, {
    {0, 24}, {10, 128}, {20, 216}, {30, 292}, {40, 368}, {50, 428}}};

const SenderCurve CURVE_VDO_10BAR = {6, {
    {0, 21}, {20, 132}, {40, 220}, {60, 308}, {80, 376}, {100, 440}}};

// 0-5 V transducers. The T1EU07 points serve the T1EU70 too: tenths of a psi
// for the one, whole psi for the other.
const SenderCurve CURVE_T1EU07 = {8, {
    {0, 159}, {10, 672}, {20, 1186}, {30, 1701},
    {40, 2214}, {50, 2727}, {60, 3240}, {70, 3755}}};

const SenderCurve CURVE_T1EU35 = {8, {
    {0, 159}, {5, 682}, {10, 1211}, {15, 1742},
    {20, 2264}, {25, 2792}, {30, 3306}, {35, 3847}}};

// Inches of mercury. The twelfth reading (2197) lies below the eleventh: the
// table shipped that way and the lookup copes with it, so it stays as it is.
const SenderCurve CURVE_T1EU70A = {13, {
    {5, 110}, {6, 159}, {10, 392}, {15, 672}, {20, 944}, {25, 1228}, {30, 1509},
    {35, 1791}, {40, 2074}, {45, 2356}, {50, 2636}, {55, 2197}, {60, 3200}}};

const SenderCurve CURVE_T1EU100 = {10, {
    {0, 159}, {10, 523}, {20, 896}, {30, 1261}, {40, 1626},
    {50, 1998}, {60, 2363}, {70, 2727}, {80, 3100}, {90, 3464}}};

const SenderCurve CURVE_T1EU150 = {8, {
    {0, 159}, {20, 672}, {40, 1186}, {60, 1701},
    {80, 2214}, {100, 2727}, {120, 3240}, {150, 4013}}};

// clang-format on
