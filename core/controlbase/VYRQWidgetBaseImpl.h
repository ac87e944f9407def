#pragma once

#include "VYRQExport.h"

#include "VYRQStyleDefs.h"
#include "VYRQStyleSlot.h"
#include "VYRQTypes.h"

#include <QObject>
#include <QPainterPath>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vyr {
struct OwnAttrKeySet;
} // namespace vyr

namespace Json { class Value; }
class IVYRQWidgetBase;
class QEvent;
class QIcon;
class QMouseEvent;
class QPainter;
class QRect;
class QRectF;
class QSvgRenderer;
class QWidget;

// A typed value of a control's custom "attr" store.
struct VYRQTLIB_EXPORT VYRQAttrValue {
    enum Kind {
        Bool = 0, String = 1, Int8 = 2, UInt8 = 3, Int16 = 4, UInt16 = 5, UInt32 = 6,
        Int32 = 7, Int64 = 8, UInt64 = 9, Float = 10, Double = 11, StringList = 12
    };
    int kind = Bool;
    QVariant value;
};

// Base of every control's private implementation object: interaction state, the
// common "attr"/"theme"/"child" keys, theme defaults and the shared painters.
class VYRQTLIB_EXPORT VYRQWidgetBaseImpl : public QObject {
    Q_OBJECT
public:
    // A control's text as a page gives it: either the text itself or "|->key", a
    // language key whose translation is shown. The key is held, so that a language
    // change can show the new translation.
    class TextKey {
    public:
        static bool namesKey(const QString& text);
        // The translation of the key that `text` names.
        static QString translate(const QString& text);

        // The text to show for a page's value. A plain text drops the held key for
        // good: a later language change must not bring the old key's translation
        // back over it.
        QString read(const QString& value);
        bool isSet() const { return !m_key.isEmpty(); }
        QString translation() const;

    private:
        QString m_key;
    };

    // The longest text a control takes, in UTF-16 units: laying a text out and drawing
    // it grow with its length (a label of 100 MB took 13 s and 2 GB to show). The
    // "attr" strings, the tooltip, language keys and the labels' text setters hold
    // their texts to it, with a warning on vyr.controls; `what` names the text there.
    static constexpr int maxTextLength = 1 << 20;
    static QString boundedText(const QString& text, const char* what = "text");
    // Whether a control reading the UTF-8 text from `begin` to `end` (a page's JSON
    // string) keeps it whole.
    static bool fitsControlText(const char* begin, const char* end);
    // Shows the owner's tooltip for a QEvent::ToolTip through VYRQToolTip, never Qt's
    // (which reads every file rich text names itself); false when it has none, and the
    // event goes on to its parent.
    bool showToolTip(QEvent* event) const;

    VYRQWidgetBaseImpl(QWidget* owner, const QString& typeKey);
    ~VYRQWidgetBaseImpl() override;

    virtual void paintEvent();
    virtual void drawControl(QPainter* painter, const QRect& rect);
    // The common "attr"/"theme"/"child" part, then the control's own keys through
    // readJson or writeJson (on the element a "theme" redirect may have chosen).
    virtual bool serializeJson(Json::Value*& json, bool read);
    virtual void notifyChangeLanguage();
    virtual void createComplete();
    virtual void mousePressEvent(QMouseEvent* event);
    virtual void mouseReleaseEvent(QMouseEvent* event);
    virtual void enterEvent(QEvent* event);
    virtual void leaveEvent(QEvent* event);
    virtual void mouseMoveEvent(QMouseEvent* event);
    virtual void mouseDoubleClickEvent(QMouseEvent* event);

    // `control` is the owner's control interface, when the caller has it at hand.
    void applyThemeElement(IVYRQWidgetBase* control = nullptr);
    // The control's constructor has ended; its last step applies the theme defaults
    // unless told to skip them.
    enum class ThemeDefaults { Apply, Skip };
    void finishConstruction(ThemeDefaults theme, IVYRQWidgetBase* control = nullptr);
    bool isConstructionFinished() const { return m_constructed; }
    bool getDelegateItemVisible() const { return m_delegateItemVisible; }
    void setDelegateItemVisible(bool visible) { m_delegateItemVisible = visible; }

