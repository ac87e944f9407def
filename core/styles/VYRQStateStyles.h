#pragma once

#include "VYRQExport.h"

// Per-state style slots: the one helper every control uses for its arrays of fill
// or text styles indexed by interaction state.

#include "VYRQSharedStyle.h"
#include "VYRQStyleDefs.h"
#include "VYRQTypes.h"


#include <array>

namespace Json { class Value; }

namespace vyr {

// Two fills are alike in look when they would paint the same; names do not count.
VYRQTLIB_EXPORT bool fillAlike(const FillStyle& a, const FillStyle& b);
// Text styles are alike when every painted property agrees.
VYRQTLIB_EXPORT bool textAlike(const TextStyleDesc& a, const TextStyleDesc& b);

// The kind number a written "style" entry carries; readers go by the slot alone.
enum StyleEntryKind : int { FillEntry = 1, TextEntry = 2 };

inline StyleEntryKind styleEntryKind(const FillStyle& s) { return s.kind == 0 ? FillEntry : TextEntry; }
inline StyleEntryKind styleEntryKind(const TextStyleDesc& s) { return s.kind == 0 ? FillEntry : TextEntry; }
inline bool styleAlike(const FillStyle& a, const FillStyle& b) { return fillAlike(a, b); }
inline bool styleAlike(const TextStyleDesc& a, const TextStyleDesc& b) { return textAlike(a, b); }

// Appends [name, kind, slot] to a "style" array.
VYRQTLIB_EXPORT void appendStyleEntry(Json::Value& styleArray, const QString& name, StyleEntryKind kind, int slot);

template <class Style, int N = CtrlStateCount>
class StateStyles {
public:
    static constexpr int count = N;

    // Out-of-range states read as the first (Normal) slot.
    const Style& get(int state) const { return m_styles.get()[inRange(state) ? state : 0]; }
    Style& at(int state) { return m_styles.edit()[inRange(state) ? state : 0]; }

    // One state, or all of them for AllStates (4) when the array has four slots;
    // any other value is ignored. Returns whether anything was set.
    bool set(int state, const Style& style)
    {
        if (N == CtrlStateCount && state == AllStates) {
            m_styles.edit().fill(style);
            return true;
        }
        if (!inRange(state))
            return false;
        m_styles.edit()[state] = style;
        return true;
    }

    // Reading a "style" entry of this array: the first (Normal) slot fans out to
    // every state, so a later entry for another state must follow it.
    void readSlot(int state, const Style& style)
    {
        if (state == 0)
            m_styles.edit().fill(style);
        else if (inRange(state))
            m_styles.edit()[state] = style;
    }

    // Takes an equal array another control shared lately (see SharedStyle).
    void share() { m_styles.share(); }
    bool sharesWith(const StateStyles& other) const { return m_styles.sharesWith(other.m_styles); }

    // Writes the array's entries with slots firstSlot + state. When a neighbouring
    // pair of states differs in look and both are named, every named state is
    // written. Otherwise the Normal entry alone stands for all states (a reader
    // fans it out), followed by any named state that does not look like Normal, so
    // that no named state is lost.
    void write(Json::Value& styleArray, int firstSlot) const
    {
        const std::array<Style, N>& styles = raw();
        bool spelledOut = false;
        for (int s = 0; s + 1 < N; ++s) {
            const Style& a = styles[s];
            const Style& b = styles[s + 1];
            if (!styleAlike(a, b) && !a.name.isEmpty() && !b.name.isEmpty()) {
                spelledOut = true;
                break;
            }
        }
        if (spelledOut) {
            for (int s = 0; s < N; ++s)
                if (!styles[s].name.isEmpty())
                    appendStyleEntry(styleArray, styles[s].name, styleEntryKind(styles[s]), firstSlot + s);
            return;
        }
        const Style& normal = styles[0];
        if (!normal.name.isEmpty())
            appendStyleEntry(styleArray, normal.name, styleEntryKind(normal), firstSlot);
        for (int s = 1; s < N; ++s) {
            const Style& st = styles[s];
            if (!st.name.isEmpty() && (normal.name.isEmpty() || !styleAlike(st, normal)))
                appendStyleEntry(styleArray, st.name, styleEntryKind(st), firstSlot + s);
        }
    }

    // As write(), for arrays whose states are told apart by their names alone.
    void writeByName(Json::Value& styleArray, int firstSlot) const
    {
        const std::array<Style, N>& styles = raw();
        bool spelledOut = false;
        for (int s = 0; s + 1 < N; ++s) {
            const Style& a = styles[s];
            const Style& b = styles[s + 1];
            if (a.name != b.name && !a.name.isEmpty() && !b.name.isEmpty()) {
                spelledOut = true;
                break;
            }
        }
        const Style& normal = styles[0];
        if (!spelledOut && !normal.name.isEmpty())
            appendStyleEntry(styleArray, normal.name, styleEntryKind(normal), firstSlot);
        for (int s = spelledOut ? 0 : 1; s < N; ++s) {
            const Style& st = styles[s];
            if (!st.name.isEmpty() && (spelledOut || st.name != normal.name))
                appendStyleEntry(styleArray, st.name, styleEntryKind(st), firstSlot + s);
        }
    }

    std::array<Style, N>& raw() { return m_styles.edit(); }
    const std::array<Style, N>& raw() const { return m_styles.get(); }

private:
    static bool inRange(int state) { return state >= 0 && state < N; }
    // Shared with every control whose array is the same; written copies.
    SharedStyle<std::array<Style, N>> m_styles;
};

using FillStates = StateStyles<FillStyle>;
using TextStates = StateStyles<TextStyleDesc>;

// A pair of an enabled and a disabled look: Normal reads and sets the enabled one,
// AllStates sets both, any other state stands for the disabled one.
template <class Style>
const Style& enabledOrDisabled(CtrlState state, const Style& enabled, const Style& disabled)
{
    return state == Normal ? enabled : disabled;
}

template <class Style>
void setEnabledOrDisabled(CtrlState state, const Style& style, Style& enabled, Style& disabled)
{
    if (state == Normal || state == AllStates)
        enabled = style;
    if (state != Normal)
        disabled = style;
}

template <class Style>
const Style& enabledOrDisabled(CtrlState state, const SharedStyle<Style>& enabled, const SharedStyle<Style>& disabled)
{
    return state == Normal ? enabled.get() : disabled.get();
}

template <class Style>
void setEnabledOrDisabled(CtrlState state, const Style& style, SharedStyle<Style>& enabled,
                          SharedStyle<Style>& disabled)
{
    if (state == Normal || state == AllStates)
        enabled = style;
    if (state != Normal)
        disabled = style;
}

} // namespace vyr
