#include "VYRQPageKeeping_p.h"

#include "IVYRQWidgetBase.h"
#include "VYRQPageHooks_p.h"
#include "VYRQJson.h"
#include "VYRQKeptElement_p.h"
#include "VYRQWidgetBaseImpl.h"

#include <QWidget>

#include <json/value.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <functional>
#include <vector>

namespace {

VYRQPageKeeping* activeKeeping = nullptr;
// The keeping whose finish() is writing the page.
VYRQPageKeeping* recordingKeeping = nullptr;
quint64 keepingSerial = 0;

QString elementTitle(const Json::Value& element)
{
    const QString name = vyr::json::stringOr(element, "name");
    const QString type = vyr::json::stringOr(element, "type");
    if (type.isEmpty())
        return QStringLiteral("element \"%1\" (no type)").arg(name);
    return QStringLiteral("element \"%1\" of type \"%2\"").arg(name, type);
}

bool named(const char* key, const char* end, const char* name)
{
    return name && std::size_t(end - key) == std::strlen(name) && std::memcmp(key, name, std::size_t(end - key)) == 0;
}

// jsoncpp's order of member names: bytes, then length.
int keyOrder(const char* a, const char* aEnd, const char* b, const char* bEnd)
{
    const std::size_t aSize = std::size_t(aEnd - a);
    const std::size_t bSize = std::size_t(bEnd - b);
    const int bytes = std::memcmp(a, b, std::min(aSize, bSize));
    if (bytes != 0)
        return bytes;
    return aSize < bSize ? -1 : aSize > bSize ? 1 : 0;
}

// Calls visit(key, end, value, other) for each member of the object `a` with the member
// of `b` under the same key (null when `b` is no object or lacks it), until it returns
// false; false then. Members are held in key order, so one pass over both finds them.
template <typename Visit>
bool eachMemberWith(const Json::Value& a, const Json::Value& b, Visit visit)
{
    const bool object = b.isObject();
    auto other = object ? b.begin() : Json::Value::const_iterator();
    const auto otherEnd = object ? b.end() : Json::Value::const_iterator();
    for (auto it = a.begin(); it != a.end(); ++it) {
        const char* end = nullptr;
        const char* key = it.memberName(&end);
        const Json::Value* match = nullptr;
        while (object && other != otherEnd) {
            const char* otherEndKey = nullptr;
            const char* otherKey = other.memberName(&otherEndKey);
            const int order = keyOrder(otherKey, otherEndKey, key, end);
            if (order < 0) {
                ++other;
                continue;
            }
            if (order == 0)
                match = &*other;
            break;
        }
        if (!visit(key, end, *it, match))
            return false;
    }
    return true;
}

// Whether `a` and `b` hold the same values and no double: a double's text may be other
// than the one the writer would choose, which only the read value, with its place in
// the page text, gives back.
bool sameWithoutReals(const Json::Value& a, const Json::Value& b)
{
    if (a.type() != b.type()) {
        // An integer read as signed and written as unsigned has the same text.
        const bool integers = (a.type() == Json::intValue || a.type() == Json::uintValue)
            && (b.type() == Json::intValue || b.type() == Json::uintValue);
        return integers && (a.type() == Json::intValue ? a.asLargestInt() >= 0 : b.asLargestInt() >= 0)
            && a.asLargestUInt() == b.asLargestUInt();
    }
    switch (a.type()) {
    case Json::realValue:
        return false;
    case Json::arrayValue: {
        if (a.size() != b.size())
            return false;
        // Iterated: an index is a look-up in jsoncpp's map of entries.
        for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
            if (!sameWithoutReals(*i, *j))
                return false;
        }
        return true;
    }
    case Json::objectValue: {
        if (a.size() != b.size())
            return false;
        return eachMemberWith(a, b, [](const char*, const char*, const Json::Value& value, const Json::Value* other) {
            return other && sameWithoutReals(value, *other);
        });
    }
    default:
        return a == b;
    }
}

