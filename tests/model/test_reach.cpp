// What a setting reaches, against every setting the registers can hold, and the
// refusal of a target outside it or outside the field.
#include "model/calculation.h"
#include "model/prescaler_setting.h"
#include "model/reach.h"
#include "support/register_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const FrequencyField kOutFreq{0.0, 5000.0, "Out Freq (MHz)"};

RegisterSet settings_of(int part, PrescalerSetting p, int MASH, int LNM, int RAND_EN)
{
    RegisterSet r;
    r.N_flag = part;
    r.ref_freq = 100.0;
    r.R_reg = 1;
    r.MASH = MASH;
    r.LNM = LNM;
    r.RAND_EN = RAND_EN;
    set_prescaler(r, p);
    return r;
}

Reach searched_reach(const RegisterSet& settings)
{
    Reach reach{INFINITY, -INFINITY};
    search_registers(settings, 0.0, [&](const RegisterSet&, uint32_t, double fin) {
        reach.lowest_mhz = std::min(reach.lowest_mhz, fin);
        reach.highest_mhz = std::max(reach.highest_mhz, fin);
    });
    return reach;
}

std::string refusal_text(double target, const Reach& reach, const char* words,
                         const FrequencyField& field = kOutFreq)
{
    const std::optional<TargetRefusal> r = refuse_target(target, field, reach, words);
    return r ? r->text : "taken";
}

}  // namespace

TEST(Reach, TheEndsAreThoseOfEverySettingTheRegistersHold)
{
    for (PrescalerSetting p :
         {PrescalerSetting::Modulus10_11, PrescalerSetting::Modulus5_6, PrescalerSetting::Bypassed}) {
        std::vector<RegisterSet> all = {settings_of(ZR3100, p, 1, 1, 1)};
        for (int MASH : {0, 1})
            for (int LNM : {0, 1})
                for (int RAND_EN : {0, 1})
                    all.push_back(settings_of(ZR3500, p, MASH, LNM, RAND_EN));
        for (const RegisterSet& s : all) {
            const Reach searched = searched_reach(s);
            const Reach reach = reach_of(s);
            EXPECT_EQ(reach.lowest_mhz, searched.lowest_mhz)
                << "part " << s.N_flag << ", prescaler_en " << s.prescaler_en << ", Mod Select " << s.MOD_SEL
                << ", MASH " << s.MASH << ", LNM " << s.LNM << ", dither " << s.RAND_EN;
            EXPECT_EQ(reach.highest_mhz, searched.highest_mhz);
        }
    }
    // By hand: Fc 50 MHz, P 10, M from 1 with A up to M + 1: N 20 to 512 x 10 + 15.
    const Reach integer = reach_of(settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0));
    EXPECT_EQ(integer.lowest_mhz, 1000.0);
    EXPECT_EQ(integer.highest_mhz, 256750.0);
}

TEST(Reach, ATargetOutsideTheFieldIsRefusedFirst)
{
    const Reach reach = reach_of(settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0));
    EXPECT_EQ(refusal_text(-5, reach, "R 1, prescaler 10/11"),
              "-5 MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\"");
    EXPECT_EQ(refusal_text(6000, reach, "R 1, prescaler 10/11"),
              "6000 MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\"")
        << "within the reach, but not a frequency the field takes";
    EXPECT_NE(refusal_text(NAN, reach, "R 1, prescaler 10/11"), "taken");
    const std::optional<TargetRefusal> r = refuse_target(-5, kOutFreq, reach, "R 1");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->range, TargetRefusal::Range::Field);
    EXPECT_EQ(r->lowest_mhz, 0.0);
    EXPECT_EQ(r->highest_mhz, 5000.0);
}

TEST(Reach, ATargetOutsideTheReachIsRefusedWithTheRangeTheSettingsGive)
{
    const Reach integer = reach_of(settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0));
    EXPECT_EQ(refusal_text(500, integer, "R 1, prescaler 10/11"),
              "500 MHz is outside 1000 to 5000 MHz, what R 1, prescaler 10/11 reach in \"Out Freq (MHz)\"");
    EXPECT_EQ(refusal_text(1000, integer, "R 1, prescaler 10/11"), "taken");
    EXPECT_EQ(refusal_text(4321, integer, "R 1, prescaler 10/11"), "taken") << "between channels, to be rounded";

    // A field wide enough: the reach as it is. Bypassed, Fc 50: N 2 to 512.
    const FrequencyField wide{0.0, 100000.0, "Out Freq (MHz)"};
    const Reach bypassed = reach_of(settings_of(ZR3100, PrescalerSetting::Bypassed, 1, 1, 0));
    EXPECT_EQ(refusal_text(50, bypassed, "R 1, prescaler bypassed", wide),
              "50 MHz is outside 100 to 25600 MHz, what R 1, prescaler bypassed reach");

    // No part of the reach in the field: the reach is named. Fr 1000 MHz, R 0: N from 20.
    RegisterSet high = settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0);
    high.ref_freq = 1000.0;
    high.R_reg = 0;
    EXPECT_EQ(refusal_text(4000, reach_of(high), "R 0, prescaler 10/11"),
              "4000 MHz is outside 20000 to 5135000 MHz, what R 0, prescaler 10/11 reach");

    // The ends shown are rounded inward to the Hz: dither on, bypassed, MASH 1-1
    // reaches no lower than (3 + 1/2^19) x 50 = 150.0000953... MHz.
    const Reach dithered = reach_of(settings_of(ZR3500, PrescalerSetting::Bypassed, 1, 1, 1));
    EXPECT_EQ(dithered.lowest_mhz, (3.0 + 1.0 / 524288.0) * 50.0);
    const std::optional<TargetRefusal> r = refuse_target(150.00009, kOutFreq, dithered, "R 1, prescaler bypassed");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->range, TargetRefusal::Range::Settings);
    EXPECT_EQ(r->text,
              "150.00009 MHz is outside 150.000096 to 5000 MHz, what R 1, prescaler bypassed reach in \"Out Freq (MHz)\"");
    EXPECT_EQ(refusal_text(150.000096, dithered, "R 1"), "taken") << "the end as shown is taken";
}
