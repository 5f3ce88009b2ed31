// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string_view>

#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"

namespace {

// Mode of a new file: read and write for all, less the process's umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void SaveFileSafely(const std::string& path, const void* data, std::size_t size) {
    // Through a symbolic link the link's target is replaced, and in its own folder, so
    // the link keeps leading to the file.
    const std::string target = ResolveLinks(path);
    struct stat info {};
    const mode_t mode =
        ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? info.st_mode & 07777 : NewFileMode();
    // A name of its own for every save: two saves never share their temporary file.
    std::string temporary = target + kTemporaryInfix + "XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) ThrowIoErrorFromErrno();
    FileDescriptor file(fd);
    try {
        // A read-only file stays read-only: the mode is the old file's, set on the new one.
        if (::fchmod(file.get(), mode) != 0) ThrowIoErrorFromErrno();
        WriteAll(file.get(), data, size);
        if (::fsync(file.get()) != 0) ThrowIoErrorFromErrno();
        file.Close();
        if (::rename(temporary.c_str(), target.c_str()) != 0) ThrowIoErrorFromErrno();
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // Make the rename itself durable; failing here loses nothing, so it is not reported.
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// One program at a time uses a folder, so any such file there at start is left over.
void RemoveLeftTemporaries(const std::string& target) {
    const std::string prefix = target.substr(target.rfind('/') + 1) + kTemporaryInfix;
    DIR* folder = ::opendir(FolderOf(target).c_str());
    if (!folder) return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix)) ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

std::string AsideName(const std::string& path, const std::string& label) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + "." + label + "-" + stamp;
    std::string aside = base;
    struct stat info {};
    for (int n = 2; ::lstat(aside.c_str(), &info) == 0; ++n) aside = base + "-" + std::to_string(n);
    return aside;
}

std::string SetFileAside(const std::string& path, const std::string& label) {
    std::string aside = AsideName(path, label);
    if (::rename(path.c_str(), aside.c_str()) != 0) ThrowIoErrorFromErrno(path);
    return aside;
}

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes, int* why) {
    auto fail = [&](int err) {
        if (why) *why = err;
        return std::nullopt;
    };
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return fail(errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return fail(errno);
    if (!S_ISREG(info.st_mode)) return fail(S_ISDIR(info.st_mode) ? EISDIR : ENODEV);
    if (std::size_t(info.st_size) > maxBytes) return fail(EOVERFLOW);
    std::string text(std::size_t(info.st_size), '\0');
    std::size_t done = 0;
    try {
        while (done < text.size()) {
            const std::size_t got = ReadSome(file.get(), text.data() + done, text.size() - done);
            if (got == 0) break;
            done += got;
        }
    } catch (const IoError& error) {
        // The program's own codes (100 and up) are no errno: a read that fails is EIO.
        return fail(error.code() < kIoReadPastEnd ? error.code() : EIO);
    }
    text.resize(done);
    return text;
}
