// "Copy register words", "Export registers..." and "Import registers..." through
// the real panel: what is exported comes back, for both parts and each format;
// a word that cannot be one of its kind is refused by name and changes nothing.
#include "support/panel_fixture.h"
#include "support/operator_actions.h"

#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QMenuBar>
#include <QTemporaryDir>

#include <fstream>
#include <map>

namespace {

// Every register field and bit, and every switch the words carry.
using Setting = std::map<std::string, int>;

}  // namespace

class RegisterTransfer : public MainPanelTest {
protected:
    void choose(const char* item) { operator_choose(PanelMenuBarWidget(panel), item); }

    Setting setting() const
    {
        Setting s;
        for (int c : {PANEL_R_REG, PANEL_M_REG, PANEL_A_REG, PANEL_K_REG, PANEL_E_REG})
            s[CtrlName(c)] = static_cast<int>(uint_val(c));
        for (int c : {PANEL_SEC_4, PANEL_MOD_SEL, PANEL_MASH, PANEL_RAND_EN, PANEL_ENHBAR})
            s[CtrlName(c)] = int_val(c);
        for (ToggleRow row : {ToggleRow(kRToggles), ToggleRow(kMToggles), ToggleRow(kAToggles), ToggleRow(kKToggles),
                              ToggleRow(kEToggles)})
            for (int c : row)
                s[CtrlName(c)] = int_val(c);
        return s;
    }

    void set(unsigned R, unsigned M, unsigned A, unsigned K, unsigned E, int prescaler, int mod_sel, int mash,
             int dither, int enhbar)
    {
        SetCtrlVal(panel, PANEL_R_REG, R);
        SetCtrlVal(panel, PANEL_M_REG, M);
        SetCtrlVal(panel, PANEL_A_REG, A);
        SetCtrlVal(panel, PANEL_K_REG, K);
        SetCtrlVal(panel, PANEL_E_REG, E);
        set_toggles(kEToggles, E);
        SetCtrlVal(panel, PANEL_SEC_4, prescaler);
        SetCtrlVal(panel, PANEL_MOD_SEL, mod_sel);
        SetCtrlVal(panel, PANEL_MASH, mash);
        SetCtrlVal(panel, PANEL_RAND_EN, dither);
        SetCtrlVal(panel, PANEL_ENHBAR, enhbar);
        calculate_freq_from_regs(kModeRecompute);
    }

    void export_as(const char* format, const std::string& path)
    {
        answer_next_popup(format);
        answer_next_popup(path);
        choose("MENU_TOOLS_EXPORT");
    }
    void import_file(const std::string& path)
    {
        answer_next_popup("From a file...");
        answer_next_popup(path);
        choose("MENU_TOOLS_IMPORT");
    }
    // Pastes text; a refusal's box is dismissed, and the box that offers the text again cancelled.
    void import_pasted(const std::string& text, bool refused = false)
    {
        answer_next_popup("Paste...");
        answer_next_popup(text);
        if (refused) {
            answer_next_popup("OK");
            cancel_next_popup();
        }
        choose("MENU_TOOLS_IMPORT");
    }

    QTemporaryDir dir;
};

TEST_F(RegisterTransfer, ExportThenImportGivesBackEveryRegisterAndSwitchOfBothParts)
{
    struct Case {
        const char* part;
        const char* format;
        const char* file;
    };
    const Case cases[] = {
        {"MENU_CHANGE_PART_ZR3100", "Hex text", "zr3100.txt"}, {"MENU_CHANGE_PART_ZR3100", "C header", "zr3100.h"},
        {"MENU_CHANGE_PART_ZR3100", "JSON", "zr3100.json"},    {"MENU_CHANGE_PART_ZR3500", "Hex text", "zr3500.txt"},
        {"MENU_CHANGE_PART_ZR3500", "C header", "zr3500.h"},   {"MENU_CHANGE_PART_ZR3500", "JSON", "zr3500.json"},
    };
    for (const Case& c : cases) {
        choose(c.part);
        const bool fractional = regs.N_flag == ZR3500;
        set(33, 341, 5, fractional ? 174762 : 0, 165, 0, 0, fractional ? 0 : 1, fractional ? 1 : 0, 1);
        const Setting exported = setting();
        const std::string path = dir.filePath(c.file).toStdString();
        export_as(c.format, path);
        ASSERT_TRUE(std::ifstream(path).good()) << c.format << " written";

        set(2, 50, 1, fractional ? 7 : 0, 3, 1, 1, fractional ? 1 : 0, 0, 0);
        ASSERT_NE(setting(), exported);
        import_file(path);
        EXPECT_EQ(setting(), exported) << c.format << " of " << text(PANEL_TEXTMSG_10);
    }
}

