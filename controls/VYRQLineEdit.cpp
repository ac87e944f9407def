#include "VYRQLineEdit.h"
#include "VYRQLineEditImpl_p.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQResourceManager.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <json/value.h>

#include <algorithm>

namespace {

bool validState(int state)
{
    return state >= Normal && state <= Disable;
}

// The name of a captured key combination, or a null text for keys that are not
// captured. Function keys ignore the modifiers; letters name them in the fixed order
// CTRL, ALT, SHIFT (Meta is not shown).
QString shortcutText(int key, Qt::KeyboardModifiers modifiers)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    if (key < Qt::Key_A || key > Qt::Key_Z)
        return QString();
    QString text;
    auto add = [&text](const char* part) {
        if (!text.isEmpty())
            text += QLatin1Char('+');
        text += QLatin1String(part);
    };
    if (modifiers & Qt::ControlModifier)
        add("CTRL");
    if (modifiers & Qt::AltModifier)
        add("ALT");
    if (modifiers & Qt::ShiftModifier)
        add("SHIFT");
    if (!text.isEmpty())
        text += QLatin1Char('+');
    text += QChar(char16_t(key));
    return text;
}

} // namespace

// VYRQLineEditImpl

VYRQLineEditImpl::VYRQLineEditImpl(VYRQLineEdit* owner)
    : VYRQLineEditImpl(owner, VYRQLineEdit::typeName(), 9)
{
}

VYRQLineEditImpl::VYRQLineEditImpl(QWidget* owner, const QString& typeKey, int placeholderSlot)
    : VYRQWidgetBaseImpl(owner, typeKey)
    , m_placeholderSlot(placeholderSlot)
{
}

VYRQLineEditImpl::~VYRQLineEditImpl() = default;

QString VYRQLineEditImpl::editText() const
{
    auto* edit = static_cast<VYRQLineEdit*>(owner());
    return edit ? edit->QLineEdit::text() : QString();
}

void VYRQLineEditImpl::setEditText(const QString& text)
{
    if (auto* edit = static_cast<VYRQLineEdit*>(owner()))
        edit->QLineEdit::setText(text);
}

bool VYRQLineEditImpl::isTextEmpty() const
{
    auto* edit = static_cast<VYRQLineEdit*>(owner());
    return !edit || edit->QLineEdit::text().isEmpty();
}

QRect VYRQLineEditImpl::placeholderRect(const QRect& rect) const
{
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    getEditMargin(top, bottom, left, right);
    return rect.adjusted(left, top, -right, -bottom);
}

void VYRQLineEditImpl::drawControl(QPainter* painter, const QRect& rect)
{
    // The Hot look is never shown: a hovered field keeps its Normal look.
    if (ctrlState() == Hot)
        storeCtrlState(Normal);
    drawFillStyle(painter, background.get(ctrlState()), rect);
    if (isTextEmpty() && !placeholderText.isEmpty())
        drawText(painter, placeholderText, placeholderStyle, placeholderRect(rect));
}

void VYRQLineEditImpl::createComplete()
{
    applyTextStyle(Normal);
}

void VYRQLineEditImpl::enterEvent(QEvent*)
{
    if (ctrlState() != Pressed)
        setCtrlState(Hot);
}

void VYRQLineEditImpl::leaveEvent(QEvent*)
{
    if (ctrlState() != Pressed)
        setCtrlState(Normal);
}

void VYRQLineEditImpl::focusIn()
{
    setCtrlState(Pressed);
}

void VYRQLineEditImpl::focusOut()
{
    setCtrlState(Normal);
}

void VYRQLineEditImpl::applyTextStyle(CtrlState state)
{
    QWidget* widget = owner();
    if (!widget)
        return;
    const TextStyleDesc& style = textStyle.get(state);
    const QString global = VYRQResourceManager::getInstance()->getGlobalFontFamily();
    const QString& family = global.isEmpty() ? style.family : global;
    if (style.color != m_appliedColor || style.size != m_appliedSize || family != m_appliedFamily) {
        // A fresh palette, not merged into the old one: only the text colour is ours.
        m_palette = QPalette();
        m_palette.setBrush(QPalette::All, QPalette::Text, QBrush(style.color));
        m_font = QFont();
        m_font.setPixelSize(std::max(style.size, 1));
        m_font.setFamily(family);
        m_appliedColor = style.color;
        m_appliedSize = style.size;
        m_appliedFamily = family;
    }
    // Both setters return early when nothing changed.
    widget->setPalette(m_palette);
    widget->setFont(m_font);
}

