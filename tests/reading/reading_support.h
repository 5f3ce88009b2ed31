// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the reading tests: a temporary folder removed with its files whatever the
// test's outcome, and EPUB books written with libzip.
#pragma once

#include <zip.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace reading_test {

class ScratchFolder {
public:
    ScratchFolder() : path_(test_support::MakeTempFolder("clavelle-textes")) {}
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

struct ZipEntry {
    std::string Name;
    std::string Bytes;
};

// Writes a zip archive of the entries, the first ("mimetype") stored, the others deflated.
inline void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) return;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntry& entry = entries[i];
        zip_source_t* source = zip_source_buffer(archive, entry.Bytes.data(), entry.Bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.Name.c_str(), source, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, zip_uint64_t(index), i == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    zip_close(archive);
}

inline std::string Xhtml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\">\n"
           "<head><title>Titre de page</title><style>p { margin: 0 }</style></head>\n<body>" +
           body + "</body>\n</html>\n";
}

// The entries of a book: its package in OEBPS/, the chapters (name, bytes) in the spine
// in order, then `extra` entries (images...) in the archive only.
inline std::vector<ZipEntry> EpubBook(const std::string& title, const std::vector<ZipEntry>& chapters,
                                      const std::vector<ZipEntry>& extra = {}) {
    std::string manifest;
    std::string spine;
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const std::string id = "c" + std::to_string(i);
        manifest += "<item id=\"" + id + "\" href=\"" + chapters[i].Name + "\" media-type=\"application/xhtml+xml\"/>";
        spine += "<itemref idref=\"" + id + "\"/>";
    }
    std::vector<ZipEntry> entries = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         "<?xml version=\"1.0\"?><container version=\"1.0\" "
         "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
         "full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles></container>"},
        {"OEBPS/content.opf",
         "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
         "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>" +
             title + "</dc:title></metadata><manifest>" + manifest +
             "<item id=\"img\" href=\"images/couverture.png\" media-type=\"image/png\"/></manifest><spine>" + spine +
             "</spine></package>"}};
    for (const ZipEntry& chapter : chapters) entries.push_back({"OEBPS/" + chapter.Name, chapter.Bytes});
    for (const ZipEntry& entry : extra) entries.push_back(entry);
    return entries;
}

}  // namespace reading_test
