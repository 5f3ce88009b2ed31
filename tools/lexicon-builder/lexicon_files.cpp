// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replaces the three lexicon files as one set: the program would load a new dictionary
// with old name files as a complete lexicon.
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include "tools/lexicon-builder/lexicon_builder.h"

namespace lexbuild {

namespace {

namespace fs = std::filesystem;

// A folder made inside the target folder, so that its files are renamed within one file
// system; removed with whatever it still holds.
class StagingFolder {
public:
    explicit StagingFolder(const fs::path& parent) {
        std::string pattern = (parent / ".clavelle-lexicon-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw BuildError("impossible de créer un dossier temporaire dans « " + parent.string() +
                             " » : " + std::strerror(errno));
        path_ = pattern;
    }
    ~StagingFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

void WriteWholeFile(const fs::path& path, const std::string& bytes, const fs::path& shownName) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), std::streamsize(bytes.size()));
    if (out) out.close();
    if (!out) throw BuildError("impossible d'écrire « " + shownName.string() + " » : " + std::strerror(errno));
}

struct Replacement {
    fs::path target;
    fs::path fresh;   // the new contents, in the staging folder
    fs::path backup;  // a second link to the old file, in the staging folder
    bool hadOld = false;
    bool done = false;
};

// Puts back what the replacements done so far changed: the old file where there was one,
// no file where there was none.
void Undo(std::array<Replacement, 3>& replacements) {
    for (Replacement& r : replacements) {
        if (!r.done) continue;
        std::error_code ignored;
        if (r.hadOld)
            fs::rename(r.backup, r.target, ignored);
        else
            fs::remove(r.target, ignored);
    }
}

}  // namespace

void WriteLexiconFiles(const LexiconFiles& files, const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw BuildError("impossible de créer le dossier « " + folder.string() + " » : " + ec.message());
    const StagingFolder staging(folder);

    const std::array<std::pair<const char*, const std::string*>, 3> contents = {
        {{"dictionnaire.txt", &files.dictionary},
         {"prénomsf.txt", &files.femaleNames},
         {"prénomsg.txt", &files.maleNames}}};
    std::array<Replacement, 3> replacements;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        Replacement& r = replacements[i];
        r.target = folder / contents[i].first;
        r.fresh = staging.Path() / contents[i].first;
        r.backup = staging.Path() / (std::string(contents[i].first) + ".ancien");
        WriteWholeFile(r.fresh, *contents[i].second, r.target);
        // A folder in the way is no old file: the rename below fails on it.
        const fs::file_status old = fs::symlink_status(r.target, ec);
        r.hadOld = fs::exists(old) && !fs::is_directory(old);
        if (r.hadOld) {
            fs::create_hard_link(r.target, r.backup, ec);
            if (ec) throw BuildError("impossible de mettre de côté « " + r.target.string() + " » : " + ec.message());
        }
    }
    for (Replacement& r : replacements) {
        fs::rename(r.fresh, r.target, ec);
        if (ec) {
            Undo(replacements);
            throw BuildError("impossible de remplacer « " + r.target.string() + " » : " + ec.message() +
                             " ; les anciens fichiers sont restés en place");
        }
        r.done = true;
    }
}

}  // namespace lexbuild
