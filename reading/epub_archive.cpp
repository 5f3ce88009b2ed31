// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/epub_archive.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <memory>

EpubArchive::EpubArchive(int fd, const ReadLimits& limits) : limits_(limits) {
    // libzip owns the descriptor it is given: give it a copy of the caller's.
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) throw ReadFailure(ReadProblem::SystemError, "trop de fichiers sont ouverts");
    int error = 0;
    archive_ = ::zip_fdopen(copy, ZIP_RDONLY, &error);
    if (archive_ == nullptr) {
        ::close(copy);
        throw ReadFailure(ReadProblem::DamagedEpub, error == ZIP_ER_NOZIP ? "ce n'est pas une archive ZIP"
                                                                          : "son archive ZIP est abîmée ou tronquée");
    }
}

EpubArchive::~EpubArchive() { ::zip_discard(archive_); }

std::optional<uint64_t> EpubArchive::Find(const std::string& name) const {
    zip_int64_t index = ::zip_name_locate(archive_, name.c_str(), 0);
    if (index < 0) index = ::zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return std::nullopt;
    return uint64_t(index);
}

uint64_t EpubArchive::DeclaredSize(uint64_t entry) const {
    zip_stat_t stat;
    ::zip_stat_init(&stat);
    if (::zip_stat_index(archive_, entry, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) return 0;
    return stat.size;
}

std::string EpubArchive::Name(uint64_t entry) const {
    const char* name = ::zip_get_name(archive_, entry, 0);
    return name ? name : "?";
}

bool EpubArchive::Read(uint64_t entry, const std::function<void(const char*, std::size_t)>& take) const {
    zip_stat_t stat;
    ::zip_stat_init(&stat);
    if (::zip_stat_index(archive_, entry, 0, &stat) != 0) return false;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        throw ReadFailure(ReadProblem::Protected);
    const uint64_t declared = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
    const uint64_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
    const auto refuse = [&] { return ReadFailure(ReadProblem::EntryRefused, Name(entry)); };
    if (declared > limits_.MaxEntryBytes) throw refuse();
    if (declared > limits_.RatioFloorBytes && declared / std::max<uint64_t>(compressed, 1) > limits_.MaxRatio)
        throw refuse();
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(::zip_fopen_index(archive_, entry, 0), ::zip_fclose);
    if (!file) return false;
    constexpr std::size_t kBlock = 64 * 1024;
    const std::unique_ptr<char[]> block(new char[kBlock]);
    uint64_t total = 0;
    for (;;) {
        const zip_int64_t got = ::zip_fread(file.get(), block.get(), kBlock);
        if (got < 0) return false;
        if (got == 0) return true;
        total += uint64_t(got);
        // The declared size may lie: what comes out is counted too.
        if (total > declared || total > limits_.MaxEntryBytes) throw refuse();
        take(block.get(), std::size_t(got));
    }
}

std::optional<std::string> EpubArchive::ReadSmall(uint64_t entry, std::size_t maxBytes) const {
    if (DeclaredSize(entry) > maxBytes) return std::nullopt;
    std::string bytes;
    if (!Read(entry, [&](const char* data, std::size_t size) { bytes.append(data, size); })) return std::nullopt;
    return bytes;
}
