#pragma once

// Library-internal; not installed.

#include "VYRQExport.h"

#include <QString>

#include <json/config.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QObject;
class QWidget;
class VYRQWidgetBaseImpl;
namespace Json { class Value; }

// What the design canvas keeps of a page it opens, so that a save writes back what it
// could not build or does not know: while one lives, the page loader keeps each element
// it builds no control for (VYRQKeptElement) and notes each control it builds with the
// element it read. finish() then gives each control the record of its element's keys
// that its own writing leaves out or writes otherwise than they were read; every write
// of the control puts them back (restore), unless the control's value changed since.
class VYRQTLIB_EXPORT VYRQPageKeeping {
public:
    // Keeps what is built under `root` (a page frame); other pages a control may load
    // meanwhile are not its concern.
    explicit VYRQPageKeeping(const QWidget* root);
    ~VYRQPageKeeping();
    VYRQPageKeeping(const VYRQPageKeeping&) = delete;
    VYRQPageKeeping& operator=(const VYRQPageKeeping&) = delete;

    // The innermost living one, or null.
    static VYRQPageKeeping* active();

    // The loader's steps. `element` must live as long as the keeping; finish() moves the
    // lists and objects a control's record keeps out of it.
    void built(QWidget* widget, const Json::Value& element);
    void notBuilt(const Json::Value& element, QObject* parent);

    // Ends the keeping: runs `write`, one writing of the whole page into `document`, and
    // gives each built control, as it is written, the record of its element's keys that
    // its writing leaves out or holds otherwise: the document is what a save writes but
    // for those recorded keys, which a save puts back as read.
    void finish(const std::function<void(Json::Value&)>& write, Json::Value& document);
    // After finish(): names a text longer than a control holds in a key the control
    // reads (it writes it cut); empty when there is none.
    const QString& cutText() const { return m_cut; }
    // Called by the writer of each control with its written value; `impl` is the one
    // that keeps the control's record.
    static void noteWritten(VYRQWidgetBaseImpl* impl, Json::Value& written);

    // The first value of `read` that `written` leaves out or holds otherwise (arrays in
    // order, members in any order; members `written` adds are not counted), as where it
    // lies and what became of it; empty when there is none.
    static QString firstLoss(const Json::Value& read, const Json::Value& written);
    // The same for the page `read` and the `document` finish() wrote: the keys of a
    // built control's element are written as read by its record (restore), so of
    // those elements only the children are compared.
    QString firstLossOfPage(const Json::Value& read, const Json::Value& document) const;

    // The record of the keys of `read` that `written` leaves out or holds otherwise;
    // false when there are none. `childrenKey`: a key whose array the loader built as
    // child elements, which are not part of the record.
    // `cut`, when given, is raised when a text longer than a control holds is written
    // otherwise.
    static bool keptKeys(const Json::Value& read, const Json::Value& written, const char* childrenKey,
                         Json::Value& record, bool* cut = nullptr);
    // Puts the recorded keys back into `written`, a later writing of the same element.
    static void restore(const Json::Value& record, Json::Value& written);

private:
    // Whether `parent` is the root or lies inside it.
    bool takes(const QObject* parent) const;

    // Each built control holds its element under this number (setReadElement) until
    // finish() writes it.
    quint64 m_serial;
    QString m_cut;
    // The elements finish() made records for, in address order.
    std::vector<const Json::Value*> m_recorded;
    std::size_t m_builtCount = 0;
    const QWidget* m_root;
    VYRQPageKeeping* m_outer = nullptr;
    bool m_active = true;
};