    QString typeKey() const { return m_typeKey; }
    QString themeName() const { return m_themeName; }
    void setThemeNameValue(const QString& name) { m_themeName = name; }
    bool isHovered() const { return m_hovered; }
    CtrlState ctrlState() const { return m_ctrlState; }
    // Changes the interaction state and repaints at once when it changed.
    void setCtrlState(CtrlState state);
    QWidget* owner() const { return m_owner; }

    // The keys of the element the control was read from that its writing leaves out or
    // changes (VYRQPageKeeping); null when none are kept.
    const Json::Value* keptKeys() const { return m_keptKeys.get(); }
    void setKeptKeys(Json::Value keys);
    // The element the control was built from, while the page keeping numbered `keeping`
    // has not made its record yet; null otherwise.
    const Json::Value* readElement(quint64 keeping) const { return keeping == m_readKeeping ? m_readElement : nullptr; }
    void setReadElement(const Json::Value* element, quint64 keeping)
    {
        m_readElement = element;
        m_readKeeping = keeping;
    }

    const std::map<std::string, VYRQAttrValue>& attrValues() const;
    void setAttrValue(const std::string& name, const VYRQAttrValue& value) { attrStore()[name] = value; }

    // The implementation object of a widget, found through its "impl" property.
    static VYRQWidgetBaseImpl* fromWidget(const QWidget* widget);

    // Shared painters.
    static QPainterPath makeRoundedRectPath(const QRectF& rect, double radius, bool topLeft, bool topRight,
                                            bool bottomRight, bool bottomLeft);
    static void paintFillStyle(QPainter* painter, const FillRes& fill, int x, int y, int w, int h);
    static void drawFillStyle(QPainter* painter, const FillStyle& style, const QRect& rect);
    static void drawFillStyle(QPainter* painter, const FillStyle& style, int x, int y, int w, int h);
    static void drawNinePatchImage(QPainter* painter, const QString& image, const ImageDesc& desc,
                                   int x, int y, int w, int h);
    static void drawImageDesc(QPainter* painter, const ImageRecord& image, int x, int y, int w, int h);
    static void drawIcon(QPainter* painter, const QIcon& icon, const QSize& size, const IconStyleDesc& style,
                         const QRect& rect);
    static void drawImage(QPainter* painter, const QString& name, const IconStyleDesc& style, const QRect& rect,
                          bool gray);
    static void drawImage(QPainter* painter, const QString& name, const IconStyleDesc& style,
                          int x, int y, int w, int h, bool gray);
    static void drawText(QPainter* painter, const QString& text, const TextStyleDesc& style, const QRect& rect);
    static void drawText(QPainter* painter, const QString& text, const TextStyleDesc& style,
                         int x, int y, int w, int h, bool horizontal);
    // How a picture is drawn: as it is, its shape filled with one colour (the colour
    // takes the picture's alpha), or greyed as a disabled icon.
    enum class SvgLook { Plain, Tinted, Grey };
    // An SVG into `target`. Tinted and greyed pictures are kept in a bounded cache
    // keyed by renderer, path, size and look, so repeated paints draw no new image.
    static void drawSvg(QPainter* painter, QSvgRenderer* renderer, const QString& name, const QRect& target,
                        SvgLook look, const QColor& tint = QColor());
    // Where an item of `size` starts along an axis of `length` from `start`, for
    // DockNear, DockCenter and DockFar (any other value is near).
    static int alignedStart(int align, int start, int length, int size);
    // A text style's alignment as Qt flags (values out of range are left and top).
    static Qt::Alignment textAlignment(const TextStyleDesc& style);
    static QSize getImageSize(const QString& name, bool gray);
    static QSize getTextSize(const TextStyleDesc& style, const QString& text);
    static QSize scaleSize(const QSize& size);
    static bool isSvgName(const QString& name);
    static QColor colorFromHex(const std::string& text);
    static bool isImageValid(const QImage& image);
    static QFont fontOf(const TextStyleDesc& style);

protected:
    // The control's style-slot table; read before readJson, written before writeJson.
    virtual vyr::StyleSlots styleSlots();
    virtual void readJson(const Json::Value& element);
    virtual void writeJson(Json::Value& element);
    // The "style" entries of an element into the rows that cover their slots; for
    // elements other than the control's own (a bar's "child" entry).
    static void readStyleSlots(const Json::Value& element, const vyr::StyleSlots& table);
    static void shareStyleSlots(const vyr::StyleSlots& table);
    static void writeStyleSlots(Json::Value& element, const vyr::StyleSlots& table);
    // Only the common part; for controls that handle their own keys in serializeJson.
    bool serializeCommon(Json::Value*& json, bool read);
    // Each entry of an element's "style" array, type-checked: fn(name, kind, slot).
    // Entries that are not [string, number, number] are skipped.
    static void forEachStyleEntry(const Json::Value& element,
                                  const std::function<void(const QString& name, int kind, int slot)>& fn);
    // Looks a style name up in the one set the resource manager searches now.
    static bool lookupFill(const QString& name, FillStyle& out);
    static bool lookupText(const QString& name, TextStyleDesc& out);
    // A fill style that paints nothing.
    static FillStyle undrawnFill();

