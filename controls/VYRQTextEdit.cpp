#include "VYRQTextEdit.h"

#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQLineEditImpl.h"
#include "VYRQScrollBar.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QStringList>
#include <QTextDocument>

#include <json/value.h>

class VYRQTextEditImpl : public VYRQLineEditImpl {
public:
    explicit VYRQTextEditImpl(VYRQTextEdit* owner)
        : VYRQLineEditImpl(owner, QStringLiteral("qttext"), 8)
        , q(owner)
    {
    }

protected:
    QString editText() const override { return q->toPlainText(); }
    void setEditText(const QString& text) override { q->QTextEdit::setText(text); }
    bool isTextEmpty() const override { return q->document()->isEmpty(); }
    void readExtraAttr(const Json::Value&) override {}
    void writeExtraAttr(Json::Value&) const override {}
    void readExtra(const Json::Value& element) override;

public:
    // A scroll area resets its contents margins to its frame widths whenever it
    // lays itself out, so the edit margins are kept here and inset the viewport.
    void setEditMargin(int top, int bottom, int left, int right) override
    {
        margins = QMargins(left, top, right, bottom);
        q->setViewportMargins(margins);
    }
    void getEditMargin(int& top, int& bottom, int& left, int& right) const override
    {
        top = margins.top();
        bottom = margins.bottom();
        left = margins.left();
        right = margins.right();
    }

private:
    void readScrollBar(const Json::Value& member);

    VYRQTextEdit* q;
    QMargins margins;
};

void VYRQTextEditImpl::readExtra(const Json::Value& element)
{
    const Json::Value* children = vyr::json::array(element, "child");
    if (!children)
        return;
    for (Json::ArrayIndex i = 0; i < children->size(); ++i) {
        const Json::Value& member = (*children)[i];
        QString type;
        if (vyr::json::read(member, "type", type) && type.contains(QLatin1String("scrollbar")))
            readScrollBar(member);
    }
}

void VYRQTextEditImpl::readScrollBar(const Json::Value& member)
{
    const Json::Value* attr = vyr::json::object(member, "attr");
    bool hor = false;
    if (attr) {
        vyr::json::read(*attr, "hor", hor);
        QString icon;
        if (vyr::json::read(*attr, "upicon", icon))
            q->setScrollbarButtonIcon(hor, true, icon);
        if (vyr::json::read(*attr, "downicon", icon))
            q->setScrollbarButtonIcon(hor, false, icon);
        if (vyr::json::read(*attr, "thumbicon", icon))
            q->setScrollbarThumb(hor, icon);
    }
    const int w = vyr::json::intOr(member, "w", 0);
    const int h = vyr::json::intOr(member, "h", 0);
    q->setScrollbarSize(hor, hor ? h : w);

    forEachStyleEntry(member, [this, hor](const QString& name, int, int slot) {
        if (slot < 0 || slot == 1 || slot > 13)
            return;
        FillStyle style;
        if (!lookupFill(name, style))
            return;
        // The first slot of each part stands for all four states.
        auto stateOf = [](int index) { return index == 0 ? AllStates : CtrlState(index); };
        if (slot == 0)
            q->setScrollbarBackgroundStyle(hor, style);
        else if (slot <= 5)
            q->setScrollbarButtonStyle(hor, true, stateOf(slot - 2), style);
        else if (slot <= 9)
            q->setScrollbarButtonStyle(hor, false, stateOf(slot - 6), style);
        else
            q->setScrollbarThumbStyle(hor, stateOf(slot - 10), style);
    });
}

// VYRQTextEdit

VYRQTextEdit::VYRQTextEdit(QWidget* parent)
    : VYRQControl(parent)
{
    const QString transparent = QStringLiteral("background-color: rgba(0, 0, 0, 0);");
    viewport()->setStyleSheet(transparent);
    setStyleSheet(transparent);
    m_horBar = new VYRQScrollBar(Qt::Horizontal, this);
    m_verBar = new VYRQScrollBar(Qt::Vertical, this);
    setVerticalScrollBar(m_verBar);
    setHorizontalScrollBar(m_horBar);
    viewport()->installEventFilter(this);
    setFrameStyle(0);
    // Scroll-bar elements under "child" style the two bars above; the page loader
    // must not build further scroll bars from them.
    setProperty(vyr::ownChildTypesProperty, QStringList(QStringLiteral("scrollbar")));
}