TEST_F(RegisterTransfer, CopiedWordsPasteBack)
{
    choose("MENU_CHANGE_PART_ZR3500");
    set(1, 7, 6, 110100, 0, 0, 0, 1, 0, 1);
    const Setting copied = setting();
    choose("MENU_TOOLS_COPY_WORDS");
    std::string clipboard;
    ClipboardGetText(&clipboard);
    EXPECT_EQ(clipboard.substr(clipboard.find('\n') + 1), "main word         0x000E2C\n"
                                                          "auxiliary word    0x0D70A1\n"
                                                          "enhancement word  0x00\n"
                                                          "option byte       0x28\n")
        << "the words of zrctl solve 4321 --part zr3500 --prescaler 10/11";

    set(2, 50, 1, 7, 3, 1, 1, 0, 1, 0);
    import_pasted(clipboard);
    EXPECT_EQ(last_popup_text(), clipboard) << "the paste box offers the clipboard";
    EXPECT_EQ(setting(), copied);
    EXPECT_NE(text(PANEL_Status).find("Registers imported: main word 0x000E2C, auxiliary word 0x0D70A1, "
                                      "enhancement word 0x00, option byte 0x28.\n"),
              std::string::npos)
        << text(PANEL_Status);
}

TEST_F(RegisterTransfer, AWordThatCannotBeOneOfItsKindChangesNothing)
{
    choose("MENU_CHANGE_PART_ZR3500");
    set(1, 7, 6, 110100, 9, 0, 0, 1, 0, 1);
    const std::vector<StateValue> before = current_state(panel);
    const std::pair<const char*, const char*> refused[] = {
        {"main word 0x000E2D\noption byte 0x08", "main word 0x000E2D has bit 0 set"},
        {"main word 0x000E2C\nauxiliary word 0x0D70A3", "auxiliary word 0x0D70A3 has 011 in bits 2 to 0"},
        {"main word 0x3FFFFFF", "main word 0x3FFFFFF has more than 21 bits"},
        {"enhancement word 0x100", "enhancement word 0x100 has more than 8 bits"},
        {"main word -0x000E2C", "line 1: \"-0x000E2C\" has a sign: a register word has none"},
        {"main word 0x000E2C\nenhancment 0xC8", "line 2: \"enhancment\" names no kind of word: did you mean "
                                                "enhancement?"},
        {"opton byte 0x28", "\"opton\" names no kind of word: did you mean option?"},
    };
    for (const auto& [words, why] : refused) {
        import_pasted(words, true);
        EXPECT_NE(last_popup_text().find(why), std::string::npos) << last_popup_text();
        EXPECT_EQ(last_popup_text().rfind("Nothing was imported: ", 0), 0u) << last_popup_text();
        const std::vector<StateValue> after = current_state(panel);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            EXPECT_TRUE(after[i].number == before[i].number && after[i].text == before[i].text)
                << after[i].control->constant << " changed by " << words;
    }
}

TEST_F(RegisterTransfer, AClipboardOfMoreThanAnImportReadsIsNotOffered)
{
    ClipboardPutText(std::string(5 << 20, 'x').c_str());
    answer_next_popup("Paste...");
    answer_next_popup("");  // the box is left empty: nothing to import
    answer_next_popup("OK");
    cancel_next_popup();
    choose("MENU_TOOLS_IMPORT");
    EXPECT_EQ(last_popup_text().find("xxxx"), std::string::npos) << "the box was offered the clipboard";
    ClipboardPutText("main word 0x000E2C");
    import_pasted("main word 0x000E2C");
    EXPECT_EQ(uint_val(PANEL_M_REG), 7u) << "a clipboard that fits is offered and taken";
}

