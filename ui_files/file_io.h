#pragma once
// Files read and written whole, safely: a reader that never blocks on a FIFO or
// a device and reads only regular files, and a writer that replaces a file in
// one step, through a symbolic link to its target, keeping its mode and owner.

#include <cstddef>
#include <string>

enum class ReadOutcome {
    Ok,
    Missing,     // no such file
    NotRegular,  // a directory, FIFO, device or socket
    Unreadable,  // it is there, but cannot be opened or read
    TooLarge,    // more than the limit
};

// Reads path whole into *text, at most limit bytes. *why says what went wrong.
ReadOutcome read_regular_file(const std::string& path, std::size_t limit, std::string* text, std::string* why);

// Replaces path with text in one step: the text goes to a temporary file beside
// the file (beside a link's target, when path is a symbolic link), which takes
// the old file's place only once it is complete and on disk, with the old file's
// mode and owner, and the folder is synced after the rename, so that a power cut
// keeps either the old file or the new one. A crash, a full disk or a file-size
// limit never destroys the previous file. A read-only file is not replaced.
// Returns false and says why.
bool replace_file(const std::string& path, const std::string& text, std::string* why);

// The path a save of path writes to: path itself, or the end of its chain of
// symbolic links.
std::string save_target(const std::string& path);

// The temporary file of a save of base stands beside it as
// ".<base>.unfinished-save.<six letters or digits>": hidden, and a name no user
// picks, so that the temporaries of saves killed half-way can be removed without
// touching a user's "<base>.backup" or "<base>.orig12".
std::string replace_temporary_template(const std::string& base);
// Whether name is such a temporary of base.
bool is_replace_temporary(const std::string& name, const std::string& base);
