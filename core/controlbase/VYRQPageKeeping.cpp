#include "VYRQPageKeeping_p.h"

#include "IVYRQWidgetBase.h"
#include "VYRQPageHooks_p.h"
#include "VYRQJson.h"
#include "VYRQKeptElement_p.h"
#include "VYRQWidgetBaseImpl.h"

#include <QWidget>

#include <json/value.h>

#include <cstring>
#include <string>

namespace {

VYRQPageKeeping* activeKeeping = nullptr;
// The keeping whose unwritten() is running.
VYRQPageKeeping* checkingKeeping = nullptr;

QString elementTitle(const Json::Value& element)
{
    const QString name = vyr::json::stringOr(element, "name");
    const QString type = vyr::json::stringOr(element, "type");
    if (type.isEmpty())
        return QStringLiteral("element \"%1\" (no type)").arg(name);
    return QStringLiteral("element \"%1\" of type \"%2\"").arg(name, type);
}

} // namespace

VYRQPageKeeping::VYRQPageKeeping(const QWidget* root)
    : m_root(root)
    , m_outer(activeKeeping)
{
    activeKeeping = this;
}

VYRQPageKeeping::~VYRQPageKeeping()
{
    if (m_active)
        activeKeeping = m_outer;
    if (checkingKeeping == this)
        checkingKeeping = nullptr;
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
    if (widget && element.isObject() && takes(widget->parent()))
        m_built.emplace_back(widget, &element);
}

void VYRQPageKeeping::notBuilt(const Json::Value& element, QObject* parent)
{
    if (takes(parent))
        m_kept.emplace_back(new VYRQKeptElement(element, parent));
}

void VYRQPageKeeping::finish()
{
    if (m_active) {
        activeKeeping = m_outer;
        m_active = false;
    }
    // Each control alone: its children are written as widgets and kept elements.
    const bool children = vyr::designModes().serializeChild;
    vyr::designModes().serializeChild = false;
    for (const auto& entry : m_built) {
        auto* control = dynamic_cast<IVYRQWidgetBase*>(entry.first.data());
        VYRQWidgetBaseImpl* impl = control ? control->getControlImpl() : nullptr;
        if (!impl)
            continue;
        Json::Value written(Json::objectValue);
        impl->setKeptKeys(Json::Value());
        control->serializeJsonValue(&written, false);
        Json::Value record;
        if (keptKeys(*entry.second, written, "child", record))
            impl->setKeptKeys(std::move(record));
    }
    vyr::designModes().serializeChild = children;
}

namespace {

void collectMarks(const Json::Value& value, const std::string& markKey, std::vector<bool>& found)
{
    if (value.isObject()) {
        if (const Json::Value* mark = value.find(markKey.data(), markKey.data() + markKey.size())) {
            if (mark->isUInt64() && mark->asLargestUInt() < found.size())
                found[std::size_t(mark->asLargestUInt())] = true;
        }
    }
    if (value.isObject() || value.isArray()) {
        for (const Json::Value& entry : value)
            collectMarks(entry, markKey, found);
    }
}

} // namespace

QString VYRQPageKeeping::unwritten(const std::function<void(Json::Value&)>& write)
{
    // Numbered in one list: the built controls, then the kept elements. Titled only
    // when one is missing.
    std::vector<std::pair<const QObject*, const Json::Value*>> all;
    for (const auto& entry : m_built) {
        if (entry.first)
            all.emplace_back(entry.first.data(), entry.second);
    }
    for (const QPointer<QObject>& kept : m_kept) {
        if (kept)
            all.emplace_back(kept.data(), &static_cast<VYRQKeptElement*>(kept.data())->element());
    }
    m_pending.clear();
    for (std::size_t i = 0; i < all.size(); ++i)
        m_pending.emplace(all[i].first, Json::LargestUInt(i));
    // The member that marks a written value: a page may hold any key it likes, so the
    // name is one no page text can know beforehand.
    static quint64 trials = 0;
    m_markKey = "\x01kept-" + std::to_string(quintptr(this)) + "-" + std::to_string(++trials);
    VYRQPageKeeping* const outer = checkingKeeping;
    checkingKeeping = this;
    Json::Value document;
    write(document);
    checkingKeeping = outer;
    m_pending.clear();

    std::vector<bool> found(all.size(), false);
    collectMarks(document, m_markKey, found);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (found[i])
            continue;
        const QObject* parent = all[i].first->parent();
        return QStringLiteral("holds %1 in \"%2\", which a save would not write back")
            .arg(elementTitle(*all[i].second), parent ? parent->objectName() : QString());
    }
    return QString();
}

void VYRQPageKeeping::noteWritten(const QObject* object, Json::Value& written)
{
    if (!checkingKeeping)
        return;
    const auto it = checkingKeeping->m_pending.find(object);
    if (it == checkingKeeping->m_pending.end())
        return;
    if (!written.isObject())
        written = Json::Value(Json::objectValue);
    const std::string& key = checkingKeeping->m_markKey;
    *written.demand(key.data(), key.data() + key.size()) = Json::UInt64(it->second);
}

// Each entry of a record is an array, [read] for a key the writing left out or
// [read, written] for one it wrote otherwise, or the record of an object that both hold.
bool VYRQPageKeeping::keptKeys(const Json::Value& read, const Json::Value& written, const char* childrenKey,
                               Json::Value& record)
{
    record = Json::Value();
    if (!read.isObject() || !written.isObject())
        return false;
    for (auto it = read.begin(); it != read.end(); ++it) {
        const char* end = nullptr;
        const char* key = it.memberName(&end);
        if (childrenKey && it->isArray() && std::size_t(end - key) == std::strlen(childrenKey)
            && std::memcmp(key, childrenKey, std::size_t(end - key)) == 0)
            continue;
        const Json::Value* mine = written.find(key, end);
        Json::Value entry;
        if (!mine) {
            entry.append(*it);
        } else if (it->isObject() && mine->isObject()) {
            if (!keptKeys(*it, *mine, nullptr, entry))
                continue;
        } else if (!(*it == *mine)) {
            entry.append(*it);
            entry.append(*mine);
        } else {
            continue;
        }
        if (record.isNull())
            record = Json::Value(Json::objectValue);
        *record.demand(key, end) = std::move(entry);
    }
    return !record.isNull();
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
