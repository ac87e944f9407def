#include "VYRQGroupBox.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQResourceManager.h"
#include "VYRQStateStyles.h"
#include "VYRQSaturate_p.h"

#include <QPainter>
#include <QPen>
#include <QPoint>

#include <json/value.h>

namespace {
const QColor defaultLineColor(0, 0, 0, 255);
constexpr int defaultLineSize = 1;
} // namespace

class VYRQGroupBoxImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQGroupBoxImpl(VYRQGroupBox* owner)
        : VYRQWidgetBaseImpl(owner, VYRQGroupBox::typeName())
    {
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    void notifyChangeLanguage() override;

    QSize captionSize() const;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    bool showText = true;
    FillStyle background;
    QString text;
    QString textKey;
    TextStyleDesc textStyle;
    QColor lineColor = defaultLineColor;
    int lineSize = defaultLineSize;
};

// Width counts only while the caption shows; the height always places the top line.
QSize VYRQGroupBoxImpl::captionSize() const
{
    QSize size = getTextSize(textStyle, text);
    if (!showText)
        size.setWidth(0);
    return size;
}

void VYRQGroupBoxImpl::drawControl(QPainter* painter, const QRect& rect)
{
    const QSize caption = captionSize();
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.left() + rect.width() - 1;
    const int top = t + caption.height() / 2;
    const int bottom = vyr::clampInt(qint64(t) + rect.height() - lineSize);

    // Open at the top: from beside the caption round to its right end.
    const QPoint frame[] = {
        QPoint(l + 5, top), QPoint(l, top), QPoint(l, bottom),
        QPoint(r - 1, bottom), QPoint(r - 1, top), QPoint(l + 9 + caption.width(), top),
    };
    QPen pen(lineColor);
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter->save();
    painter->setPen(pen);
    painter->drawPolyline(frame, 6);
    painter->restore();

    if (showText)
        drawText(painter, text, textStyle, QRect(l + 7, t, caption.width() + 5, caption.height()));
}

void VYRQGroupBoxImpl::notifyChangeLanguage()
{
    if (!textKey.isEmpty())
        text = VYRQResourceManager::getInstance()->getString(textKey);
}


vyr::StyleSlots VYRQGroupBoxImpl::styleSlots()
{
    return {{0, background}, {2, textStyle}};
}

void VYRQGroupBoxImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    readOwnAttr(*attr, "text", text);
    readOwnAttr(*attr, "size", lineSize);
    readOwnAttr(*attr, "showText", showText);

    // The line colour keeps its alpha; older files hold it as a 32-bit ARGB number.
    claimAttrKey("color");
    if (const Json::Value* color = vyr::json::member(*attr, "color")) {
        if (color->isString())
            lineColor = vyr::json::colorFromText(color->asString(), true);
        else if (color->isUInt())
            lineColor = QColor::fromRgba(color->asUInt());
        else if (color->isInt())
            lineColor = QColor::fromRgba(QRgb(quint32(color->asInt())));
    }
}

void VYRQGroupBoxImpl::writeJson(Json::Value& element)
{
    // The line is always written: a theme element may set another size or colour,
    // and a key left out would reload as the theme's value instead of this one.
    vyr::json::writeUnlessEmpty(element["attr"], "text", text);
    element["attr"]["size"] = lineSize;
    element["attr"]["color"] = vyr::json::colorToText(lineColor);
    if (!showText)
        element["attr"]["showText"] = 0;
}

// VYRQGroupBox

VYRQGroupBox::VYRQGroupBox(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
}

VYRQGroupBox::~VYRQGroupBox() = default;

void VYRQGroupBox::setText(const QString& text)
{
    impl()->text = text;
}

QString VYRQGroupBox::getText() const
{
    return impl()->text;
}

void VYRQGroupBox::setLineSize(int size)
{
    impl()->lineSize = size;
}

int VYRQGroupBox::getLineSize() const
{
    return impl()->lineSize;
}

void VYRQGroupBox::setLineColor(QColor color)
{
    impl()->lineColor = color;
}

QColor VYRQGroupBox::getLineColor() const
{
    return impl()->lineColor;
}

void VYRQGroupBox::setShowText(bool show)
{
    impl()->showText = show;
}

bool VYRQGroupBox::getShowText() const
{
    return impl()->showText;
}

void VYRQGroupBox::setBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQGroupBox::getBackground(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQGroupBox::setTextStyle(CommonCtrlState, const TextStyleDesc& style)
{
    impl()->textStyle = style;
}

const TextStyleDesc& VYRQGroupBox::getTextStyle(CommonCtrlState) const
{
    return impl()->textStyle;
}

ControlInfo VYRQGroupBox::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQGroupBox>("GroupBox", "Control GroupBox", "groupbox");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQGroupBox::setBackground, &VYRQGroupBox::getBackground,
                                           vyr::commonStates()));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQGroupBox::setTextStyle, &VYRQGroupBox::getTextStyle,
                                           vyr::commonStates()));
    info.rows.push_back(vyr::textRow("Text", &VYRQGroupBox::setText, &VYRQGroupBox::getText));
    info.rows.push_back(vyr::intRow("LineSize", &VYRQGroupBox::setLineSize, &VYRQGroupBox::getLineSize));
    info.rows.push_back(vyr::colorRow("LineColor", &VYRQGroupBox::setLineColor, &VYRQGroupBox::getLineColor));
    info.rows.push_back(vyr::boolRow("ShowText", &VYRQGroupBox::setShowText, &VYRQGroupBox::getShowText));
    return info;
}

#include "moc_VYRQGroupBox.cpp"