VYRQTextEdit::~VYRQTextEdit() = default;

void VYRQTextEdit::setBackground(CtrlState state, const FillStyle& style)
{
    impl()->setBackground(state, style);
}

const FillStyle& VYRQTextEdit::getBackground(CtrlState state) const
{
    return impl()->getBackground(state);
}

void VYRQTextEdit::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->setTextStyle(state, style);
}

const TextStyleDesc& VYRQTextEdit::getTextStyle(CtrlState state) const
{
    return impl()->getTextStyle(state);
}

void VYRQTextEdit::setPlaceholderTextStyle(const TextStyleDesc& style)
{
    impl()->placeholderStyle = style;
}

const TextStyleDesc& VYRQTextEdit::getPlaceholderTextStyle() const
{
    return impl()->placeholderStyle;
}

void VYRQTextEdit::setPlaceholderText(const QString& text)
{
    impl()->placeholderText = text;
}

const QString& VYRQTextEdit::getPlaceholderText() const
{
    return impl()->placeholderText;
}

void VYRQTextEdit::setEditMargin(int top, int bottom, int left, int right)
{
    impl()->setEditMargin(top, bottom, left, right);
}

void VYRQTextEdit::getEditMargin(int& top, int& bottom, int& left, int& right) const
{
    impl()->getEditMargin(top, bottom, left, right);
}

VYRQScrollBar* VYRQTextEdit::scrollBar(bool hor) const
{
    return hor ? m_horBar : m_verBar;
}

void VYRQTextEdit::setScrollbarBackgroundStyle(bool hor, const FillStyle& style)
{
    scrollBar(hor)->setScrollbarBackground(CommonNormal, style);
}

void VYRQTextEdit::setScrollbarButtonStyle(bool hor, bool up, CtrlState state, const FillStyle& style)
{
    if (up)
        scrollBar(hor)->setScrollbarUpButton(state, style);
    else
        scrollBar(hor)->setScrollbarDownButton(state, style);
}

void VYRQTextEdit::setScrollbarButtonIcon(bool hor, bool up, const QString& icon)
{
    scrollBar(hor)->setScrollbarBtnIcon(up, icon);
}

void VYRQTextEdit::setScrollbarButtonIconStyle(bool hor, bool up, const IconStyleDesc& style)
{
    scrollBar(hor)->setScrollbarIconStyle(up, style);
}

void VYRQTextEdit::setScrollbarThumb(bool hor, const QString& icon)
{
    scrollBar(hor)->setScrollbarThumbIcon(icon);
}

void VYRQTextEdit::setScrollbarThumbStyle(bool hor, CtrlState state, const FillStyle& style)
{
    scrollBar(hor)->setScrollbarThumb(state, style);
}

void VYRQTextEdit::setScrollbarSize(bool, int size)
{
    const QString sheet =
        QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } "
                       "QScrollBar::add-line:vertical{ width:%3px;width:%3px; subcontrol-origin: margin;} "
                       "QScrollBar::sub-line:vertical{ width:%3px;width:%3px;subcontrol-origin: margin; }")
            .arg(size)
            .arg(size)
            .arg(size);
    m_horBar->setStyleSheet(sheet);
    m_verBar->setStyleSheet(sheet);
}

void VYRQTextEdit::setScrollbarBtnSize(bool, int)
{
}

bool VYRQTextEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::Paint) {
        impl()->applyTextStyle(impl()->ctrlState());
        QWidget* area = viewport();
        QPainter painter(area);
        impl()->drawControl(&painter, QRect(0, 0, area->width(), area->height()));
    }
    return QTextEdit::eventFilter(watched, event);
}

void VYRQTextEdit::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
}

void VYRQTextEdit::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    impl()->focusIn();
}

void VYRQTextEdit::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    impl()->focusOut();
}

