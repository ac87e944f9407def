#pragma once

#include "VYRQExport.h"

// A style record held by many controls at once. Most controls of a page carry the
// same looks (the type's defaults, then the same theme element and page styles), so a
// holder keeps a pointer to one immutable record and copies it only when written
// (copy-on-write). share() trades a holder's record for an equal one that another
// holder shared lately, so controls that read alike end up on one record.

#include "VYRQStyleDefs.h"

#include <array>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace vyr {

// Records are the same when every field agrees, names and carried fields included;
// only then may one stand for the other.
VYRQTLIB_EXPORT bool sameStyle(const FillStyle& a, const FillStyle& b);
VYRQTLIB_EXPORT bool sameStyle(const TextStyleDesc& a, const TextStyleDesc& b);

template <class Style, std::size_t N>
bool sameStyle(const std::array<Style, N>& a, const std::array<Style, N>& b)
{
    for (std::size_t i = 0; i < N; ++i)
        if (!sameStyle(a[i], b[i]))
            return false;
    return true;
}

template <class T>
class SharedStyle {
public:
    SharedStyle()
        : m_d(defaultRecord())
    {
    }
    SharedStyle(const T& value)
        : m_d(std::make_shared<T>(value))
    {
    }
    SharedStyle& operator=(const T& value)
    {
        if (m_d.use_count() == 1)
            *m_d = value;
        else
            m_d = std::make_shared<T>(value);
        return *this;
    }

    const T& get() const { return *m_d; }
    operator const T&() const { return *m_d; }
    const T* operator->() const { return m_d.get(); }
    // The record for writing: a holder that shares its record takes its own copy first.
    // The reference stays valid until the holder is shared, assigned or copied.
    T& edit()
    {
        if (m_d.use_count() != 1)
            m_d = std::make_shared<T>(*m_d);
        return *m_d;
    }

    // Whether two holders point at one record (for tests and diagnostics).
    bool sharesWith(const SharedStyle& other) const { return m_d == other.m_d; }

    // Takes an equal record another holder shared lately, or offers this one. A record
    // held elsewhere too is shared already.
    void share()
    {
        if (m_d.use_count() != 1)
            return;
        Recent& recent = recentRecords();
        const std::lock_guard<std::mutex> lock(recent.mutex);
        for (const std::shared_ptr<T>& record : recent.records) {
            if (record == m_d)
                return;
            if (sameStyle(*record, *m_d)) {
                m_d = record;
                return;
            }
        }
        if (recent.records.size() >= recentLimit)
            recent.records.erase(recent.records.begin());
        recent.records.push_back(m_d);
    }

private:
    // Pages use few distinct looks per kind of record; a small window finds them.
    static constexpr std::size_t recentLimit = 16;
    struct Recent {
        std::mutex mutex;
        std::vector<std::shared_ptr<T>> records;
    };
    static Recent& recentRecords()
    {
        static Recent recent;
        return recent;
    }
    static const std::shared_ptr<T>& defaultRecord()
    {
        static const std::shared_ptr<T> record = std::make_shared<T>();
        return record;
    }

    std::shared_ptr<T> m_d;
};

} // namespace vyr
