#include "app/register_transfer.h"

#include "wire/board_lines.h"
#include "wire/register_text.h"
#include "wire/serial_words.h"
#include "model/number_text.h"
#include "model/solve_outcome.h"
#include "app/bit_editors.h"
#include "app/panel_settings.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "resource/setup_file.h"
#include "app/state_keeping.h"
#include "app/status_box.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kImportTitle = "Import registers";

std::string position_text(int control, int value)
{
    const ControlDef* c = CtrlDef(MainPanelHandle, control);
    if (!c)
        return "";
    return value == c->on_value ? c->on_text : c->off_text;
}

// The panel's registers and switches, the words a press packs from them, and
// Fin as the panel shows it.
RegisterWords panel_register_words()
{
    RegisterSet r = settings_from_panel();
    // ZR3100 sends no K; its hidden field may still hold one restored at start-up.
    if (r.N_flag == ZR3100)
        r.K_reg = 0;
    const ControlDef* fin = CtrlDef(MainPanelHandle, PANEL_PLL_FREQ);
    char fin_text[64];
    std::snprintf(fin_text, sizeof fin_text, "%.*f", fin ? fin->precision : 0, r.new_pll_freq);
    const std::string& part = part_menu_name(r.N_flag);
    return register_words(r, part, fin_text,
                          setting_words(r, part, position_text(PANEL_MOD_SEL, r.MOD_SEL),
                                        position_text(PANEL_MASH, r.MASH)));
}

// "main word 0x000E2C, auxiliary word 0x0D70A1, option byte 0x28"
std::string words_list(const ImportedWords& w)
{
    std::string list;
    auto add = [&list](const char* name, std::optional<uint32_t> value, int digits) {
        if (value)
            list += (list.empty() ? "" : ", ") + std::string(name) + " " + hex_text(*value, digits);
    };
    add("main word", w.main_word, 6);
    add("auxiliary word", w.auxiliary_word, 6);
    add("enhancement word", w.enhancement_word, 2);
    add("option byte", w.option_byte ? std::optional<uint32_t>(*w.option_byte) : std::nullopt, 2);
    return list;
}

// Says why nothing was imported, and returns what it said.
std::string refuse(const std::string& why)
{
    std::snprintf(buf, kBufSize, "Nothing was imported: %s.", why.c_str());
    MessagePopup(kImportTitle, buf);
    return buf;
}

// Writes the words into the fields and switches and recomputes, or refuses them
// whole and returns false with what was said in *refusal.
bool import_words(const std::string& text, std::string* refusal = nullptr)
{
    ImportedWords w;
    std::string problem;
    if (!parse_register_words(text, &w, &problem)) {
        const std::string said = refuse(problem);
        if (refusal)
            *refusal = said;
        return false;
    }
    // While ZR3100 is in force its hidden K and dither stay 0, as choosing it leaves them.
    const uint32_t K = w.auxiliary_word ? auxiliary_word_k(*w.auxiliary_word) : 0;
    const bool dither = w.option_byte && (*w.option_byte & RAND_EN_LINE);
    if (regs.N_flag == ZR3100 && (K != 0 || dither)) {
        const std::string set = K != 0 ? "K " + std::to_string(K) + (dither ? " and dither" : "") : "dither";
        const std::string said = refuse("the words set " + set + ", which " + part_menu_name(ZR3100) +
                                        " has not: choose " + part_menu_name(ZR3500) + " under \"Select Part\" first");
        if (refusal)
            *refusal = said;
        return false;
    }
    RegisterSet r = settings_from_panel();
    take_imported_words(w, r);
    show_settings_on_panel(r);
    // As the prescaler switch does when clicked: bypassed, A means nothing and is dimmed.
    prescaler_select_menu_changed(MainPanelHandle, PANEL_SEC_4, EVENT_COMMIT, nullptr, 0, 0);
    append_status("Registers imported: %s.\n", words_list(w).c_str());

    const RegisterSet now = settings_from_panel();
    const std::vector<RuleChange> changes = rule_changes(r.M_reg, r.A_reg, now.M_reg, now.A_reg);
    if (w.main_word && !changes.empty())
        append_status("The range rules %s.\n", rule_changes_text(changes).c_str());
    return true;
}

// Asks for pasted words until they are imported or the operator gives up; a
// refused text comes back in the box to be mended.
void import_pasted()
{
    const std::string ask = "The register words, each in hex after its name (main, auxiliary, enhancement, option), "
                            "as \"Copy register words\" gives them:";
    std::string prompt = ask;
    std::string text;
    ClipboardGetText(&text);
    // The box offers no more than an import reads from a file.
    if (text.size() > kLargestRegisterText) {
        prompt = "The clipboard holds " + std::to_string(text.size()) + " bytes, more than the " +
                 std::to_string(kLargestRegisterText) + " register words can be: it was not pasted. " + ask;
        text.clear();
    }
    for (;;) {
        std::string refusal;
        if (PromptPopup(kImportTitle, prompt.c_str(), &text) != 1 || import_words(text, &refusal))
            return;
        prompt = refusal + " Mend the words, or Cancel. " + ask;
    }
}

}  // namespace

void Copy_Register_Words(int, int, void*, int)
{
    ClipboardPutText(registers_hex_text(panel_register_words()).c_str());
    append_status("%s", "The register words and the option byte were copied to the clipboard.\n");
}

void Export_Registers(int, int, void*, int)
{
    const int format = GenericMessagePopup("Export registers", "Export the register words and the option byte as:",
                                           "Hex text", "C header", "JSON", "Cancel");
    if (format < 1 || format > 3)
        return;
    const RegisterWords w = panel_register_words();
    const char* suffix[] = {".txt", ".h", ".json"};
    const char* kinds[] = {"Hex text (*.txt)", "C headers (*.h)", "JSON (*.json)"};
    const std::string name = part_word(w.part) + "_registers" + suffix[format - 1];
    std::string path;
    if (FileSelectPopup(".", name.c_str(), "Export registers as", &path, kinds[format - 1]) != 1 ||
        refused_as_own_file(path, "Export registers", "the registers"))
        return;
    const std::string text = format == 1   ? registers_hex_text(w)
                             : format == 2 ? registers_c_header(w)
                                           : registers_json_text(w);
    std::string why;
    if (!replace_file(path, text, &why)) {
        std::snprintf(buf, kBufSize, "The registers could not be exported to %s: %s.", path.c_str(), why.c_str());
        MessagePopup("Export registers", buf);
        return;
    }
    append_status("Registers exported to %s.\n", path.c_str());
}

void Import_Registers(int, int, void*, int)
{
    switch (GenericMessagePopup(kImportTitle, "Import register words pasted as text, or read from a file?",
                                "Paste...", "From a file...", nullptr, "Cancel")) {
    case 1: import_pasted(); return;
    case 2: {
        std::string path, text, why;
        if (FileOpenPopup(".", "Import registers from", &path, "Register words (*.txt *.h *.json)") != 1)
            return;
        if (read_regular_file(path, kLargestRegisterText, &text, &why) != ReadOutcome::Ok) {
            refuse(path + " cannot be read: " + why);
            return;
        }
        import_words(text);
        return;
    }
    default: return;
    }
}
