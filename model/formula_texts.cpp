#include "model/formula_texts.h"

Configuration configuration_of(int prescaler_en, int N_flag)
{
    if (prescaler_en != 0)
        return N_flag == 0 ? Configuration::BypassInteger : Configuration::BypassFractional;
    return N_flag == 0 ? Configuration::PrescalerInteger : Configuration::PrescalerFractional;
}

FormulaPair symbolic_formulas(Configuration c)
{
    switch (c) {
    case Configuration::PrescalerInteger:
        return {"Fin = [%d x (M + 1)] x [Fr / (R + 1)]", "Fp = Fin / [%d x (M + 1) + A]"};
    case Configuration::PrescalerFractional:
        return {"Fin = [%d x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] x Fr / (R + 1)]",
                "Fp = Fin / (%d x (M + 1) + A + [(2 x K + RAND_EN) / 524288)]"};
    case Configuration::BypassInteger:
        return {"Fin = (M + 1) x [Fr / (R + 1)]", "Fp = Fin / (M + 1)"};
    case Configuration::BypassFractional:
        return {"Fin = [(M + 1) + (2 x K + RAND_EN) / 524288)] x [Fr / (R + 1)]",
                "Fp = Fin / [(M + 1) + (2 x K + RAND_EN) / 524288)]"};
    }
    return {"", ""};
}

FormulaPair worked_formulas(Configuration c)
{
    switch (c) {
    case Configuration::PrescalerInteger:  // P, M, Fr, R, Fin | Fin, P, M, A, Fp
        return {"Fin = [%d x (%d + 1)] x (%.3f / %d + 1)] = %f MHz",
                "Fp = %f / [%d x (%d + 1) + %d] = %.3f MHz"};
    case Configuration::PrescalerFractional:  // P, M, A, K, RAND_EN, Fr, R, Fin | Fin, P, M, A, K, RAND_EN, Fp
        return {"Fin = [%d x (%d + 1) + %d + [(2 x %d + %d) / 524288)] x (%.3f / %d + 1)] = %f MHz",
                "Fp = %f / [%d x (%d + 1) + %d + [(2 x %d + %d) / 524288)] = %.3f MHz"};
    case Configuration::BypassInteger:  // M, Fr, R, Fin | Fin, M, Fp
        return {"Fin = [(%d + 1)] x [(%.3f / %d + 1)] = %f MHz", "Fp = %f / (%d + 1) = %.3f MHz"};
    case Configuration::BypassFractional:  // M, K, RAND_EN, Fr, R, Fin | Fin, M, K, RAND_EN, Fp
        return {"Fin=[(%d + 1) + (2 x %d + %d) / 524288)] x [(%.3f / %d + 1)] = %f MHz",
                "Fp = %f / [(%d + 1) + (2 x %d + %d) / 524288)] = %.3f MHz"};
    }
    return {"", ""};
}
