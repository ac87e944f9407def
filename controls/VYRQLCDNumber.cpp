#include "VYRQLCDNumber.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQStateStyles.h"

#include <QPainter>
#include <QPalette>

#include <json/value.h>

class VYRQLCDNumberImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQLCDNumberImpl(VYRQLCDNumber* owner)
        : VYRQWidgetBaseImpl(owner, VYRQLCDNumber::typeName())
        , q(owner)
    {
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    void rememberText(const QString& text);
    // The given text while it is still what the display shows.
    bool givenTextShown() const;

    VYRQLCDNumber* q;
    QColor digitColor;
    FillStyle background;
    // The text last given, with the value and mode QLCDNumber made of it: a numeric
    // display or a mode change through QLCDNumber itself shows in a changed pair.
    QString givenText;
    bool hasGivenText = false;
    double givenValue = 0.0;
    QLCDNumber::Mode givenMode = QLCDNumber::Dec;
};

void VYRQLCDNumberImpl::rememberText(const QString& text)
{
    givenText = text;
    hasGivenText = true;
    givenValue = q->value();
    givenMode = q->mode();
}

bool VYRQLCDNumberImpl::givenTextShown() const
{
    return hasGivenText && q->value() == givenValue && q->mode() == givenMode;
}

void VYRQLCDNumberImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
    // An unset colour leaves the palette (and the digits) as they are.
    if (!digitColor.isValid())
        return;
    QPalette palette = q->palette();
    palette.setBrush(QPalette::Active, QPalette::WindowText, QBrush(digitColor));
    q->setPalette(palette);
}


vyr::StyleSlots VYRQLCDNumberImpl::styleSlots()
{
    return {{0, background}};
}

void VYRQLCDNumberImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    int digits = 0;
    if (readOwnAttr(*attr, "digitCount", digits))
        q->setDigitCount(digits);
    readOwnColor(*attr, "color", digitColor);
    QString text;
    if (readOwnAttr(*attr, "text", text))
        q->setNumText(text);
}

void VYRQLCDNumberImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    if (q->digitCount() != 0)
        attr["digitCount"] = q->digitCount();
    attr["color"] = vyr::json::colorToText(q->getColor());
    attr["text"] = vyr::json::toUtf8(q->getNumText());
}

// VYRQLCDNumber

VYRQLCDNumber::VYRQLCDNumber(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
    setFrameStyle(QFrame::NoFrame);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

VYRQLCDNumber::~VYRQLCDNumber() = default;

void VYRQLCDNumber::setBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQLCDNumber::getBackground(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQLCDNumber::setColor(const QColor& color)
{
    impl()->digitColor = color;
}

QColor VYRQLCDNumber::getColor() const
{
    return palette().color(QPalette::Active, QPalette::WindowText);
}

void VYRQLCDNumber::setNumText(const QString& text)
{
    display(text);
}

QString VYRQLCDNumber::getNumText() const
{
    if (impl()->givenTextShown())
        return impl()->givenText;
    return QStringLiteral("%1").arg(value(), 0, 'g', -1, QLatin1Char(' '));
}

void VYRQLCDNumber::display(const QString& text)
{
    QLCDNumber::display(text);
    impl()->rememberText(text);
}

void VYRQLCDNumber::display(int number)
{
    impl()->hasGivenText = false;
    QLCDNumber::display(number);
}

void VYRQLCDNumber::display(double number)
{
    impl()->hasGivenText = false;
    QLCDNumber::display(number);
}

void VYRQLCDNumber::paintEvent(QPaintEvent* event)
{
    // Background first (its painter is closed again), then Qt's digits over it.
    impl()->paintEvent();
    QLCDNumber::paintEvent(event);
}

ControlInfo VYRQLCDNumber::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQLCDNumber>("LCDNumber", "Control LCDNumber", "led");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQLCDNumber::setBackground,
                                           &VYRQLCDNumber::getBackground, vyr::commonStates()));
    info.rows.push_back(
        vyr::intRow<VYRQLCDNumber>("DigitCount", &QLCDNumber::setDigitCount, &QLCDNumber::digitCount));
    info.rows.push_back(vyr::colorRow("TextColor", &VYRQLCDNumber::setColor, &VYRQLCDNumber::getColor));
    // The digits are a text, yet their row is of kind ObjectName.
    PropertyDef text = vyr::textRow("Text", &VYRQLCDNumber::setNumText, &VYRQLCDNumber::getNumText);
    text.kind = PropertyDef::ObjectName;
    info.rows.push_back(text);
    return info;
}

#include "moc_VYRQLCDNumber.cpp"
