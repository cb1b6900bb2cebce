// The operator's panel state is never lost: refused, odd and unreadable files,
// failed saves, links and modes, a second program in the folder, saves killed
// half-way, and the display going away, through the real reader, writer and way
// out.
#include "support/startup_fixture.h"

#include "support/operator_actions.h"

#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QFile>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "# zr-eval panel state 1\n";

// The operator changes M, so that a saved state tells itself from the defaults.
void set_m(unsigned M)
{
    SetCtrlVal(MainPanelHandle, PANEL_M_REG, M);
}

bool saved_m(const char* file, unsigned M)
{
    return Startup::file_text(file).find("PANEL_M_REG = " + std::to_string(M) + "\n") != std::string::npos;
}

std::string status_at_start;

// The Status box as the operator sees it once the program runs.
void remember_status()
{
    status_at_start = text_of(PANEL_Status);
}

}  // namespace

using StateSafety = Startup;

TEST_F(StateSafety, ARefusedFileIsMovedAsideBeforeAnythingCanOverwriteIt)
{
    const std::string refused[] = {
        "# zr-eval panel state 2\nPANEL_M_REG = 300\n",           // a wrong header
        kHeader + "PANEL_M_REG = 300\nPANEL_M_REG = 301\n",      // a line twice
        kHeader + "PANEL_A_REG = 16\n",                          // out of range
        kHeader + "PANEL_M_REG = 3OO\n",                         // a typo
    };
    for (const std::string& text : refused) {
        for (const auto& e : fs::directory_iterator("."))
            fs::remove_all(e.path());
        write_state(text);
        operator_actions = [] {
            remember_status();
            set_m(12);
        };
        ASSERT_EQ(start(), 0);
        EXPECT_NE(status_at_start.find("It was moved to panel.sts.rejected.\n"), std::string::npos) << status_at_start;
        EXPECT_EQ(file_text("panel.sts.rejected"), text) << "kept whole";
        EXPECT_TRUE(saved_m("panel.sts", 12)) << "and the new state saved beside it";
    }
    write_state("not a state\n");
    operator_actions = remember_status;
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(file_text("panel.sts.rejected"), refused[3]) << "an earlier refused file stays";
    int aside = 0;
    for (const auto& e : fs::directory_iterator("."))
        aside += e.path().filename().string().rfind("panel.sts.rejected-", 0) == 0 ? 1 : 0;
    EXPECT_EQ(aside, 1) << "the next one gets the time in its name";
}

TEST_F(StateSafety, WhatOrdinaryEditorsWriteIsRead)
{
    for (const char* text : {"\xEF\xBB\xBF# zr-eval panel state 1\nPANEL_M_REG = 300\n",
                             "# zr-eval panel state 1\rPANEL_M_REG = 300\rPANEL_R_REG = 3\r",
                             "# zr-eval panel state 1\r\nPANEL_M_REG = 300\r\n"}) {
        write_state(text);
        unsigned M = 0;
        operator_actions = [&] {
            remember_status();
            GetCtrlVal(MainPanelHandle, PANEL_M_REG, &M);
        };
        ASSERT_EQ(start(), 0);
        EXPECT_EQ(M, 300u) << status_at_start;
    }
}

