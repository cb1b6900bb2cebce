#include "ui_files/file_io.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kUnfinishedSave = ".unfinished-save.";

std::string reason(const char* what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

// The folder of a path, for the temporary file beside it.
std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool sync_folder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot sync a folder; their renames are as safe as they get.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

// While the writer runs, a file-size limit makes write() fail with EFBIG
// instead of killing the program with SIGXFSZ.
class NoFileSizeSignal {
public:
    NoFileSizeSignal()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~NoFileSizeSignal() { sigaction(SIGXFSZ, &previous_, nullptr); }
    NoFileSizeSignal(const NoFileSizeSignal&) = delete;
    NoFileSizeSignal& operator=(const NoFileSizeSignal&) = delete;

private:
    struct sigaction previous_ {};
};

}  // namespace

ReadOutcome read_regular_file(const std::string& path, std::size_t limit, std::string* text, std::string* why)
{
    // Opened without blocking, so that a FIFO cannot hold the program up, and its
    // type checked before anything is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            *why = "there is no such file";
            return ReadOutcome::Missing;
        }
        *why = reason("it cannot be opened", error);
        return ReadOutcome::Unreadable;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *why = S_ISDIR(st.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
        return ReadOutcome::NotRegular;
    }
    std::string read;
    char chunk[8192];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            *why = reason("it cannot be read", error);
            return ReadOutcome::Unreadable;
        }
        if (n == 0)
            break;
        read.append(chunk, static_cast<std::size_t>(n));
        if (read.size() > limit) {
            ::close(fd);
            *why = "it is larger than " + std::to_string(limit) + " bytes";
            return ReadOutcome::TooLarge;
        }
    }
    ::close(fd);
    *text = std::move(read);
    return ReadOutcome::Ok;
}

std::string save_target(const std::string& path)
{
    std::string target = path;
    // Follow the chain, each relative link from the folder it stands in.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target;
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec)
            return target;
        target = next.is_absolute() ? next.string() : folder_of(target) + "/" + next.string();
    }
    return target;
}

bool replace_file(const std::string& path, const std::string& text, std::string* why)
{
    const std::string target = save_target(path);
    struct stat old {};
    const bool existed = ::lstat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        *why = S_ISDIR(old.st_mode) ? "there is a folder of that name" : "it is not a regular file";
        return false;
    }
    if (existed && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        *why = "the file is read-only";
        return false;
    }
    if (existed && ::access(target.c_str(), W_OK) != 0) {
        *why = reason("the file cannot be written", errno);
        return false;
    }

    std::string temporary =
        folder_of(target) + "/" + replace_temporary_template(std::filesystem::path(target).filename().string());
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        *why = reason("no file can be made in its folder", errno);
        return false;
    }
    NoFileSizeSignal no_signal;
    bool ok = true;
    if (existed) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            ok = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0666 & ~mask) == 0;
    }
    if (!ok)
        *why = reason("the file's mode or owner cannot be kept", errno);
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *why = reason("it cannot be written", n < 0 ? errno : ENOSPC);
            ok = false;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (ok && ::fsync(fd) != 0) {
        *why = reason("it cannot be written", errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        *why = reason("it cannot be written", errno);
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        *why = reason("it cannot take the old file's place", errno);
        ok = false;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    // The rename lives in the folder: until the folder is on disk, a power cut
    // may bring back the old file, or neither.
    if (!sync_folder(folder_of(target))) {
        *why = reason("the file was written, but its folder cannot be synced to disk", errno);
        return false;
    }
    return true;
}

std::string replace_temporary_template(const std::string& base)
{
    return "." + base + kUnfinishedSave + "XXXXXX";
}

bool is_replace_temporary(const std::string& name, const std::string& base)
{
    const std::string prefix = "." + base + kUnfinishedSave;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}
