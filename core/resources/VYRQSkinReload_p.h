#pragma once

// Library-internal; not installed.

#include <QString>

class VYRQResourceManager;

// Loads a skin archive (from a file or from memory) into the default set of the
// resource manager. The same skin loaded again (the same file by any spelling of its
// path, or the same bytes in memory, told apart by their SHA-256) replaces what it
// added before: its style file, and the files that changed, whose decoded images and
// renderers are decoded again at once, from the new file into the objects holders
// have. The archive is checked before anything is added, so that a broken skin, or one
// the default set has no room for, leaves the set as it was.
class VYRQSkinReload {
public:
    explicit VYRQSkinReload(VYRQResourceManager& manager);

    // `path` names the skin's file; without one it is the `size` bytes at `data`.
    bool load(const char* path, const char* data, unsigned int size);

private:
    // What stands for the skin, so that loading it again replaces what it added.
    static QString originOf(const char* path, const char* data, unsigned int size);

    VYRQResourceManager& m_manager;
};
