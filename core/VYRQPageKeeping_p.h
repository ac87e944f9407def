#pragma once

// Library-internal; not installed.

#include "VYRQExport.h"

#include <QPointer>
#include <QString>

#include <json/config.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class QObject;
class QWidget;
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

    // The loader's steps. `element` must live as long as the keeping.
    void built(QWidget* widget, const Json::Value& element);
    void notBuilt(const Json::Value& element, QObject* parent);

    // Gives the built controls their records; the keeping is no longer active.
    void finish();
    // After finish(): names a text longer than a control holds in a key the control
    // reads (it writes it cut); empty when there is none.
    const QString& cutText() const { return m_cut; }

    // Runs `write`, one writing of the whole page document, and names an element that
    // the document does not hold (under a container that does not write its children,
    // or built as no control), or else the first value of `read`, the page as read,
    // that the document drops or holds otherwise; empty when it holds them all.
    QString unwritten(const std::function<void(Json::Value&)>& write, const Json::Value& read);
    // The first value of `read` that `written` leaves out or holds otherwise (arrays in
    // order, members in any order; members `written` adds are not counted), as a path
    // and what became of it; empty when there is none.
    static QString firstLoss(const Json::Value& read, const Json::Value& written);
    // Called by the writers with each control's and kept element's written value, which
    // unwritten() marks to find it in the document.
    static void noteWritten(const QObject* object, Json::Value& written);

    // The record of the keys of `read` that `written` leaves out or holds otherwise;
    // false when there are none. `childrenKey`: a key whose array the loader built as
    // child elements, which are not part of the record.
    static bool keptKeys(const Json::Value& read, const Json::Value& written, const char* childrenKey,
                         Json::Value& record);
    // Puts the recorded keys back into `written`, a later writing of the same element.
    static void restore(const Json::Value& record, Json::Value& written);

private:
    // Whether `parent` is the root or lies inside it.
    bool takes(const QObject* parent) const;

    std::vector<std::pair<QPointer<QWidget>, const Json::Value*>> m_built;
    std::vector<QPointer<QObject>> m_kept;
    // While unwritten() runs: the number of each control and kept element.
    std::unordered_map<const QObject*, Json::LargestUInt> m_pending;
    std::vector<Json::LargestUInt> m_foundElsewhere;
    std::string m_markKey;
    QString m_cut;
    const QWidget* m_root;
    VYRQPageKeeping* m_outer = nullptr;
    bool m_active = true;
};
