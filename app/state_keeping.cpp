#include "app/state_keeping.h"

#include "app/toggle_rows.h"
#include "model/chip_limits.h"
#include "model/frequency.h"
#include "app/board/board_choice.h"
#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "app/status_box.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kLockSuffix = ".lock";

int lock_fd = -1;
long other_holder = 0;  // the process that holds the folder's state, when it is not this one

std::string lock_file()
{
    return std::string(kPanelStateFile) + kLockSuffix;
}

// The lock file, opened for writing, or -1 and why not. Only a regular file is
// a lock: a folder, a FIFO or a link of that name is not waited on or followed.
int open_lock(const std::string& lock, std::string* why)
{
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) {
        const int error = errno;
        *why = error == EISDIR   ? "it is a folder"
               : error == ELOOP  ? "it is a symbolic link"
               : error == EACCES ? "it cannot be written"
                                 : std::strerror(error);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *why = S_ISFIFO(st.st_mode) ? "it is a FIFO" : "it is not a regular file";
        return -1;
    }
    return fd;
}

// "process 1234", or "" when the lock file names none.
std::string holder_text()
{
    if (other_holder <= 0)
        return "";
    return " (process " + std::to_string(other_holder) + ")";
}

long pid_in(int fd)
{
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    return n > 0 ? std::strtol(text, nullptr, 10) : 0;
}

// "panel.sts.rejected", or with the time when that one exists already.
std::string rejected_name()
{
    const std::string plain = std::string(kPanelStateFile) + ".rejected";
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(plain, ec)))
        return plain;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = plain + "-" + stamp;
    for (int i = 2; std::filesystem::exists(std::filesystem::symlink_status(name, ec)); ++i)
        name = plain + "-" + stamp + "-" + std::to_string(i);
    return name;
}

// A refused file goes aside, so that no save can overwrite it.
void move_aside(const std::string& why)
{
    const std::string aside = rejected_name();
    std::error_code ec;
    std::filesystem::rename(kPanelStateFile, aside, ec);
    if (ec)
        append_status("The saved panel state in %s was not used: %s. It could not be moved aside (%s): quitting "
                      "will ask before saving over it.\n",
                      kPanelStateFile, why.c_str(), ec.message().c_str());
    else
        append_status("The saved panel state in %s was not used: %s. It was moved to %s.\n", kPanelStateFile,
                      why.c_str(), aside.c_str());
}

// After a restore, each register's row of bits shows its field; a file whose
// rows disagreed with its fields is named.
void bits_from_fields()
{
    struct Row {
        const char* name;
        ToggleRow toggles;
        int field;
    };
    const Row rows[] = {{"R", kRToggles, PANEL_R_REG}, {"M", kMToggles, PANEL_M_REG}, {"A", kAToggles, PANEL_A_REG},
                        {"K", kKToggles, PANEL_K_REG}, {"E", kEToggles, PANEL_E_REG}};
    std::string differing;
    for (const Row& row : rows) {
        unsigned field = 0;
        GetCtrlVal(MainPanelHandle, row.field, &field);
        if (sum_of_toggles(row.toggles) != toggle_pattern(field, row.toggles.size())) {
            differing += differing.empty() ? "" : ", ";
            differing += row.name;
        }
        set_toggles(row.toggles, field);
    }
    if (!differing.empty())
        append_status("The bits of %s in %s disagreed with their fields: the bits were taken from the fields.\n",
                      differing.c_str(), kPanelStateFile);
}

// Where the operator chose to save instead, or "" when they gave up.
std::string ask_for_elsewhere()
{
    std::string path;
    if (FileSelectPopup(".", kPanelStateFile, "Save the panel state as", &path, "Panel states (*.sts)") != 1)
        return "";
    return path;
}

}  // namespace

void take_state_folder()
{
    other_holder = 0;
    const std::string lock = lock_file();
    std::string why_not;
    lock_fd = open_lock(lock, &why_not);
    if (lock_fd < 0) {
        // Without the lock nothing tells two programs in the folder apart: this
        // one behaves as if another might hold the state.
        other_holder = -1;
        append_status("The lock %s cannot be taken (%s): another %s may be using this folder's %s, so this one "
                      "will ask before saving over it.\n",
                      lock.c_str(), why_not.c_str(), kProgramName, kPanelStateFile);
        return;
    }
    if (::flock(lock_fd, LOCK_EX | LOCK_NB) != 0) {
        // Held by a live run: the kernel lets a crashed run's lock go by itself.
        other_holder = pid_in(lock_fd);
        if (other_holder == 0)
            other_holder = -1;
        ::close(lock_fd);
        lock_fd = -1;
        append_status("Another %s%s uses this folder's %s: this one will ask before saving over it.\n", kProgramName,
                      holder_text().c_str(), kPanelStateFile);
        return;
    }
    char pid[32];
    const int n = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(lock_fd, 0) != 0 || ::pwrite(lock_fd, pid, static_cast<std::size_t>(n), 0) != n)
        std::fprintf(stderr, "%s: %s cannot be written\n", kProgramName, lock.c_str());
    // Only the holder cleans up: another run's save may be under way otherwise.
    const std::string target = save_target(kPanelStateFile);
    const std::filesystem::path folder = std::filesystem::path(target).parent_path().empty()
                                             ? std::filesystem::path(".")
                                             : std::filesystem::path(target).parent_path();
    const std::string base = std::filesystem::path(target).filename().string();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (is_replace_temporary(name, base) && entry.is_regular_file(ec) && !entry.is_symlink(ec))
            std::filesystem::remove(entry.path(), ec);
    }
}