// A text of `read` longer than a control holds, which `written`, the control's writing,
// holds otherwise at the same place. `childrenKey`: the key of child elements, which
// their own controls write.
bool holdsCutText(const Json::Value& read, const Json::Value& written, const char* childrenKey)
{
    if (read.isString()) {
        const char* begin = nullptr;
        const char* end = nullptr;
        read.getString(&begin, &end);
        return !VYRQWidgetBaseImpl::fitsControlText(begin, end) && !(read == written);
    }
    if (read.isArray() && written.isArray()) {
        for (Json::ArrayIndex i = 0; i < read.size() && i < written.size(); ++i) {
            if (holdsCutText(read[i], written[i], nullptr))
                return true;
        }
    } else if (read.isObject() && written.isObject()) {
        for (auto it = read.begin(); it != read.end(); ++it) {
            const char* end = nullptr;
            const char* key = it.memberName(&end);
            const Json::Value* mine = named(key, end, childrenKey) ? nullptr : written.find(key, end);
            if (mine && holdsCutText(*it, *mine, nullptr))
                return true;
        }
    }
    return false;
}

QString valueText(const Json::Value& value)
{
    if (value.isObject())
        return QStringLiteral("an object");
    if (value.isArray())
        return QStringLiteral("an array of %1").arg(value.size());
    std::string text = vyr::json::styledText(value);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (text.size() > 60)
        text = text.substr(0, 57) + "...";
    return QString::fromUtf8(text.data(), int(text.size()));
}

// Where the first loss lies: the steps to it, innermost first (a member name, or an
// index as "[n]"), with the read value of each step, and what the writing holds there
// (null when it dropped the value).
struct Loss {
    std::vector<std::pair<std::string, const Json::Value*>> steps;
    const Json::Value* written = nullptr;
};

// `recorded`: the elements of built controls whose writing their record completed,
// whose own keys are then written as read by construction; only their children are
// compared.
bool lossAt(const Json::Value& read, const Json::Value& written, Loss& loss,
            const std::vector<const Json::Value*>* recorded)
{
    if (read.isObject() && written.isObject()) {
        if (recorded && std::binary_search(recorded->begin(), recorded->end(), &read, std::less<const Json::Value*>())) {
            static const char childKey[] = "child";
            const char* const childEnd = childKey + sizeof childKey - 1;
            const Json::Value* children = read.find(childKey, childEnd);
            // An empty list is kept by the element's record, as its other keys.
            if (!children || !children->isArray() || children->empty())
                return false;
            const Json::Value* mine = written.find(childKey, childEnd);
            if (mine && !lossAt(*children, *mine, loss, recorded))
                return false;
            if (!mine)
                loss.written = nullptr;
            loss.steps.emplace_back(".child", children);
            return true;
        }
        return !eachMemberWith(read, written, [&](const char* key, const char* end, const Json::Value& value,
                                                  const Json::Value* mine) {
            if (mine && !lossAt(value, *mine, loss, recorded))
                return true;
            if (!mine)
                loss.written = nullptr;
            loss.steps.emplace_back("." + std::string(key, end), &value);
            return false;
        });
    }
    if (read.isArray() && written.isArray() && read.size() == written.size()) {
        Json::ArrayIndex index = 0;
        for (auto i = read.begin(), j = written.begin(); i != read.end(); ++i, ++j, ++index) {
            if (lossAt(*i, *j, loss, recorded)) {
                loss.steps.emplace_back("[" + std::to_string(index) + "]", &*i);
                return true;
            }
        }
        return false;
    }
    if (read.type() == written.type() && !read.isArray() && !read.isObject() && read == written)
        return false;
    loss.written = &written;
    return true;
}

