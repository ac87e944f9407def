#pragma once

// Library-internal; not installed.

#include "VYRQFileStore.h"
#include "VYRQZip.h"

#include <QByteArray>

#include <vector>

// An archive opened to be read into a resource set (a theme zip, or a skin from a file
// or from memory): the items a set takes, from one walk over its directory, and their
// bytes. Sizes in an archive are claims: each is checked before anything is allocated,
// and together they must keep within what a set may hold.
class VYRQSetArchive {
public:
    // Opens the archive: `path` names its file; without one it is the `size` bytes at
    // `data`.
    VYRQSetArchive(const char* path, const char* data, unsigned int size);
    VYRQSetArchive(const VYRQSetArchive&) = delete;
    VYRQSetArchive& operator=(const VYRQSetArchive&) = delete;

    // Lists every style.json and the first item under each other key; false, with a
    // warning where it is the archive's fault, when it did not open, cannot be read or
    // passes the limits.
    bool list();
    const std::vector<VYRQFileStore::ArchiveEntry>& styles() const { return m_styles; }
    const VYRQFileStore::ArchiveEntries& files() const { return m_files; }

    // Unpacks a listed item whole; false, with a warning, when its data do not fill
    // its listed size or match its CRC.
    bool unpack(const VYRQFileStore::ArchiveEntry& entry, QByteArray& out);

private:
    ZipHandleGuard m_zip;
    std::vector<VYRQFileStore::ArchiveEntry> m_styles;
    VYRQFileStore::ArchiveEntries m_files;
};