std::string own_file_refusal(const std::string& path)
{
    namespace fs = std::filesystem;
    // Where a save of the path writes, through links, and the file it would replace.
    auto where = [](const std::string& file, std::error_code& ec) {
        return fs::weakly_canonical(fs::absolute(save_target(file), ec), ec);
    };
    std::error_code ec;
    const fs::path target = where(path, ec);
    if (ec)
        return "";
    struct stat target_st {};
    const bool target_exists = ::stat(target.c_str(), &target_st) == 0;
    const std::string lock = lock_file();
    const struct {
        std::string file;
        std::string role;
    } own[] = {
        {kPanelStateFile, "is where the panel keeps its own state, saved over at QUIT"},
        {kBoardChoiceFile, "is where the panel remembers the board chosen from the Board menu"},
        {lock, "is the lock that keeps a second " + std::string(kProgramName) + " from saving over this one's " +
                   kPanelStateFile},
    };
    for (const auto& o : own) {
        std::error_code oec;
        const fs::path kept = where(o.file, oec);
        struct stat st {};
        const bool same_file = target_exists && ::stat(kept.c_str(), &st) == 0 && st.st_dev == target_st.st_dev &&
                               st.st_ino == target_st.st_ino;
        if ((!oec && kept == target) || same_file)
            return o.file + " " + o.role;
    }
    std::error_code sec;
    const fs::path state = where(kPanelStateFile, sec);
    if (!sec && target.parent_path() == state.parent_path() &&
        is_replace_temporary(target.filename().string(), state.filename().string()))
        return target.filename().string() + " is a temporary file of the save of " + kPanelStateFile;
    return "";
}

bool refused_as_own_file(const std::string& path, const char* title, const char* what)
{
    const std::string own = own_file_refusal(path);
    if (own.empty())
        return false;
    std::snprintf(buf, kBufSize, "%s: save %s under another name.", own.c_str(), what);
    MessagePopup(title, buf);
    return true;
}

void release_state_folder()
{
    if (lock_fd >= 0)
        ::close(lock_fd);
    lock_fd = -1;
    other_holder = 0;
}

void restore_panel_state()
{
    std::string problem;
    const int status = RecallPanelState(MainPanelHandle, kPanelStateFile, 0, &problem);
    if (status == UI_ERR_STATE_CONTENT) {
        move_aside(problem);
        return;
    }
    if (status == UI_ERR_STATE_UNREADABLE) {
        struct stat st {};
        if (::lstat(kPanelStateFile, &st) == 0 && S_ISREG(st.st_mode))
            move_aside(problem);
        else
            append_status("The saved panel state in %s was not read: %s.\n", kPanelStateFile, problem.c_str());
        return;
    }
    if (status != UI_OK)
        return;
    bits_from_fields();
    // The solver steps from the last computed Fc and Fin. Those still describe the
    // resource defaults, so take them from the restored fields instead, without
    // a recompute that would apply the integer part's ranges to a fractional setting.
    double ref_freq = 0.0;
    unsigned R = 0;
    GetCtrlVal(MainPanelHandle, PANEL_REF_FREQ, &ref_freq);
    GetCtrlVal(MainPanelHandle, PANEL_R_REG, &R);
    regs.fc = comparison_frequency(ref_freq, R);
    GetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, &regs.temp_pll_freq);
}

void save_panel_state(bool interactive)
{
    std::string path = kPanelStateFile;
    if (other_holder != 0) {
        if (!interactive) {
            std::fprintf(stderr, "%s: another %s%s uses this folder's %s: the panel was not saved\n", kProgramName,
                         kProgramName, holder_text().c_str(), kPanelStateFile);
            return;
        }
        std::snprintf(buf, kBufSize, "Another %s%s uses this folder's %s. Save this panel over it?", kProgramName,
                      holder_text().c_str(), kPanelStateFile);
        switch (GenericMessagePopup("Save the panel state", buf, "Save over it", "Save elsewhere...",
                                    "Quit without saving")) {
        case 1: break;
        case 2:
            path = ask_for_elsewhere();
            if (path.empty())
                return;
            break;
        default: return;
        }
    }
    for (;;) {
        std::string why;
        if (SavePanelState(MainPanelHandle, path.c_str(), 0, &why) == UI_OK)
            return;
        if (!interactive) {
            std::fprintf(stderr, "%s: the panel could not be saved to %s: %s\n", kProgramName, path.c_str(),
                         why.c_str());
            return;
        }
        std::snprintf(buf, kBufSize, "The panel could not be saved to %s: %s.", path.c_str(), why.c_str());
        switch (GenericMessagePopup("Save the panel state", buf, "Retry", "Save elsewhere...", "Quit without saving")) {
        case 1: break;
        case 2: {
            const std::string elsewhere = ask_for_elsewhere();
            if (!elsewhere.empty())
                path = elsewhere;
            break;
        }
        default: return;
        }
    }
}