void VYRQLineEditImpl::setBackground(CtrlState state, const FillStyle& style)
{
    if (validState(state))
        background.set(state, style);
}

const FillStyle& VYRQLineEditImpl::getBackground(CtrlState state) const
{
    return background.get(state);
}

void VYRQLineEditImpl::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    if (!validState(state))
        return;
    textStyle.set(state, style);
    if (state == Normal)
        applyTextStyle(Normal);
}

const TextStyleDesc& VYRQLineEditImpl::getTextStyle(CtrlState state) const
{
    return textStyle.get(state);
}

void VYRQLineEditImpl::setEditMargin(int top, int bottom, int left, int right)
{
    if (owner())
        owner()->setContentsMargins(left, top, right, bottom);
}

void VYRQLineEditImpl::getEditMargin(int& top, int& bottom, int& left, int& right) const
{
    const QMargins m = owner() ? owner()->contentsMargins() : QMargins();
    top = m.top();
    bottom = m.bottom();
    left = m.left();
    right = m.right();
}

vyr::StyleSlots VYRQLineEditImpl::styleSlots()
{
    // The placeholder takes the first text style too, until its own slot names one.
    return {{0, background}, {4, textStyle, vyr::StyleSlot::StatesWrite::ByName},
            {4, placeholderStyle, vyr::StyleSlot::Reach::ReadOnly}, {m_placeholderSlot, placeholderStyle}};
}

void VYRQLineEditImpl::readJson(const Json::Value& element)
{
    if (const Json::Value* attr = vyr::json::object(element, "attr"))
        readAttr(*attr);
    readExtra(element);
}

void VYRQLineEditImpl::writeJson(Json::Value& element)
{
    writeAttr(element);
}

void VYRQLineEditImpl::readAttr(const Json::Value& attr)
{
    QString text;
    if (readOwnAttr(attr, "text", text))
        setEditText(text);
    readExtraAttr(attr);
    readOwnAttr(attr, "tip", placeholderText);
    // The margins are set on every read: a missing key counts as 0.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    readOwnAttr(attr, "leftMargin", left);
    readOwnAttr(attr, "topMargin", top);
    readOwnAttr(attr, "rightMargin", right);
    readOwnAttr(attr, "bottomMargin", bottom);
    setEditMargin(top, bottom, left, right);
}

void VYRQLineEditImpl::writeAttr(Json::Value& element) const
{
    Json::Value own(Json::objectValue);
    const QString text = editText();
    vyr::json::writeUnlessEmpty(own, "text", text);
    vyr::json::writeUnlessEmpty(own, "tip", placeholderText);
    writeExtraAttr(own);
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    getEditMargin(top, bottom, left, right);
    const std::pair<const char*, int> margins[] = {
        {"leftMargin", left}, {"topMargin", top}, {"rightMargin", right}, {"bottomMargin", bottom}};
    for (const auto& margin : margins) {
        if (margin.second != 0)
            own[margin.first] = margin.second;
    }
    if (own.empty())
        return;
    Json::Value& attr = element["attr"];
    for (const std::string& key : own.getMemberNames())
        attr[key] = own[key];
}

void VYRQLineEditImpl::readExtraAttr(const Json::Value& attr)
{
    auto* edit = static_cast<VYRQLineEdit*>(owner());
    bool password = false;
    // Only switches password mode on: a page never turns an existing one off.
    if (readOwnAttr(attr, "ispassord", password) && password && edit)
        edit->setIsPassword(true);
    readOwnAttr(attr, "shortcut", hotkeyMode);
}

void VYRQLineEditImpl::writeExtraAttr(Json::Value& attr) const
{
    auto* edit = static_cast<VYRQLineEdit*>(owner());
    if (edit && edit->getIsPassword())
        attr["ispassord"] = 1;
    if (hotkeyMode)
        attr["shortcut"] = 1;
}

void VYRQLineEditImpl::readExtra(const Json::Value&)
{
}

// VYRQLineEdit

VYRQLineEdit::VYRQLineEdit(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
    setFrame(false);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

VYRQLineEdit::~VYRQLineEdit() = default;

void VYRQLineEdit::setBackground(CtrlState state, const FillStyle& style)
{
    impl()->setBackground(state, style);
}

const FillStyle& VYRQLineEdit::getBackground(CtrlState state) const
{
    return impl()->getBackground(state);
}

void VYRQLineEdit::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->setTextStyle(state, style);
}

