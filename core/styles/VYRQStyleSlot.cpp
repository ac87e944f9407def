#include "VYRQStyleSlot.h"

#include <limits>

namespace vyr {

StyleSlot::StyleSlot(int slot, FillStyle& style, Reach reach)
    : m_target(&style)
    , m_read(&readSingle<FillStyle>)
    , m_write(&writeSingle<FillStyle>)
    , m_first(slot)
    , m_count(reach == Reach::Onward ? std::numeric_limits<int>::max() - slot : 1)
    , m_kind(FillEntry)
    , m_written(reach != Reach::ReadOnly)
{
}

StyleSlot::StyleSlot(int slot, TextStyleDesc& style, Reach reach)
    : m_target(&style)
    , m_read(&readSingle<TextStyleDesc>)
    , m_write(&writeSingle<TextStyleDesc>)
    , m_first(slot)
    , m_count(reach == Reach::Onward ? std::numeric_limits<int>::max() - slot : 1)
    , m_kind(TextEntry)
    , m_written(reach != Reach::ReadOnly)
{
}

StyleSlot::StyleSlot(int slot, SharedStyle<FillStyle>& style, Reach reach)
    : m_target(&style)
    , m_read(&readShared<FillStyle>)
    , m_write(&writeShared<FillStyle>)
    , m_share(&shareTarget<SharedStyle<FillStyle>>)
    , m_first(slot)
    , m_count(reach == Reach::Onward ? std::numeric_limits<int>::max() - slot : 1)
    , m_kind(FillEntry)
    , m_written(reach != Reach::ReadOnly)
    , m_sharedSingle(true)
{
}

StyleSlot::StyleSlot(int slot, SharedStyle<TextStyleDesc>& style, Reach reach)
    : m_target(&style)
    , m_read(&readShared<TextStyleDesc>)
    , m_write(&writeShared<TextStyleDesc>)
    , m_share(&shareTarget<SharedStyle<TextStyleDesc>>)
    , m_first(slot)
    , m_count(reach == Reach::Onward ? std::numeric_limits<int>::max() - slot : 1)
    , m_kind(TextEntry)
    , m_written(reach != Reach::ReadOnly)
    , m_sharedSingle(true)
{
}

StyleSlot& StyleSlot::unlessAlike(const FillStyle& other)
{
    m_unlessAlike = &other;
    return *this;
}

bool StyleSlot::covers(int slot) const
{
    return slot >= m_first && slot - m_first < m_count;
}

void StyleSlot::read(int slot, const void* style) const
{
    if (covers(slot))
        m_read(m_target, slot - m_first, style);
}

void StyleSlot::share() const
{
    if (m_share)
        m_share(m_target);
}

void StyleSlot::write(Json::Value& styleArray) const
{
    if (!m_written)
        return;
    if (m_unlessAlike) {
        const FillStyle& own = m_sharedSingle ? static_cast<const SharedStyle<FillStyle>*>(m_target)->get()
                                              : *static_cast<const FillStyle*>(m_target);
        if (fillAlike(own, *m_unlessAlike))
            return;
    }
    m_write(m_target, styleArray, m_first, m_how);
}

} // namespace vyr