TEST_F(RegisterTransfer, ZR3100TakesNoFractionalTerm)
{
    choose("MENU_CHANGE_PART_ZR3100");
    const int before = popups_answered();
    import_pasted("main word 0x000E2C auxiliary word 0x0D70A1", true);
    EXPECT_EQ(popups_answered(), before + 4) << "the box comes back for the words to be mended, and is cancelled";
    EXPECT_NE(last_popup_text().find("the words set K 110100, which ZR3100 has not: choose ZR3500"),
              std::string::npos)
        << last_popup_text();
    EXPECT_EQ(uint_val(PANEL_K_REG), 0u);
    EXPECT_EQ(uint_val(PANEL_M_REG), 7u) << "nothing of the text was taken";
}

TEST_F(RegisterTransfer, WhatTheRangeRulesChangeOfAnImportIsSaid)
{
    // ZR3500, prescaler 10/11, MASH 1-1-1 with the jumper out: M 2 with A 0 and a
    // fractional term is below what the modulator allows (zrctl calc says M 2 -> 6, A 0 -> 3).
    choose("MENU_CHANGE_PART_ZR3500");
    set(1, 7, 4, 1, 0, 0, 0, 0, 0, 1);
    SetCtrlVal(panel, PANEL_LNM, 0);
    const std::string before = text(PANEL_Status);
    import_pasted("main word 0x000420\nauxiliary word 0x0D70A1");  // R 1, M 2, A 0; K 110100
    EXPECT_EQ(text(PANEL_Status).substr(before.size()),
              "Registers imported: main word 0x000420, auxiliary word 0x0D70A1.\n"
              "The range rules changed M 2 -> 6, A 0 -> 3.\n");
    EXPECT_EQ(uint_val(PANEL_M_REG), 6u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 3u);

    const std::string after_first = text(PANEL_Status);
    import_pasted("main word 0x000E28");  // M 7, A 4: within the rules
    EXPECT_EQ(text(PANEL_Status).substr(after_first.size()), "Registers imported: main word 0x000E28.\n")
        << "nothing changed, nothing said";
}

TEST_F(RegisterTransfer, ARefusedPasteComesBackToBeMended)
{
    choose("MENU_CHANGE_PART_ZR3500");
    const std::string typo = "main word 0x000E2C\nauxiliary word 0x0D70A1\nopton byte 0x28";
    answer_next_popup("Paste...");
    answer_next_popup(typo);
    answer_next_popup("OK");                  // "Nothing was imported: ... did you mean option?"
    answer_next_popup("main word 0x000E2C\nauxiliary word 0x0D70A1\noption byte 0x28");
    choose("MENU_TOOLS_IMPORT");
    EXPECT_EQ(last_popup_text(), typo) << "the box came back with the refused text";
    EXPECT_EQ(uint_val(PANEL_M_REG), 7u) << "the mended words were imported";
    EXPECT_EQ(uint_val(PANEL_K_REG), 110100u);

    const int before = popups_answered();
    cancel_next_popup();
    choose("MENU_TOOLS_IMPORT");
    EXPECT_EQ(popups_answered(), before + 1) << "Esc on the first question cancels the import";
}

TEST_F(RegisterTransfer, TheFormatQuestionCanBeCancelledAndTheFileBoxesOfferTheirKinds)
{
    const std::string path = dir.filePath("cancelled.txt").toStdString();
    answer_next_popup("Cancel");
    choose("MENU_TOOLS_EXPORT");
    EXPECT_FALSE(std::ifstream(path).good());

    export_as("C header", dir.filePath("zr.h").toStdString());
    EXPECT_EQ(last_file_kinds(), (std::vector<std::string>{"C headers (*.h)", "All files (*)"}));
    export_as("JSON", dir.filePath("zr.json").toStdString());
    EXPECT_EQ(last_file_kinds(), (std::vector<std::string>{"JSON (*.json)", "All files (*)"}));
    import_file(dir.filePath("zr.json").toStdString());
    EXPECT_EQ(last_file_kinds(),
              (std::vector<std::string>{"Register words (*.txt *.h *.json)", "All files (*)"}));
}
