#include "VYRQLabel.h"

#include "VYRQJson.h"
#include "VYRQPageElementScope_p.h"
#include "VYRQPropertyRows.h"
#include "VYRQReadSizeGuard_p.h"
#include "VYRQResourceManager.h"
#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

#include <vector>

#include <json/value.h>

class VYRQLabelImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQLabelImpl(VYRQLabel* owner)
        : VYRQWidgetBaseImpl(owner, QStringLiteral("qtlabel"))
        , q(owner)
    {
    }

    void applyTextStyle();
    void elide();
    void showElided(const QString& shown);
    void setText(const QString& newText);

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
    void notifyChangeLanguage() override;

    VYRQLabel* q;
    vyr::SharedStyle<TextStyleDesc> textStyle;
    vyr::SharedStyle<TextStyleDesc> disableTextStyle;
    QString text;
    QString textKey;
};

namespace {
// The application palette with every colour group's text in one colour: a disabled
// label keeps its look. Pages use few text colours, so the palettes are built once and
// shared (building one copies the whole palette); a new application palette starts over.
QPalette textPalette(const QColor& color)
{
    struct Built {
        QColor color;
        QPalette palette;
    };
    static QPalette base;
    static std::vector<Built> built;
    const QPalette application;
    if (!application.isCopyOf(base)) {
        base = application;
        built.clear();
    }
    for (const Built& entry : built) {
        if (entry.color == color)
            return entry.palette;
    }
    if (built.size() >= 16)
        built.clear();
    QPalette palette = application;
    palette.setBrush(QPalette::WindowText, QBrush(color));
    built.push_back({color, palette});
    return built.back().palette;
}
} // namespace

// Labels apply their look at construction and again for each page or theme element
// they read; a look that is already in place is not set again (setting a font or a
// palette re-resolves and notifies the whole widget).
void VYRQLabelImpl::applyTextStyle()
{
    const QFont font = fontOf(textStyle);
    if (!q->testAttribute(Qt::WA_SetFont) || q->font() != font)
        q->setFont(font);
    const QPalette& current = q->palette();
    const bool paletteInPlace = q->testAttribute(Qt::WA_SetPalette)
        && current.color(QPalette::Active, QPalette::WindowText) == textStyle->color
        && current.color(QPalette::Inactive, QPalette::WindowText) == textStyle->color
        && current.color(QPalette::Disabled, QPalette::WindowText) == textStyle->color;
    if (!paletteInPlace) {
        q->setPalette(textPalette(textStyle->color));
    }
    q->QLabel::setAlignment(textAlignment(textStyle));
}

void VYRQLabelImpl::elide()
{
    if (textStyle->elideMode == 3 || !textStyle->singleLine)
        return;
    const int mode = textStyle->elideMode;
    const Qt::TextElideMode qtMode = (mode >= 0 && mode <= 2) ? Qt::TextElideMode(mode) : Qt::ElideRight;
    const QFontMetrics metrics(fontOf(textStyle));
    const QString shown = metrics.elidedText(text, qtMode, q->width());
    if (shown != q->QLabel::text())
        showElided(shown);
}

// The shortened text follows the width the parent gave: the parent has nothing to lay
// out again for it. Yet QLabel::setText() asks a parent without a QLayout (every
// library container) for a pass through a posted layout request, and QApplication
// compares each such post with every pending event: a page shown in the turn it was
// built, its widgets' polish requests still pending, took quadratic time to show its
// labels. Qt posts nothing for a hidden widget; the label counts as one while its
// shortened text is set.
// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQLabelImpl::showElided(const QString& shown)
{
    const QWidget* parent = q->parentWidget();
    if (!parent || parent->layout() || q->isHidden()) {
        q->QLabel::setText(shown);
        return;
    }
    q->setAttribute(Qt::WA_WState_Hidden, true);
    q->QLabel::setText(shown);
    q->setAttribute(Qt::WA_WState_Hidden, false);
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQLabelImpl::setText(const QString& newText)
{
    text = boundedText(newText);
    q->QLabel::setText(text);
}

void VYRQLabelImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawText(painter, q->QLabel::text(), textStyle, rect.x(), rect.y(), rect.width(), rect.height(),
             textStyle->isHor);
}

void VYRQLabelImpl::notifyChangeLanguage()
{
    if (!textKey.isEmpty())
        setText(VYRQResourceManager::getInstance()->getString(textKey));
}

vyr::StyleSlots VYRQLabelImpl::styleSlots()
{
    return {{0, textStyle}};
}

void VYRQLabelImpl::readJson(const Json::Value& element)
{
    if (const Json::Value* attr = vyr::json::object(element, "attr")) {
        QString value;
        if (readOwnAttr(*attr, "text", value))
            setText(value);
    }
    applyTextStyle();
}

void VYRQLabelImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    vyr::json::writeUnlessEmpty(attr, "text", text);
}

namespace {
// Whether reading this element ends in the label's text being set: an own "text"
// string, read from the element itself (a "theme" key reads another element instead).
bool pageSetsText(const Json::Value* element)
{
    if (!element || !element->isObject() || element->isMember("theme"))
        return false;
    const Json::Value* attr = vyr::json::object(*element, "attr");
    const Json::Value* text = attr ? vyr::json::member(*attr, "text") : nullptr;
    return text && text->isString();
}
} // namespace

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE VYRQLabel::VYRQLabel(QWidget* parent)
    : VYRQControl(parent)
{
    // The label draws its text as it is; taken as rich text, QLabel would lay it out
    // for its size hint and read every image file the text names.
    setTextFormat(Qt::PlainText);
    finishConstruction();
    // Set after the theme defaults on purpose: a new label always reads "label",
    // unless the page element it is built for is about to set its own text.
    if (!pageSetsText(VYRQPageElementScope::take(typeName())))
        impl()->setText(QStringLiteral("label"));
}

VYRQLabel::~VYRQLabel() = default;

bool VYRQLabel::readJsonValue(void* json)
{
    VYRQReadSizeGuard guard(this);
    return VYRQControl::readJsonValue(json);
}

void VYRQLabel::setText(const QString& text)
{
    impl()->setText(text);
}

TextStyleDesc VYRQLabel::getTextStyle(CtrlState state) const
{
    return vyr::enabledOrDisabled(state, impl()->textStyle, impl()->disableTextStyle);
}

void VYRQLabel::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    vyr::setEnabledOrDisabled(state, style, impl()->textStyle, impl()->disableTextStyle);
    impl()->applyTextStyle();
}

QColor VYRQLabel::getColor() const
{
    return impl()->textStyle->color;
}

void VYRQLabel::setColor(const QColor& color)
{
    impl()->textStyle.edit().color = color;
    impl()->applyTextStyle();
}

QColor VYRQLabel::getDisableColor() const
{
    return impl()->disableTextStyle->color;
}

void VYRQLabel::setDisableColor(const QColor& color)
{
    impl()->disableTextStyle.edit().color = color;
}

void VYRQLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
}

void VYRQLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    impl()->elide();
}

ControlInfo VYRQLabel::getProps()
{
    ControlInfo info = vyr::makeControlInfo("qtlabel", "VYRQLabel", "Label", "Control label", "label");
    info.rows.push_back(vyr::textRow("Text", &VYRQLabel::setText, &QLabel::text));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQLabel::setTextStyle, &VYRQLabel::getTextStyle,
                                           vyr::normalAndDisableStates()));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQLabel.cpp"
