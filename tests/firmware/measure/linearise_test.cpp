#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app/headless/fake_host.h"
#include "firmware/firmware.h"

namespace {

class Linearise : public ::testing::Test {
protected:
    void SetUp() override {
        reset_all_state();
        load_factory_defaults();
        current_pressure_settings = &settings.pressure[0];
        current_temperature_settings = &settings.temperature[0];
    }

    // The lookup alone: the curve goes in as the channel's user curve.
    static s32 temperature_at(const SenderCurve& curve, u32 r) {
        settings.temperature[0].sender = TemperatureSender::User;
        settings.temperature[0].user_curve = curve;
        raw_reading[0] = r;
        linearise_temperature(0);
        return temperature_value[0];
    }
    static s32 pressure_at(const SenderCurve& curve, u32 r) {
        settings.pressure[0].sender = PressureSender::User;
        settings.pressure[0].user_curve = curve;
        raw_reading[0] = r;
        linearise_pressure(0);
        return pressure_value[0];
    }
};

struct Point {
    s32 value;
    u32 reading;
};

// The senders' tables, transcribed independently of the firmware's copy, so a
// slip in either shows as a value off its point.
struct CurveCase {
    const char* name;
    const SenderCurve* curve;
    bool falling;
    std::vector<Point> points;
};

const std::vector<CurveCase>& curve_cases() {
    // clang-format off
    static const std::vector<CurveCase> cases = {
        {"KVX NTC", &CURVE_KVX_NTC, true,
         {{20, 1740}, {30, 1310}, {40, 956}, {50, 697}, {60, 500}, {70, 364}, {80, 264},
          {90, 192}, {100, 144}, {110, 108}}},
        {"VDO temp", &CURVE_VDO_TEMP, true,
         {{10, 2250}, {50, 724}, {66, 436}, {80, 282}, {100, 158}, {110, 123}, {120, 92},
          {130, 72}, {140, 56}, {150, 44}}},
        {"WESTACH", &CURVE_WESTACH, true,
         {{10, 3234}, {21, 2852}, {43, 1966}, {60, 1356}, {77, 884}, {88, 673},
          {99, 500}, {121, 284}, {149, 144}, {204, 36}}},
        {"VDO 2 bar", &CURVE_VDO_2BAR, false,
         {{0, 8}, {5, 164}, {10, 248}, {15, 312}, {20, 456}}},
        {"VDO 5 bar", &CURVE_VDO_5BAR, false,
         {{0, 24}, {10, 128}, {20, 216}, {30, 292}, {40, 368}, {50, 428}}},
        {"VDO 10 bar", &CURVE_VDO_10BAR, false,
         {{0, 21}, {20, 132}, {40, 220}, {60, 308}, {80, 376}, {100, 440}}},
        {"T1EU07", &CURVE_T1EU07, false,
         {{0, 159}, {10, 672}, {20, 1186}, {30, 1701}, {40, 2214}, {50, 2727},
          {60, 3240}, {70, 3755}}},
        {"T1EU35", &CURVE_T1EU35, false,
         {{0, 159}, {5, 682}, {10, 1211}, {15, 1742}, {20, 2264}, {25, 2792}, {30, 3306},
          {35, 3847}}},
        {"T1EU70A", &CURVE_T1EU70A, false,
         {{5, 110}, {6, 159}, {10, 392}, {15, 672}, {20, 944}, {25, 1228}, {30, 1509},
          {35, 1791}, {40, 2074}, {45, 2356}, {50, 2636}, {55, 2197}, {60, 3200}}},
        {"T1EU100", &CURVE_T1EU100, false,
         {{0, 159}, {10, 523}, {20, 896}, {30, 1261}, {40, 1626}, {50, 1998}, {60, 2363},
          {70, 2727}, {80, 3100}, {90, 3464}}},
        {"T1EU150", &CURVE_T1EU150, false,
         {{0, 159}, {20, 672}, {40, 1186}, {60, 1701}, {80, 2214}, {100, 2727},
          {120, 3240}, {150, 4013}}},
    };
    // clang-format on
    return cases;
}

TEST_F(Linearise, EveryBuiltInCurveGivesEachPointsValueAtItsReading) {
    for (const CurveCase& c : curve_cases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.curve->point_count, c.points.size());
        for (size_t i = 0; i < c.points.size(); ++i) {
            SCOPED_TRACE(i);
            const Point& p = c.points[i];
            const s32 got =
                c.falling ? temperature_at(*c.curve, p.reading) : pressure_at(*c.curve, p.reading);
            // T1EU70A's twelfth reading (2197) lies below the eleventh, so
            // the lookup meets the 40..45 segment first there.
            const s32 want = c.curve == &CURVE_T1EU70A && i == 11 ? 42 : p.value;
            EXPECT_EQ(got, want);
        }
        for (size_t i = c.points.size(); i < CURVE_MAX_POINTS; ++i) {
            EXPECT_EQ(c.curve->points[i].value, 0);
            EXPECT_EQ(c.curve->points[i].reading, 0u);
        }
    }
}

