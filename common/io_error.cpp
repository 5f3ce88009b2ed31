// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/io_error.h"

#include <cerrno>

#include "common/cp1252.h"

IoError::IoError(int code, std::string path)
    : std::runtime_error(IoErrorText(code)), code_(code), path_(std::move(path)) {}

std::string IoErrorText(int code) {
    switch (code) {
        case kIoFileNotFound: return "Fichier introuvable";
        case kIoReadPastEnd: return std::string("Lecture au-delà de la fin de fichier"_cp);
        case kIoDiskFull: return "Disque plein";
        case kIoNotRegularFile:
            return std::string("Ce n'est pas un fichier ordinaire (dossier, tube ou périphérique)"_cp);
        default: return "Erreur E/S " + std::to_string(code);
    }
}

std::string IoErrorMessage(const IoError& error) {
    std::string text = IoErrorText(error.code());
    if (!error.path().empty()) text += " : " + Utf8ToCp1252(error.path());
    return text;
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

void ThrowIoErrorFromErrno(const std::string& path) { throw IoError(IoCodeFromErrno(errno), path); }