TEST_F(StateSafety, AFailedSaveIsSaidAndCanBeRetriedMadeElsewhereOrGivenUp)
{
    // A file-size limit: the save fails instead of the program being killed.
    write_state(kHeader + "PANEL_M_REG = 300\n");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const int answered_before = popups_answered();
    operator_actions = [&] {
        set_m(12);
        rlimit tiny = old;
        tiny.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &tiny);
        answer_next_popup("Retry");
        answer_next_popup("Quit without saving");
    };
    ASSERT_EQ(start(), 0);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(popups_answered() - answered_before, 2) << "asked, retried, asked again";
    EXPECT_NE(last_popup_text().find("The panel could not be saved to panel.sts: it cannot be written: File too large"),
              std::string::npos)
        << last_popup_text();
    EXPECT_TRUE(saved_m("panel.sts", 300)) << "the old file stays whole";
    EXPECT_EQ(fs::directory_iterator(".") == fs::directory_iterator(), false);

    // A folder named panel.sts: saved elsewhere instead.
    fs::remove("panel.sts");
    fs::create_directory("panel.sts");
    operator_actions = [] {
        remember_status();
        set_m(13);
        answer_next_popup("Save elsewhere...");
        answer_next_popup((fs::current_path() / "elsewhere.sts").string());
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(status_at_start.find("was not read: it is a folder, not a file."), std::string::npos) << status_at_start;
    EXPECT_TRUE(saved_m("elsewhere.sts", 13));
    fs::remove("panel.sts");

    // A working folder deleted under the running program: quitting is still possible.
    const fs::path doomed = fs::current_path() / "doomed";
    fs::create_directory(doomed);
    fs::current_path(doomed);
    operator_actions = [&] {
        fs::remove(doomed / "panel.sts.lock");
        fs::remove(doomed);
        answer_next_popup("Quit without saving");
    };
    EXPECT_EQ(start(), 0);
    EXPECT_NE(last_popup_text().find("no file can be made in its folder"), std::string::npos) << last_popup_text();
    fs::current_path(dir.path().toStdString());
}