TEST_F(Linearise, ReadingsBetweenAndBeyondThePointsInterpolateAndExtrapolate) {
    struct Case {
        const SenderCurve* curve;
        bool falling;
        u32 reading;
        s32 want;
    };
    const Case cases[] = {
        {&CURVE_VDO_TEMP, true, 3000, -10},  // beyond the first point, first segment
        {&CURVE_VDO_TEMP, true, 20, 170},    // beyond the last point, last segment
        {&CURVE_VDO_TEMP, true, 0, 187},
        {&CURVE_VDO_TEMP, true, 1000, 43},
        {&CURVE_KVX_NTC, true, 4096, -35},
        {&CURVE_KVX_NTC, true, 0, 140},
        {&CURVE_WESTACH, true, 4096, -15},
        {&CURVE_WESTACH, true, 0, 222},
        {&CURVE_WESTACH, true, 1000, 73},
        {&CURVE_VDO_10BAR, false, 176, 30},  // 29.999.. cut to 29.9, rounds to 30
        {&CURVE_VDO_10BAR, false, 0, -4},    // below the first point
        {&CURVE_VDO_10BAR, false, 2000, 588},
        {&CURVE_VDO_10BAR, false, 101, 14},
        {&CURVE_VDO_10BAR, false, 104, 15},
        {&CURVE_T1EU70A, false, 2900, 59},  // 58.505 on the (55, 2197)..(60, 3200) segment
        {&CURVE_T1EU70A, false, 0, 3},
        {&CURVE_T1EU70A, false, 4096, 64},
        {&CURVE_T1EU150, false, 4096, 153},
        {&CURVE_T1EU07, false, 0, -3},
        // Single-precision slope and offset decide these; in double they
        // come out 183, 3, 18 and 27.
        {&CURVE_VDO_TEMP, true, 5, 182},
        {&CURVE_VDO_2BAR, false, 86, 2},
        {&CURVE_T1EU35, false, 2003, 17},
        {&CURVE_T1EU35, false, 3049, 28},
        // The anchor decides these: the other end of the segment gives 176 and 15.
        {&CURVE_WESTACH, true, 90, 177},
        {&CURVE_T1EU70A, false, 644, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reading);
        EXPECT_EQ(
            c.falling ? temperature_at(*c.curve, c.reading) : pressure_at(*c.curve, c.reading),
            c.want);
    }
}

