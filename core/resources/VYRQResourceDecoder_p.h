#pragma once

// Library-internal; not installed.

#include "VYRQDecodedCache.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QImage;
class QSvgRenderer;
class VYRQResourceManager;
class VYRQResourceManagerImpl;

// Decodes the images and SVG renderers the resource manager hands out, and decodes them
// again. A name is decoded the first time from the first file found for it (the
// project, default and theme sets' files, then the files beside the skin) into the
// cache of the set whose file it was (the default set's for a file beside the skin),
// and the entry keeps that source: from then on the entry is found first (default,
// project, then theme set), and an emptied one is decoded again from its own file into
// its own object, never from another file of the same name. Images are kept in the form
// the painters draw (as a QPixmap would hold them), so that a change made through the
// pointer handed out is what is drawn. Bounds: a file is read within 64 MiB (a set's
// file only as first read), an image as vyr::decodeImage checks it, an SVG as
// vyr::boundedSvg does, and the decoded ones within their budget. What gave nothing is
// remembered with what it depends on (see VYRQDecodedCache's failures), so that a paint
// asking again reads, decodes and looks on disk for nothing until that changed.
namespace vyr {
// Counts for tests, since the process started: reads of a file to decode it, and looks
// at a file on disk beside the skin. Hidden: the suites that read them link the
// library's objects.
int resourceDecodes();
int resourceFileProbes();
} // namespace vyr

class VYRQResourceDecoder {
public:
    explicit VYRQResourceDecoder(const VYRQResourceManager& manager);

    QImage* image(const QString& name, bool gray);
    const QImage* imageToDraw(const QString& name, bool gray);
    // An image the manager handed out, decoded again first when it was emptied, in its
    // form to draw; any other image as it is.
    const QImage* imageToDraw(const QImage* image);
    // An image a set handed out, held by the set and key rather than by its pointer,
    // which dies with the set or its release while a holder may still paint.
    struct HeldImage {
        quint64 set = 0;   // the set's cache serial; 0 for none
        QString key;
    };
    // What holds `image` when a set handed it out; a held image of no set otherwise.
    HeldImage hold(const QImage* image) const;
    // The held image in its form to draw, decoded again first when it was emptied; null
    // once its set is gone or no longer has it.
    const QImage* imageToDraw(const HeldImage& held);
    // Whether the held image's set still has `image` under its key.
    bool holds(const HeldImage& held, const QImage* image) const;
    QSvgRenderer* renderer(const QString& name);
    // Decodes again, each from its own file, what a reload of `set`'s files emptied.
    void decodeAgain(VYRQResourceManagerImpl* set, std::vector<std::pair<VYRQDecodedCache::Kind, QString>> entries);

private:
    using Kind = VYRQDecodedCache::Kind;
    using Source = VYRQDecodedCache::Source;
    // The set a held image belongs to, when it is still one of the manager's.
    VYRQResourceManagerImpl* setHolding(const HeldImage& held) const;
    // NoRoom: decoded, but what was changed through pointers leaves the budget no room;
    // remembered with the budget's pinnedFreed, so tried again only once pinned bytes went.
    enum class Outcome { Decoded, Missing, Failed, Refused, NoRoom };
    // What a decode read of a file beside the skin: its path, and what tells the file
    // that was read from the same file changed since (a set's file is told by its store).
    struct Read {
        QString path;
        QByteArray identity;
    };

    // Decodes what a source gives into `set`; whether it stored something.
    using Decode = std::function<bool(VYRQResourceManagerImpl* set, const Source& source, Outcome& outcome,
                                      Read& read)>;
    // The loaded object under `key` in the first set (default, project, theme) with an
    // entry under it; null, with `emptied` that set when its entry is emptied.
    template <class Object, class Key>
    Object* inSets(const Key& key, Object* (VYRQDecodedCache::*find)(const Key&, bool*),
                   VYRQResourceManagerImpl*& emptied) const;
    // The entry's image or renderer, decoded again from its own source when emptied.
    QImage* imageIn(VYRQResourceManagerImpl* set, const QString& key);
    QSvgRenderer* rendererIn(VYRQResourceManagerImpl* set, const QString& key);
    // The same for an entry known to be emptied.
    QImage* refilledImage(VYRQResourceManagerImpl* set, const QString& key);
    QSvgRenderer* refilledRenderer(VYRQResourceManagerImpl* set, const QString& key);
    template <class Object>
    using DecodeInto = Object* (VYRQResourceDecoder::*)(VYRQResourceManagerImpl* set, const QString& key,
                                                         const Source& source, Outcome& outcome, Read& read);
    template <class Object>
    Object* refilled(VYRQResourceManagerImpl* set, Kind kind, const QString& key, DecodeInto<Object> decodeInto);
    // Decodes an emptied entry again from its source, unless it failed before from what
    // the source still is; a failure is remembered with what was read.
    void refill(VYRQResourceManagerImpl* set, Kind kind, const QString& key, const Decode& decode);
    // A name's first decode, from the first file found for it.
    QImage* firstImage(const QString& name, bool gray, VYRQResourceManagerImpl*& set);
    QSvgRenderer* firstRenderer(const QString& name);
    // Decodes into the set whose file (project, default, theme; a set without the file
    // passes to the next) or, failing that, the file beside the skin, first gives
    // something; that set, or null. A failure is remembered with what was tried.
    VYRQResourceManagerImpl* decodeFirst(Kind kind, const QString& name, bool gray, const Decode& decode);
    QImage* decodeImage(VYRQResourceManagerImpl* set, const QString& key, const Source& source, Outcome& outcome,
                        Read& read);
    QSvgRenderer* decodeRenderer(VYRQResourceManagerImpl* set, const QString& key, const Source& source,
                                 Outcome& outcome, Read& read);
    bool readSource(VYRQResourceManagerImpl* set, const Source& source, QByteArray& out, Read& read) const;
    QByteArray identityNow(VYRQResourceManagerImpl* set, const Source& source) const;
    // The first file beside the skin that `name` may stand for; empty for none.
    QString besideFile(const QString& name) const;
    // The first set holding the file `key` (project, default, theme), or null; where a
    // failure of a name standing for it is remembered (the default set for none).
    VYRQResourceManagerImpl* holderOf(const std::string& key) const;
    VYRQDecodedCache& failuresOf(VYRQResourceManagerImpl* holder) const;
    // What a look-up of `name` tries now, or tried in `read`.
    QByteArray triedFor(VYRQResourceManagerImpl* holder, const std::string& key, const QString& name,
                        const Read* read) const;
    // Whether any set remembers a name that gave nothing: none, and nothing is looked up.
    bool anyFailures(Kind kind) const;
    bool failedBefore(Kind kind, const std::string& key, const QString& name) const;
    void noteOutcome(Kind kind, const std::string& key, const QString& name, bool failed, const Read* read,
                     bool noRoom = false);
    // What a name found in no set and beside no skin was looked for in: the sets, the
    // files they hold and the skin folder.
    QByteArray missedNow() const;

    const VYRQResourceManager& m_manager;
    VYRQResourceManagerImpl* const m_default;
    VYRQResourceManagerImpl* const m_project;
    VYRQResourceManagerImpl* const m_theme;
};