    // The control's own "attr" keys. Reading one drops it from the common store, so
    // the writer never echoes a stale copy of a key the control writes itself.
    void claimAttrKey(const char* key);
    bool readOwnAttr(const Json::Value& attr, const char* key, bool& out);
    bool readOwnAttr(const Json::Value& attr, const char* key, int& out);
    bool readOwnAttr(const Json::Value& attr, const char* key, unsigned int& out);
    bool readOwnAttr(const Json::Value& attr, const char* key, double& out);
    bool readOwnAttr(const Json::Value& attr, const char* key, float& out);
    bool readOwnAttr(const Json::Value& attr, const char* key, QString& out);
    bool readOwnAttr(const Json::Value& attr, const char* key, std::string& out);
    bool readOwnColor(const Json::Value& attr, const char* key, QColor& out);
    // One row of readOwnAttrs: a key and where its value goes (a colour reads as
    // readOwnColor reads it); `found`, when given, tells whether the value was read.
    class OwnAttr {
    public:
        OwnAttr(const char* key, bool& out, bool* found = nullptr) : OwnAttr(key, Bool, &out, found) {}
        OwnAttr(const char* key, int& out, bool* found = nullptr) : OwnAttr(key, Int, &out, found) {}
        OwnAttr(const char* key, QString& out, bool* found = nullptr) : OwnAttr(key, Text, &out, found) {}
        OwnAttr(const char* key, QColor& out, bool* found = nullptr) : OwnAttr(key, Color, &out, found) {}

    private:
        friend class VYRQWidgetBaseImpl;
        enum Kind { Bool, Int, Text, Color };
        OwnAttr(const char* key, Kind kind, void* out, bool* found);
        bool readFrom(const Json::Value& value) const;
        const char* m_key;
        size_t m_length;
        Kind m_kind;
        void* m_out;
        bool* m_found;
    };
    // The rows' keys as readOwnAttr reads them one by one (claimed in row order), found
    // in one walk over `attr` instead of a map search per key.
    void readOwnAttrs(const Json::Value& attr, std::initializer_list<OwnAttr> rows);

    // True while theme defaults (or a "theme" redirect) are being applied.
    static bool isApplyingTheme();
    // For event slots that drive the state themselves (the button's hover fade).
    void setHovered(bool on) { m_hovered = on; }
    // For painting code that corrects the state it is about to draw: no repaint.
    void storeCtrlState(CtrlState state) { m_ctrlState = state; }

private:
    QString m_typeKey;
    QString m_themeName;
    bool m_hovered = false;
    bool m_delegateItemVisible = true;
    bool m_constructed = false;
    CtrlState m_ctrlState = Normal;
    // Made on the first key kept: most controls keep none.
    std::unique_ptr<std::map<std::string, VYRQAttrValue>> m_attrValues;
    std::map<std::string, VYRQAttrValue>& attrStore();
    // Keys the control reads and writes itself; the common store never holds them.
    // Every control of a type claims the same names: the sets are shared, one per
    // sequence of claims, and a control keeps a pointer to its own (null: none).
    const vyr::OwnAttrKeySet* m_ownAttrKeys = nullptr;
    std::unique_ptr<Json::Value> m_keptKeys;
    const Json::Value* m_readElement = nullptr;
    quint64 m_readKeeping = 0;
    bool isOwnAttrKey(const std::string& name) const;
    // The read half of the common part: the element's "attr" object (null when it has
    // none) after following a "theme" redirect; storeAttrValues keeps the values of
    // the keys that are not the control's own.
    const Json::Value* readCommon(Json::Value*& json);
    void storeAttrValues(const Json::Value& attr);
    QWidget* m_owner = nullptr;
};