QString lossText(const Json::Value& read, const Json::Value& written,
                 const std::vector<const Json::Value*>* recorded)
{
    Loss loss;
    if (!lossAt(read, written, loss, recorded))
        return QString();
    std::string path = "$";
    // The innermost element on the way: an entry of an element list.
    const Json::Value* element = nullptr;
    for (std::size_t i = loss.steps.size(); i-- > 0;) {
        path += loss.steps[i].first;
        const bool inList = i + 1 < loss.steps.size()
            && (loss.steps[i + 1].first == ".child" || loss.steps[i + 1].first == ".elements");
        if (inList && loss.steps[i].first[0] == '[' && loss.steps[i].second->isObject())
            element = loss.steps[i].second;
    }
    const Json::Value& lost = loss.steps.empty() ? read : *loss.steps.front().second;
    const QString where = QString::fromStdString(path);
    const QString in = element && element != &lost ? QStringLiteral(" in %1").arg(elementTitle(*element)) : QString();
    const QString what = element == &lost ? elementTitle(lost) : valueText(lost);
    if (!loss.written)
        return QStringLiteral("holds %1 at %2%3, which a save would not write back").arg(what, where, in);
    return QStringLiteral("holds %1 at %2%3, which a save would write as %4").arg(what, where, in, valueText(*loss.written));
}

// Each entry of a record is an array, [read] for a key the writing left out or
// [read, written] for one it wrote otherwise, or the record of an object that both hold.
// `take`: lists and objects of `read` are moved into the record, not copied; `read` is
// then no longer whole (only its texts, numbers and child lists stay).
bool recordOf(Json::Value& read, const Json::Value& written, const char* childrenKey, Json::Value& record, bool* cut,
              bool take)
{
    record = Json::Value();
    if (!read.isObject() || !written.isObject())
        return false;
    eachMemberWith(read, written, [&](const char* key, const char* end, const Json::Value& value,
                                      const Json::Value* mine) {
        // An empty list is the element's own: no child writes it back.
        if (value.isArray() && !value.empty() && named(key, end, childrenKey))
            return true;
        Json::Value& readValue = const_cast<Json::Value&>(value);
        const bool moved = take && (value.isArray() || value.isObject());
        Json::Value entry;
        if (!mine) {
            entry.append(moved ? std::move(readValue) : Json::Value(value));
        } else if (value.isObject() && mine->isObject()) {
            if (!recordOf(readValue, *mine, nullptr, entry, cut, take))
                return true;
        } else if (!sameWithoutReals(value, *mine)) {
            if (cut && !*cut)
                *cut = holdsCutText(value, *mine, nullptr);
            entry.append(moved ? std::move(readValue) : Json::Value(value));
            entry.append(*mine);
        } else {
            return true;
        }
        if (record.isNull())
            record = Json::Value(Json::objectValue);
        *record.demand(key, end) = std::move(entry);
        return true;
    });
    return !record.isNull();
}

} // namespace

VYRQPageKeeping::VYRQPageKeeping(const QWidget* root)
    : m_serial(++keepingSerial)
    , m_root(root)
    , m_outer(activeKeeping)
{
    activeKeeping = this;
}

VYRQPageKeeping::~VYRQPageKeeping()
{
    if (m_active)
        activeKeeping = m_outer;
    if (recordingKeeping == this)
        recordingKeeping = nullptr;
}

VYRQPageKeeping* VYRQPageKeeping::active()
{
    return activeKeeping;
}

bool VYRQPageKeeping::takes(const QObject* parent) const
{
    for (const QObject* object = parent; object; object = object->parent()) {
        if (object == m_root)
            return true;
    }
    return false;
}

void VYRQPageKeeping::built(QWidget* widget, const Json::Value& element)
{
    if (!widget || !element.isObject() || !takes(widget->parent()))
        return;
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    if (VYRQWidgetBaseImpl* impl = control ? control->getControlImpl() : nullptr) {
        impl->setKeptKeys(Json::Value());
        impl->setReadElement(&element, m_serial);
        ++m_builtCount;
    }
}

void VYRQPageKeeping::notBuilt(const Json::Value& element, QObject* parent)
{
    if (takes(parent))
        new VYRQKeptElement(element, parent);
}