TEST_F(Linearise, OnlyTheLowByteOfThePointCountIsReadAndItIsKeptWithinTheSlots) {
    SenderCurve curve = CURVE_VDO_10BAR;
    curve.point_count = 0x106;
    EXPECT_EQ(pressure_at(curve, 2000), 588);
    curve.point_count = 2;  // only the first segment, extrapolated to the end
    EXPECT_EQ(pressure_at(curve, 440), 75);

    // A full falling curve of 13 points: a count past the slots reads as 13.
    SenderCurve full{};
    for (int i = 0; i < CURVE_MAX_POINTS; ++i)
        full.points[i] = {i * 10, static_cast<u32>(4000 - 300 * i)};
    for (u32 count : {13u, 0x10Du, 14u, 0xFFu}) {
        SCOPED_TRACE(count);
        full.point_count = count;
        EXPECT_EQ(temperature_at(full, 0), 133);
        EXPECT_EQ(temperature_at(full, 4096), -3);
        EXPECT_EQ(temperature_at(full, 2650), 45);
    }

    // Fewer than two points make no line: none reads 0, one is a constant.
    curve.point_count = 0x100;
    EXPECT_EQ(pressure_at(curve, 300), 0);
    full.point_count = 0;
    EXPECT_EQ(temperature_at(full, 300), 0);
    curve.point_count = 1;
    curve.points[0] = {42, 500};
    EXPECT_EQ(pressure_at(curve, 0), 42);
    EXPECT_EQ(pressure_at(curve, 4096), 42);
    full.points[0].value = 7;
    full.point_count = 0x301;
    EXPECT_EQ(temperature_at(full, 4096), 7);
}

TEST_F(Linearise, SegmentValueCutsToTenthsRoundsHalvesAwayAndSaturates) {
    EXPECT_EQ(segment_value({0, 0}, {2496, 100}, 1), 25);  // 24.96 -> 24.9 -> 25
    EXPECT_EQ(segment_value({0, 0}, {2444, 100}, 1), 24);  // 24.44 -> 24
    EXPECT_EQ(segment_value({0, 0}, {-25, 10}, 1), -3);    // -2.5 -> -3
    EXPECT_EQ(segment_value({0, 0}, {-24, 10}, 1), -2);
    // The line is anchored at q: a steep segment still gives q's own value there.
    EXPECT_EQ(segment_value({-1000, 3000}, {1000, 3001}, 3001), 1000);

    // Two points on one reading make no line.
    EXPECT_EQ(segment_value({0, 500}, {100, 500}, 500), 0);
    EXPECT_EQ(segment_value({0, 500}, {100, 500}, 4096), 0);
    // Readings wrapped below zero in the curve editor that differ but meet in
    // single precision are no line either.
    EXPECT_EQ(segment_value({0, 4294967295u}, {100, 4294967290u}, 0), 0);

    // Ten times the value past the 32-bit range pins at the limit.
    EXPECT_EQ(segment_value({0, 0}, {1000000, 1}, 4096), 214748365);
    EXPECT_EQ(segment_value({0, 0}, {-1000000, 1}, 4096), -214748365);
    EXPECT_EQ(segment_value({0, 4294967295u}, {100, 4294966000u}, 0), 214748365);
}

TEST_F(Linearise, AWrappedUserReadingSaturatesTheChannelInsteadOfWrapping) {
    SenderCurve curve = CURVE_VDO_10BAR;
    curve.points[0] = {0, 4294966000u};
    curve.points[1] = {100, 4294967295u};
    curve.point_count = 2;
    EXPECT_EQ(pressure_at(curve, 0), -214748365);
    EXPECT_EQ(temperature_at(curve, 0), -214748365);

    // The same curve through the channel: clamped at 0, not a wrapped positive.
    settings.pressure[0].user_curve = curve;
    input_a = 100;
    process_pressure_channel(0);
    EXPECT_EQ(pressure_value[0], 0);
}

