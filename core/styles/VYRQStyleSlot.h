#pragma once

#include "VYRQExport.h"

// A control's "style" entries declared once: each row of its table names a slot, the
// kind of style the slot holds and the member it reads into and writes from. The
// implementation base reads the table before readJson and writes it before writeJson.

#include "VYRQStateStyles.h"

#include <vector>

namespace vyr {

class VYRQTLIB_EXPORT StyleSlot {
public:
    // How a per-state array writes itself: by look (StateStyles::write) or by name
    // (StateStyles::writeByName).
    enum class StatesWrite { ByLook, ByName };
    // Which slots a single style reads.
    enum class Reach {
        One,        // its own slot
        Onward,     // its slot and every later one (the last entry found wins)
        ReadOnly    // its own slot, but it is written through another row
    };

    StyleSlot(int slot, FillStyle& style, Reach reach = Reach::One);
    StyleSlot(int slot, TextStyleDesc& style, Reach reach = Reach::One);
    StyleSlot(int slot, SharedStyle<FillStyle>& style, Reach reach = Reach::One);
    StyleSlot(int slot, SharedStyle<TextStyleDesc>& style, Reach reach = Reach::One);
    template <class Style, int N>
    StyleSlot(int slot, StateStyles<Style, N>& states, StatesWrite write = StatesWrite::ByLook);

    // The single fill is left out of a written element while it looks like `other`.
    StyleSlot& unlessAlike(const FillStyle& other);

    StyleEntryKind kind() const { return m_kind; }
    bool covers(int slot) const;
    // `style` is a FillStyle or a TextStyleDesc, as kind() says.
    void read(int slot, const void* style) const;
    void write(Json::Value& styleArray) const;
    // After a read: the member takes a record that equals another control's, if it
    // keeps its records shared.
    void share() const;

private:
    using ReadFn = void (*)(void* target, int index, const void* style);
    using ShareFn = void (*)(void* target);
    using WriteFn = void (*)(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite how);

    template <class Style>
    static void readSingle(void* target, int, const void* style);
    template <class Style>
    static void readShared(void* target, int, const void* style);
    template <class Style>
    static void writeShared(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite);
    template <class Holder>
    static void shareTarget(void* target);
    template <class Style>
    static void writeSingle(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite);
    template <class States>
    static void readStates(void* target, int index, const void* style);
    template <class States>
    static void writeStates(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite how);

    void* m_target;
    ReadFn m_read;
    WriteFn m_write;
    ShareFn m_share = nullptr;
    int m_first;
    int m_count;
    StyleEntryKind m_kind;
    StatesWrite m_how = StatesWrite::ByLook;
    bool m_written = true;
    bool m_sharedSingle = false;   // m_target is a SharedStyle, not the record itself
    const FillStyle* m_unlessAlike = nullptr;
};

using StyleSlots = std::vector<StyleSlot>;

template <class Style>
void StyleSlot::readSingle(void* target, int, const void* style)
{
    *static_cast<Style*>(target) = *static_cast<const Style*>(style);
}

template <class Style>
void StyleSlot::writeSingle(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite)
{
    const Style& style = *static_cast<const Style*>(target);
    if (!style.name.isEmpty())
        appendStyleEntry(styleArray, style.name, styleEntryKind(style), firstSlot);
}

template <class Style>
void StyleSlot::readShared(void* target, int, const void* style)
{
    *static_cast<SharedStyle<Style>*>(target) = *static_cast<const Style*>(style);
}

template <class Style>
void StyleSlot::writeShared(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite how)
{
    writeSingle<Style>(&static_cast<const SharedStyle<Style>*>(target)->get(), styleArray, firstSlot, how);
}

template <class Holder>
void StyleSlot::shareTarget(void* target)
{
    static_cast<Holder*>(target)->share();
}

template <class States>
void StyleSlot::readStates(void* target, int index, const void* style)
{
    using Style = std::decay_t<decltype(std::declval<States&>().get(0))>;
    static_cast<States*>(target)->readSlot(index, *static_cast<const Style*>(style));
}

template <class States>
void StyleSlot::writeStates(const void* target, Json::Value& styleArray, int firstSlot, StatesWrite how)
{
    const States& states = *static_cast<const States*>(target);
    if (how == StatesWrite::ByName)
        states.writeByName(styleArray, firstSlot);
    else
        states.write(styleArray, firstSlot);
}

template <class Style, int N>
StyleSlot::StyleSlot(int slot, StateStyles<Style, N>& states, StatesWrite write)
    : m_target(&states)
    , m_read(&readStates<StateStyles<Style, N>>)
    , m_write(&writeStates<StateStyles<Style, N>>)
    , m_share(&shareTarget<StateStyles<Style, N>>)
    , m_first(slot)
    , m_count(N)
    , m_kind(styleEntryKind(Style()))
    , m_how(write)
{
}

} // namespace vyr
