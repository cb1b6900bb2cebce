#pragma once
// The formula texts of the calculator's displays: the symbolic formulas for each
// configuration and the worked formulas with the numbers filled in. They are the
// formats given to snprintf; the bypass symbolic texts have no conversions.

enum class Configuration {
    PrescalerInteger,
    PrescalerFractional,
    BypassInteger,
    BypassFractional,
};

Configuration configuration_of(int prescaler_en, int N_flag);

struct FormulaPair {
    const char* fin;
    const char* fp;
};

// Symbolic Fin and Fp formulas; in the prescaler texts "%d" is the modulus P.
FormulaPair symbolic_formulas(Configuration c);
// Worked formats; their arguments are listed where the calculator fills them.
FormulaPair worked_formulas(Configuration c);

inline constexpr const char* kRText = "R=%d";
inline constexpr const char* kFcText = "Fc = %.3f / (%d + 1) = %.3f MHz";
inline constexpr const char* kNText = "N=%f";
