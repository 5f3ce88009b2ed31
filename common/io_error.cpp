// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/io_error.h"

#include <cerrno>

IoError::IoError(int code, std::string path)
    : std::runtime_error(IoErrorText(code)), code_(code), path_(std::move(path)) {}

std::string IoReasonText(int err) {
    switch (err) {
        case EACCES:
        case EPERM: return "l'accès est refusé";
        case EROFS: return "le disque est en lecture seule";
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return "le disque est plein";
        case ENOENT:
        case ENOTDIR: return "le fichier ou son dossier est introuvable";
        case EISDIR: return "c'est un dossier";
        case ELOOP: return "c'est un lien symbolique";
        case EIO: return "erreur de lecture ou d'écriture du disque";
        case EINVAL: return "opération impossible sur ce fichier";
        case ENXIO:
        case ENODEV: return "ce n'est pas un fichier ordinaire";
        case EMFILE:
        case ENFILE: return "trop de fichiers sont ouverts";
        case ENAMETOOLONG: return "le nom est trop long";
        case ENOMEM: return "la mémoire manque";
        case EBUSY:
        case ETXTBSY: return "le fichier est occupé";
        case ENOLCK: return "le système ne sait pas verrouiller ce fichier";
        case EWOULDBLOCK: return "le fichier est verrouillé par un autre programme";
        case EOVERFLOW: return "le fichier est trop grand";
        case ESTALE: return "le fichier n'est plus accessible (disque réseau)";
        default: return "erreur inattendue du système";
    }
}

std::string IoErrorText(int code) {
    switch (code) {
        case kIoFileNotFound: return "Fichier introuvable";
        case kIoReadPastEnd: return "Lecture au-delà de la fin de fichier";
        case kIoDiskFull: return "Disque plein";
        case kIoNotRegularFile: return "Ce n'est pas un fichier ordinaire (dossier, tube ou périphérique)";
        default: return "Erreur E/S " + std::to_string(code) + " (" + IoReasonText(code) + ")";
    }
}

std::string IoErrorMessage(const IoError& error) {
    std::string text = IoErrorText(error.code());
    if (!error.path().empty()) text += " : " + error.path();
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