const TextStyleDesc& VYRQLineEdit::getTextStyle(CtrlState state) const
{
    return impl()->getTextStyle(state);
}

void VYRQLineEdit::setPlaceholderTextStyle(CtrlState, const TextStyleDesc& style)
{
    impl()->placeholderStyle = style;
}

const TextStyleDesc& VYRQLineEdit::getPlaceholderTextStyle(CtrlState) const
{
    return impl()->placeholderStyle;
}

void VYRQLineEdit::setPlaceholderText(const QString& text)
{
    impl()->placeholderText = text;
}

const QString& VYRQLineEdit::getPlaceholderText() const
{
    return impl()->placeholderText;
}

void VYRQLineEdit::setIsPassword(bool on)
{
    setContextMenuPolicy(on ? Qt::NoContextMenu : Qt::DefaultContextMenu);
    setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

bool VYRQLineEdit::getIsPassword() const
{
    return echoMode() == QLineEdit::Password;
}

void VYRQLineEdit::setHotkeyMode(bool on)
{
    impl()->hotkeyMode = on;
}

bool VYRQLineEdit::getHotkeyMode() const
{
    return impl()->hotkeyMode;
}

void VYRQLineEdit::setEditMargin(int top, int bottom, int left, int right)
{
    impl()->setEditMargin(top, bottom, left, right);
}

void VYRQLineEdit::getEditMargin(int& top, int& bottom, int& left, int& right) const
{
    impl()->getEditMargin(top, bottom, left, right);
}

void VYRQLineEdit::paintEvent(QPaintEvent* event)
{
    impl()->paintEvent();
    impl()->applyTextStyle(impl()->ctrlState());
    QLineEdit::paintEvent(event);
}

void VYRQLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (echoMode() != QLineEdit::Normal
        && (event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::Paste)
            || event->matches(QKeySequence::Copy)))
        return;
    if (impl()->hotkeyMode) {
        const int key = event->key();
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            QLineEdit::setText(QString());
            return;
        }
        const QString text = shortcutText(key, event->modifiers());
        if (!text.isNull())
            QLineEdit::setText(text);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void VYRQLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    impl()->focusIn();
}

void VYRQLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    impl()->focusOut();
}

void VYRQLineEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
}

void VYRQLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The X11 selection paste of the middle button is a paste like any other.
    if (getIsPassword() && event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void VYRQLineEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (getIsPassword()) {
        event->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void VYRQLineEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (getIsPassword()) {
        event->ignore();
        return;
    }
    QLineEdit::dragMoveEvent(event);
}

void VYRQLineEdit::dropEvent(QDropEvent* event)
{
    if (getIsPassword()) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

ControlInfo VYRQLineEdit::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQLineEdit>("LineEdit", "Control LineEdit", "edit");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQLineEdit::setBackground, &VYRQLineEdit::getBackground));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQLineEdit::setTextStyle, &VYRQLineEdit::getTextStyle));
    info.rows.push_back(vyr::textStatesRow("PlaceholderStyle", &VYRQLineEdit::setPlaceholderTextStyle,
                                           &VYRQLineEdit::getPlaceholderTextStyle, vyr::normalStateOnly()));
    info.rows.push_back(vyr::textRow<VYRQLineEdit>("Text", &QLineEdit::setText, &QLineEdit::text));
    info.rows.push_back(vyr::boolRow("IsPassword", &VYRQLineEdit::setIsPassword, &VYRQLineEdit::getIsPassword));
    info.rows.push_back(vyr::textRow("PlaceholderText", &VYRQLineEdit::setPlaceholderText,
                                     &VYRQLineEdit::getPlaceholderText));
    info.rows.push_back(vyr::boolRow("IsShortcut", &VYRQLineEdit::setHotkeyMode, &VYRQLineEdit::getHotkeyMode));
    info.rows.push_back(vyr::marginsRow("Margin", &VYRQLineEdit::setEditMargin, &VYRQLineEdit::getEditMargin,
                                        vyr::MarginOrder::TopBottomLeftRight));
    return info;
}

#include "moc_VYRQLineEdit.cpp"
#include "moc_VYRQLineEditImpl_p.cpp"
