#pragma once
// What the commands print: the same facts as one JSON document, or as lines of
// text that show the panel's own texts.

#include "wire/register_json.h"
#include "model/calculation.h"
#include "model/number_text.h"
#include "model/register_set.h"

#include <cstdint>
#include <ostream>
#include <string>

// The document's text: its layout's format first, and every word also in hex
// beside its number (see with_word_hex). Texts that are not UTF-8 (a file name, a typed value) are
// written with U+FFFD in place of the bytes that are not.
std::string json_text(const Json& document);

// One of the calculator's texts, as the panel shows it.
std::string calculator_text(CalculatorText which, const RegisterSet& r);

// A value as the panel's field shows it, with the field's decimals (Out Freq: 7).
std::string field_text(int control, double value);

// The settings: part, Fr, R, prescaler, MASH, LNM, dither, E.
Json settings_json(const RegisterSet& r);
std::string settings_line(const RegisterSet& r);

// R, M, A, K, E; Fc, N, Fin and Fp; and the calculator's texts, of a recomputed set.
Json results_json(const RegisterSet& r);
// The registers and Fin on two lines; the calculator's texts in the panel's order.
void print_registers(std::ostream& out, const RegisterSet& r);
void print_texts(std::ostream& out, const RegisterSet& r);

// What the range rules changed: M and A as given or solved, against r now.
Json rule_changes_json(uint32_t M, uint32_t A, const RegisterSet& r);
std::string rule_changes_line(uint32_t M, uint32_t A, const RegisterSet& r);