TEST_F(StateSafety, AFifoNamedLikeTheStateNeitherFreezesStartUpNorIsReplaced)
{
    ASSERT_EQ(mkfifo("panel.sts", 0644), 0);
    operator_actions = [] {
        remember_status();
        answer_next_popup("Quit without saving");
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(status_at_start.find("was not read: it is not a regular file."), std::string::npos) << status_at_start;
    struct stat st {};
    ASSERT_EQ(lstat("panel.sts", &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(StateSafety, RestoredBitsFollowTheirFields)
{
    write_state(kHeader + "PANEL_E_REG = 200\nPANEL_ENHBIT_0 = 0\nPANEL_M_REG = 7\n");
    int bit7 = -1, bit6 = -1;
    operator_actions = [&] {
        remember_status();
        GetCtrlVal(MainPanelHandle, PANEL_ENHBIT_0, &bit7);
        GetCtrlVal(MainPanelHandle, PANEL_ENHBIT_1, &bit6);
    };
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(bit7, 1);
    EXPECT_EQ(bit6, 1);
    EXPECT_NE(status_at_start.find("The bits of E in panel.sts disagreed with their fields: the bits were taken "
                                   "from the fields.\n"),
              std::string::npos)
        << "M's bits agreed; E's did not: " << status_at_start;
}

TEST_F(StateSafety, ASaveGoesThroughALinkKeepsTheModeAndLeavesAReadOnlyFileAlone)
{
    fs::create_directory("kept");
    write_state(kHeader + "PANEL_M_REG = 300\n");
    fs::rename("panel.sts", "kept/target.sts");
    chmod("kept/target.sts", 0600);
    fs::create_symlink("kept/target.sts", "panel.sts");
    operator_actions = [] { set_m(12); };
    ASSERT_EQ(start(), 0);
    EXPECT_TRUE(fs::is_symlink("panel.sts")) << "the link stays a link";
    EXPECT_TRUE(saved_m("kept/target.sts", 12));
    EXPECT_EQ(fs::status("kept/target.sts").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    chmod("kept/target.sts", 0444);
    operator_actions = [] {
        set_m(13);
        answer_next_popup("Quit without saving");
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(last_popup_text().find("the file is read-only"), std::string::npos) << last_popup_text();
    EXPECT_TRUE(saved_m("kept/target.sts", 12)) << "a read-only file is not overwritten";
}

TEST_F(StateSafety, ASecondProgramInTheFolderSaysSoAndAsksBeforeSavingOverTheState)
{
    write_state(kHeader + "PANEL_M_REG = 300\n");
    // The other program: a live holder of the folder's lock.
    const int other = open("panel.sts.lock", O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(pwrite(other, "4242\n", 5, 0), 5);
    operator_actions = [] {
        remember_status();
        set_m(12);
        answer_next_popup("Quit without saving");
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(status_at_start.find("Another zr-eval (process 4242) uses this folder's panel.sts"), std::string::npos)
        << status_at_start;
    EXPECT_NE(last_popup_text().find("Save this panel over it?"), std::string::npos);
    EXPECT_TRUE(saved_m("panel.sts", 300)) << "the other program's state stays";

    operator_actions = [] {
        set_m(14);
        answer_next_popup("Save over it");
    };
    ASSERT_EQ(start(), 0);
    EXPECT_TRUE(saved_m("panel.sts", 14));

    // A crashed program's lock is taken over without a word.
    close(other);
    operator_actions = [] {
        remember_status();
        set_m(15);
    };
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(status_at_start.find("Another"), std::string::npos) << status_at_start;
    EXPECT_TRUE(saved_m("panel.sts", 15));
}

TEST_F(StateSafety, TemporariesOfSavesKilledHalfWayAreRemovedAndNoFileOfTheUsers)
{
    // What a save killed half-way leaves, and what a user may keep beside the state.
    const char* temporary = ".panel.sts.unfinished-save.Ab3xY9";
    const char* users[] = {"panel.sts.Ab3xY9", "panel.sts.backup", "panel.sts.orig12", "panel.sts.ABCDEF",
                           "panel.sts.rejected", ".other.sts.unfinished-save.Ab3xY9",
                           ".panel.sts.unfinished-save.Ab3xY9z"};
    QFile(QString::fromLatin1(temporary)).open(QIODevice::WriteOnly);
    for (const char* name : users)
        QFile(QString::fromLatin1(name)).open(QIODevice::WriteOnly);
    ASSERT_EQ(start(), 0);
    EXPECT_FALSE(fs::exists(temporary));
    for (const char* kept : users)
        EXPECT_TRUE(fs::exists(kept)) << kept;
    EXPECT_TRUE(fs::exists("panel.sts"));
    for (const auto& e : fs::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().find("unfinished-save.") == std::string::npos ||
                      e.path().filename().string() == users[5] || e.path().filename().string() == users[6],
                  true)
            << "a save leaves no temporary: " << e.path();
}

TEST_F(StateSafety, WhenTheDisplayGoesAwayTheStateIsSaved)
{
    board.device_count = 1;
    // The death test runs this test again in a process of its own: the folder is
    // handed over, so that both look at the same files.
    setenv("ZR_TEST_FOLDER", dir.path().toLocal8Bit().constData(), 0);
    const std::string folder = std::getenv("ZR_TEST_FOLDER");
    EXPECT_EXIT(
        {
            fs::current_path(folder);
            click_quit = false;
            operator_actions = [] {
                set_m(12);
                // What the toolkit says when the X server ends, before it ends the process.
                qWarning("The X11 connection broke (error 1). Did the X11 server die?");
            };
            start();
        },
        ::testing::ExitedWithCode(1), "the display went away");
    unsetenv("ZR_TEST_FOLDER");
    EXPECT_TRUE(saved_m("panel.sts", 12));
}

TEST_F(StateSafety, AReadOnlyFolderOrAnUnreadableFileIsSaidAndNothingIsLost)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root, which reads and writes whatever the modes say: a read-only folder and "
                        "an unreadable file need a user without root (the failed save itself is tested with a "
                        "file-size limit, a folder named panel.sts and a deleted folder)";
    write_state(kHeader + "PANEL_M_REG = 300\n");
    chmod("panel.sts", 0);
    operator_actions = [] {
        remember_status();
        set_m(12);
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(status_at_start.find("It was moved to panel.sts.rejected."), std::string::npos) << status_at_start;
    chmod("panel.sts.rejected", 0600);
    EXPECT_EQ(file_text("panel.sts.rejected"), kHeader + "PANEL_M_REG = 300\n");

    const std::string folder = fs::current_path().string();
    chmod(folder.c_str(), 0555);
    operator_actions = [] {
        set_m(13);
        answer_next_popup("Quit without saving");
    };
    ASSERT_EQ(start(), 0);
    chmod(folder.c_str(), 0755);
    EXPECT_NE(last_popup_text().find("could not be saved"), std::string::npos) << last_popup_text();
    EXPECT_TRUE(saved_m("panel.sts", 12)) << "the last good state stays";
}
