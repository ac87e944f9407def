#pragma once

// Library-internal; not installed.
//
// The order in which a cache's entries were last used, oldest first. Adding, marking as
// used, removing and finding the oldest take constant time, so a cache of thousands of
// entries never walks them to choose what to let go. An entry keeps the position `add`
// gave it until it is removed; positions stay valid while other entries move.

#include <list>
#include <utility>

namespace vyr {

template <class T>
class LruOrder {
public:
    using Position = typename std::list<T>::iterator;

    Position add(T value) { return m_order.insert(m_order.end(), std::move(value)); }
    void touch(Position at) { m_order.splice(m_order.end(), m_order, at); }
    void remove(Position at) { m_order.erase(at); }
    bool isEmpty() const { return m_order.empty(); }
    size_t size() const { return m_order.size(); }
    const T& oldest() const { return m_order.front(); }
    void removeOldest() { m_order.pop_front(); }
    void clear() { m_order.clear(); }

private:
    std::list<T> m_order;
};

} // namespace vyr