void VYRQTextEdit::mousePressEvent(QMouseEvent* event)
{
    QTextEdit::mousePressEvent(event);
}

void VYRQTextEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
}

void VYRQTextEdit::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
}

void VYRQTextEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTextEdit::mouseDoubleClickEvent(event);
}

ControlInfo VYRQTextEdit::getProps()
{
    ControlInfo info = vyr::makeControlInfo("qttext", "VYRQTextEdit", "TextEdit", "Control TextEdit", "text");
    auto edit = [](QObject* o) { return qobject_cast<VYRQTextEdit*>(o); };
    const QVector<int> allStates = {Normal, Hot, Pressed, Disable};
    const QVector<QString> allLabels = {QStringLiteral("Normal"), QStringLiteral("Hot"), QStringLiteral("Pressed"),
                                        QStringLiteral("Disable")};

    PropertyDef background;
    background.name = QStringLiteral("Background");
    background.kind = PropertyDef::FillStyles;
    background.optionValues = allStates;
    background.optionLabels = allLabels;
    background.setFill = [edit](QObject* o, int state, const FillStyle& style) {
        if (VYRQTextEdit* e = edit(o))
            e->setBackground(CtrlState(state), style);
    };
    background.getFill = [edit](QObject* o, int state) {
        VYRQTextEdit* e = edit(o);
        return e ? e->getBackground(CtrlState(state)) : FillStyle();
    };
    info.rows.push_back(background);

    PropertyDef text;
    text.name = QStringLiteral("TextStyle");
    text.kind = PropertyDef::TextStyles;
    text.optionValues = allStates;
    text.optionLabels = allLabels;
    text.setTextStyle = [edit](QObject* o, int state, const TextStyleDesc& style) {
        if (VYRQTextEdit* e = edit(o))
            e->setTextStyle(CtrlState(state), style);
    };
    text.getTextStyle = [edit](QObject* o, int state) {
        VYRQTextEdit* e = edit(o);
        return e ? e->getTextStyle(CtrlState(state)) : TextStyleDesc();
    };
    info.rows.push_back(text);

    PropertyDef placeholder;
    placeholder.name = QStringLiteral("PlaceholderStyle");
    placeholder.kind = PropertyDef::TextStyles;
    placeholder.optionValues = {Normal};
    placeholder.optionLabels = {QStringLiteral("Normal")};
    placeholder.setTextStyle = [edit](QObject* o, int, const TextStyleDesc& style) {
        if (VYRQTextEdit* e = edit(o))
            e->setPlaceholderTextStyle(style);
    };
    placeholder.getTextStyle = [edit](QObject* o, int) {
        VYRQTextEdit* e = edit(o);
        return e ? e->getPlaceholderTextStyle() : TextStyleDesc();
    };
    info.rows.push_back(placeholder);

    PropertyDef tip;
    tip.name = QStringLiteral("PlaceholderText");
    tip.kind = PropertyDef::Text;
    tip.setText = [edit](QObject* o, const QString& value) {
        if (VYRQTextEdit* e = edit(o))
            e->setPlaceholderText(value);
    };
    tip.getText = [edit](QObject* o) {
        VYRQTextEdit* e = edit(o);
        return e ? e->getPlaceholderText() : QString();
    };
    info.rows.push_back(tip);

    PropertyDef margin;
    margin.name = QStringLiteral("Margin");
    margin.kind = PropertyDef::Margins;
    margin.setMargins = [edit](QObject* o, const QMargins& m) {
        if (VYRQTextEdit* e = edit(o))
            e->setEditMargin(m.top(), m.bottom(), m.left(), m.right());
    };
    margin.getMargins = [edit](QObject* o) {
        QMargins m;
        if (VYRQTextEdit* e = edit(o)) {
            int top = 0, bottom = 0, left = 0, right = 0;
            e->getEditMargin(top, bottom, left, right);
            m = QMargins(left, top, right, bottom);
        }
        return m;
    };
    info.rows.push_back(margin);
    return info;
}

#include "moc_VYRQTextEdit.cpp"