void VYRQPageKeeping::finish(const std::function<void(Json::Value&)>& write, Json::Value& document)
{
    if (m_active) {
        activeKeeping = m_outer;
        m_active = false;
    }
    // One writing: each control's record is made as it is written. The document is what
    // a save writes but for the recorded keys, which a save puts back as read.
    VYRQPageKeeping* const outer = recordingKeeping;
    recordingKeeping = this;
    m_recorded.clear();
    m_recorded.reserve(m_builtCount);
    document = Json::Value();
    write(document);
    recordingKeeping = outer;
    std::sort(m_recorded.begin(), m_recorded.end(), std::less<const Json::Value*>());
    // Elements no writing reached are not recorded later.
    m_serial = ++keepingSerial;
}

QString VYRQPageKeeping::firstLoss(const Json::Value& read, const Json::Value& written)
{
    return lossText(read, written, nullptr);
}

QString VYRQPageKeeping::firstLossOfPage(const Json::Value& read, const Json::Value& document) const
{
    return lossText(read, document, &m_recorded);
}

void VYRQPageKeeping::noteWritten(VYRQWidgetBaseImpl* impl, Json::Value& written)
{
    VYRQPageKeeping* const keeping = recordingKeeping;
    const Json::Value* element = keeping && impl ? impl->readElement(keeping->m_serial) : nullptr;
    if (!element)
        return;
    // Written once: a control written again (a container that writes a child twice)
    // keeps the record of the first.
    impl->setReadElement(nullptr, 0);
    Json::Value record;
    bool cut = false;
    // The record takes the read lists and objects it keeps instead of copying them: of a
    // recorded element only its texts (for messages) and its child list are read again.
    // Nor is it put back into this writing: of a recorded element only the children are
    // compared, and copying the kept keys in only to free them again is most of the cost.
    if (recordOf(const_cast<Json::Value&>(*element), written, "child", record, &cut, true))
        impl->setKeptKeys(std::move(record));
    keeping->m_recorded.push_back(element);
    if (cut && keeping->m_cut.isEmpty()) {
        keeping->m_cut = QStringLiteral("holds a text of more than %1 characters in %2, which a save would cut")
                             .arg(VYRQWidgetBaseImpl::maxTextLength)
                             .arg(elementTitle(*element));
    }
    // Of a recorded element only the children are compared: the rest of this writing is
    // freed now, while it is fresh, and its memory serves the next control's writing.
    if (written.isObject()) {
        static const char childKey[] = "child";
        Json::Value* children = written.find(childKey, childKey + sizeof childKey - 1) ? written.demand(childKey, childKey + sizeof childKey - 1) : nullptr;
        Json::Value kept;
        if (children)
            kept = std::move(*children);
        written = Json::Value(Json::objectValue);
        if (children)
            *written.demand(childKey, childKey + sizeof childKey - 1) = std::move(kept);
    }
}

bool VYRQPageKeeping::keptKeys(const Json::Value& read, const Json::Value& written, const char* childrenKey,
                               Json::Value& record, bool* cut)
{
    return recordOf(const_cast<Json::Value&>(read), written, childrenKey, record, cut, false);
}

void VYRQPageKeeping::restore(const Json::Value& record, Json::Value& written)
{
    if (!record.isObject() || !written.isObject())
        return;
    for (auto it = record.begin(); it != record.end(); ++it) {
        const char* end = nullptr;
        const char* key = it.memberName(&end);
        Json::Value* mine = written.find(key, end) ? written.demand(key, end) : nullptr;
        if (it->isObject()) {
            // The object the control writes, or a new one when it writes none now.
            const bool added = !mine;
            if (added)
                mine = written.demand(key, end);
            if (!mine->isObject()) {
                if (!added)
                    continue;
                *mine = Json::Value(Json::objectValue);
            }
            restore(*it, *mine);
            if (added && mine->empty()) {
                Json::Value removed;
                written.removeMember(key, end, &removed);
            }
        } else if (it->size() == 1) {
            if (!mine)
                *written.demand(key, end) = (*it)[0];
        } else if (mine && *mine == (*it)[1]) {
            // Unchanged since it was read: as it was read.
            *mine = (*it)[0];
        }
    }
}
