// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/io_error.h"

#include <cerrno>

#include "common/cp1252.h"

IoError::IoError(int code) : std::runtime_error(IoErrorText(code)), code_(code) {}

std::string IoErrorText(int code) {
    switch (code) {
        case kIoFileNotFound: return "Fichier introuvable";
        case kIoReadPastEnd: return std::string("Lecture au-delà de la fin de fichier"_cp);
        case kIoDiskFull: return "Disque plein";
        default: return "Erreur E/S " + std::to_string(code);
    }
}

int IoCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR: return kIoFileNotFound;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return kIoDiskFull;
        default: return err;
    }
}

void ThrowIoErrorFromErrno() { throw IoError(IoCodeFromErrno(errno)); }