TEST_F(Linearise, RoundingAndFixedConversions) {
    const std::pair<s32, s32> div10[] = {{145, 15}, {144, 14}, {15, 2},    {14, 1},   {5, 1},
                                         {4, 0},    {0, 0},    {-15, -2},  {-14, -1}, {-5, -1},
                                         {-4, 0},   {25, 3},   {-145, -15}};
    for (auto [a, want] : div10)
        EXPECT_EQ(div10_nearest(a), want) << a;

    const std::pair<s32, s32> fahrenheit[] = {{-40, -40}, {-1, 31}, {0, 32},  {100, 212},
                                              {37, 98},   {-17, 2}, {-18, 0}, {150, 302}};
    for (auto [c, want] : fahrenheit)
        EXPECT_EQ(to_fahrenheit(c), want) << c;
    EXPECT_EQ(to_fahrenheit(INT32_MAX), INT32_MAX);
    EXPECT_EQ(to_fahrenheit(INT32_MIN), INT32_MIN);

    const std::pair<u32, s32> lm335[] = {{0, -273}, {2400, 27}, {4096, 239}, {2183, -1},
                                         {2184, 0}, {2191, 0},  {2192, 1},   {3264, 135}};
    for (auto [r, want] : lm335)
        EXPECT_EQ(lm335_celsius(r), want) << r;
    EXPECT_EQ(lm335_celsius(UINT32_MAX), 536870638);
}

TEST_F(Linearise, PressureToUnitTruncatesEachProductBeforeRounding) {
    using N = NativeUnit;
    using U = PressureUnit;
    struct Case {
        s32 p;
        N from;
        U to;
        s32 want;
    };
    const Case cases[] = {
        // Tenths of a bar (VDO).
        {100, N::BarTenths, U::Bar, 100},
        {-4, N::BarTenths, U::Bar, -4},
        {100, N::BarTenths, U::Psi, 145},
        {15, N::BarTenths, U::Psi, 22},  // 217 tenths of psi
        {-15, N::BarTenths, U::Psi, -22},
        {-4, N::BarTenths, U::Psi, -6},
        {100, N::BarTenths, U::PsiTenths, 1450},
        {15, N::BarTenths, U::PsiTenths, 218},
        {-15, N::BarTenths, U::PsiTenths, -218},
        {100, N::BarTenths, U::InHg, 295},
        {15, N::BarTenths, U::InHg, 44},
        {2, N::BarTenths, U::InHg, 6},
        {-2, N::BarTenths, U::InHg, -6},
        // Tenths of a psi (T1EU07).
        {145, N::PsiTenths, U::Bar, 10},
        {700, N::PsiTenths, U::Bar, 48},
        {-700, N::PsiTenths, U::Bar, -48},
        {-15, N::PsiTenths, U::Bar, -1},
        {145, N::PsiTenths, U::Psi, 15},
        {-145, N::PsiTenths, U::Psi, -15},
        {14, N::PsiTenths, U::Psi, 1},
        {700, N::PsiTenths, U::PsiTenths, 700},
        {700, N::PsiTenths, U::InHg, 143},
        {-700, N::PsiTenths, U::InHg, -143},
        {100, N::PsiTenths, U::InHg, 20},
        // Whole psi.
        {35, N::Psi, U::Bar, 24},
        {150, N::Psi, U::Bar, 103},
        {-35, N::Psi, U::Bar, -24},
        {5, N::Psi, U::Bar, 3},
        {-1, N::Psi, U::Bar, -1},
        {35, N::Psi, U::Psi, 35},
        {35, N::Psi, U::PsiTenths, 350},
        {-3, N::Psi, U::PsiTenths, -30},
        {35, N::Psi, U::InHg, 71},
        {-35, N::Psi, U::InHg, -71},
        {10, N::Psi, U::InHg, 20},
        // Inches of mercury (T1EU70A): 29.52 to bar, not 29.53.
        {60, N::InHg, U::Bar, 20},
        {-60, N::InHg, U::Bar, -20},
        {15, N::InHg, U::Bar, 5},
        {60, N::InHg, U::Psi, 29},
        {-60, N::InHg, U::Psi, -29},
        {5, N::InHg, U::Psi, 2},
        {60, N::InHg, U::PsiTenths, 295},
        {-60, N::InHg, U::PsiTenths, -295},
        {5, N::InHg, U::PsiTenths, 25},
        {60, N::InHg, U::InHg, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p << " from " << int(c.from) << " to " << int(c.to));
        EXPECT_EQ(pressure_to_unit(c.p, c.from, c.to), c.want);
    }
    // 100 bar is 2953 "Hg from bar, yet 2952 "Hg is 100 bar the other way.
    EXPECT_EQ(pressure_to_unit(2952, N::InHg, U::Bar), 1000);
    EXPECT_EQ(pressure_to_unit(1000, N::BarTenths, U::InHg), 2953);

    // Products past 32 bits pin at the limits instead of wrapping.
    EXPECT_EQ(pressure_to_unit(INT32_MAX, N::Psi, U::PsiTenths), INT32_MAX);
    EXPECT_EQ(pressure_to_unit(INT32_MIN, N::Psi, U::PsiTenths), INT32_MIN);
    EXPECT_EQ(pressure_to_unit(200000000, N::InHg, U::PsiTenths), 214748368);
    EXPECT_EQ(pressure_to_unit(-200000000, N::InHg, U::PsiTenths), -214748368);
    EXPECT_EQ(pressure_to_unit(214748365, N::BarTenths, U::PsiTenths), 214748368);
    EXPECT_EQ(pressure_to_unit(10000000, N::BarTenths, U::PsiTenths), 145000000);
}

