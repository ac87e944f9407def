#include "VYRQPageKeeping_p.h"

#include "IVYRQWidgetBase.h"
#include "VYRQGlobal.h"
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

bool named(const char* key, const char* end, const char* name)
{
    return name && std::size_t(end - key) == std::strlen(name) && std::memcmp(key, name, std::size_t(end - key)) == 0;
}

// Whether `value` holds a double: its text may be other than the one the writer would
// choose, which only the read value, with its place in the page text, gives back.
bool holdsReal(const Json::Value& value)
{
    if (value.type() == Json::realValue)
        return true;
    if (value.isArray() || value.isObject()) {
        for (const Json::Value& entry : value) {
            if (holdsReal(entry))
                return true;
        }
    }
    return false;
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

QString lossAt(const Json::Value& read, const Json::Value& written, const QString& path)
{
    if (read.isObject() && written.isObject()) {
        for (auto it = read.begin(); it != read.end(); ++it) {
            const char* end = nullptr;
            const char* key = it.memberName(&end);
            const QString here = path + QLatin1Char('.') + QString::fromUtf8(key, int(end - key));
            const Json::Value* mine = written.find(key, end);
            if (!mine)
                return QStringLiteral("holds %1 at %2, which a save would drop").arg(valueText(*it), here);
            const QString loss = lossAt(*it, *mine, here);
            if (!loss.isEmpty())
                return loss;
        }
        return QString();
    }
    if (read.isArray() && written.isArray() && read.size() == written.size()) {
        for (Json::ArrayIndex i = 0; i < read.size(); ++i) {
            const QString loss = lossAt(read[i], written[i], path + QStringLiteral("[%1]").arg(i));
            if (!loss.isEmpty())
                return loss;
        }
        return QString();
    }
    if (read.type() == written.type() && !read.isArray() && !read.isObject() && read == written)
        return QString();
    return QStringLiteral("holds %1 at %2, which a save would write as %3")
        .arg(valueText(read), path, valueText(written));
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
    const bool children = vyrIsSerializeChild();
    vyrEnableSerializeChild(false);
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
        if (m_cut.isEmpty() && holdsCutText(*entry.second, written, "child")) {
            m_cut = QStringLiteral("holds a text of more than %1 characters in %2, which a save would cut")
                        .arg(VYRQWidgetBaseImpl::maxTextLength)
                        .arg(elementTitle(*entry.second));
        }
    }
    vyrEnableSerializeChild(children);
}

QString VYRQPageKeeping::firstLoss(const Json::Value& read, const Json::Value& written)
{
    return lossAt(read, written, QStringLiteral("$"));
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

QString VYRQPageKeeping::unwritten(const std::function<void(Json::Value&)>& write, const Json::Value& read)
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
    m_foundElsewhere.clear();
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
    for (Json::LargestUInt index : m_foundElsewhere)
        found[std::size_t(index)] = true;
    m_foundElsewhere.clear();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (found[i])
            continue;
        const QObject* parent = all[i].first->parent();
        return QStringLiteral("holds %1 in \"%2\", which a save would not write back")
            .arg(elementTitle(*all[i].second), parent ? parent->objectName() : QString());
    }
    return firstLoss(read, document);
}

void VYRQPageKeeping::noteWritten(const QObject* object, Json::Value& written)
{
    if (!checkingKeeping)
        return;
    const auto it = checkingKeeping->m_pending.find(object);
    if (it == checkingKeeping->m_pending.end())
        return;
    if (!written.isObject()) {
        // A kept value that is no element stays as it is; the comparison with the page
        // as read finds it should it go missing.
        checkingKeeping->m_foundElsewhere.push_back(it->second);
        return;
    }
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
        // An empty list is the element's own: no child writes it back.
        if (it->isArray() && !it->empty() && named(key, end, childrenKey))
            continue;
        const Json::Value* mine = written.find(key, end);
        Json::Value entry;
        if (!mine) {
            entry.append(*it);
        } else if (it->isObject() && mine->isObject()) {
            if (!keptKeys(*it, *mine, nullptr, entry))
                continue;
        } else if (!(*it == *mine) || holdsReal(*it)) {
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