TEST_F(Linearise, CurveChoicesKeepStrayCodesOnTheFactoryChoice) {
    EXPECT_EQ(&vdo_curve(0), &CURVE_VDO_2BAR);
    EXPECT_EQ(&vdo_curve(1), &CURVE_VDO_5BAR);
    EXPECT_EQ(&vdo_curve(2), &CURVE_VDO_10BAR);
    EXPECT_EQ(&vdo_curve(3), &CURVE_VDO_10BAR);
    EXPECT_EQ(&vdo_curve(255), &CURVE_VDO_10BAR);

    const SenderCurve* models[] = {&CURVE_T1EU07,  &CURVE_T1EU35,  &CURVE_T1EU07,
                                   &CURVE_T1EU70A, &CURVE_T1EU100, &CURVE_T1EU150};
    const NativeUnit units[] = {NativeUnit::PsiTenths, NativeUnit::Psi, NativeUnit::Psi,
                                NativeUnit::InHg,      NativeUnit::Psi, NativeUnit::Psi};
    for (u32 m = 0; m < 6; ++m) {
        EXPECT_EQ(&transducer_curve(m), models[m]) << m;
        EXPECT_EQ(transducer_unit(m), units[m]) << m;
    }
    for (u32 stray : {6u, 0x100u, UINT32_MAX}) {
        EXPECT_EQ(&transducer_curve(stray), &CURVE_T1EU07);
        EXPECT_EQ(transducer_unit(stray), NativeUnit::PsiTenths);
    }

    PressureChannelSettings& p = settings.pressure[0];
    p.vdo_range = 1;
    p.transducer_model = 4;
    p.sender = PressureSender::Vdo;
    EXPECT_EQ(&pressure_curve(p), &CURVE_VDO_5BAR);
    p.sender = static_cast<PressureSender>(7);
    EXPECT_EQ(&pressure_curve(p), &CURVE_VDO_5BAR);
    p.sender = PressureSender::Standard;
    EXPECT_EQ(&pressure_curve(p), &CURVE_T1EU100);
    p.sender = PressureSender::User;
    EXPECT_EQ(&pressure_curve(p), &p.user_curve);

    TemperatureChannelSettings& t = settings.temperature[0];
    const std::pair<u8, const SenderCurve*> temps[] = {
        {0, &CURVE_KVX_NTC}, {1, &CURVE_VDO_TEMP}, {2, &CURVE_VDO_TEMP},
        {3, &t.user_curve},  {4, &CURVE_WESTACH},  {200, &CURVE_VDO_TEMP}};
    for (auto [sender, curve] : temps) {
        t.sender = static_cast<TemperatureSender>(sender);
        EXPECT_EQ(&temperature_curve(t), curve) << int(sender);
    }
}

}  // namespace
