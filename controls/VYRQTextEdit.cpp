#include "VYRQTextEdit.h"

#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQLineEditImpl_p.h"
#include "VYRQPropertyRows.h"
#include "VYRQScrollBar.h"
#include "VYRQTextDocument.h"

#include <QEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QPainter>
#include <QStringList>
#include <QTextDocument>

#include <json/value.h>

class VYRQTextEditImpl : public VYRQLineEditImpl {
public:
    explicit VYRQTextEditImpl(VYRQTextEdit* owner)
        : VYRQLineEditImpl(owner, VYRQTextEdit::typeName(), 8)
        , q(owner)
    {
    }

protected:
    QString editText() const override { return q->toPlainText(); }
    void setEditText(const QString& text) override { q->setText(text); }
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
    // A bar's thickness is its "h" when horizontal, its "w" when vertical; without
    // one the bar keeps the thickness it has.
    int size = 0;
    if (vyr::json::read(member, hor ? "h" : "w", size))
        q->setScrollbarSize(hor, size);

    q->scrollBar(hor)->readStyleEntries(member);
}

// VYRQTextEdit

VYRQTextEdit::VYRQTextEdit(QWidget* parent)
    : VYRQControl(parent)
{
    // Owned by the edit, which drops the document it made itself.
    setDocument(new VYRQTextDocument(this));
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
    // Theme defaults reach a text edit only through a refresh or its page.
    finishConstruction(VYRQWidgetBaseImpl::ThemeDefaults::Skip);
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

namespace {

// The document Qt reads the edit's HTML into, which reads what it links or imports.
VYRQTextDocument* parserOf(QTextEdit* edit)
{
    return qobject_cast<VYRQTextDocument*>(edit->document());
}

} // namespace

void VYRQTextEdit::setText(const QString& text)
{
    setContent(text, Qt::AutoText);
}

void VYRQTextEdit::setHtml(const QString& text)
{
    setContent(text, Qt::RichText);
}

void VYRQTextEdit::setPlainText(const QString& text)
{
    setContent(text, Qt::PlainText);
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQTextEdit::setContent(const QString& text, Qt::TextFormat format)
{
    // What the earlier text loaded goes with it: QTextEdit replaces a text without
    // clearing what its document holds.
    document()->clear();
    // Qt's layout waits for a page size: the text is weighed before it is laid out.
    const QSizeF page = document()->pageSize();
    document()->setPageSize(QSizeF(0, 0));
    QString html;
    QString refusal;
    const bool rich = VYRQTextDocument::readRich(text, format, html, refusal, parserOf(this));
    if (rich)
        QTextEdit::setHtml(html);
    QString plain;
    const bool kept = VYRQTextDocument::weigh(*document(), page.width(), text, rich, refusal, plain);
    document()->setPageSize(page);
    if (!kept)
        QTextEdit::setPlainText(plain);
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQTextEdit::insertHtml(const QString& text)
{
    QString shown;
    if (VYRQTextDocument::richText(text, Qt::RichText, shown, document()->defaultFont(), document()->textWidth(),
                                   parserOf(this)))
        QTextEdit::insertHtml(shown);
    else
        insertPlainText(shown);
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQTextEdit::append(const QString& text)
{
    // QTextEdit guesses the format again: plain text, or rich text past the bounds,
    // goes as HTML that shows it.
    QString shown;
    if (VYRQTextDocument::richText(text, Qt::AutoText, shown, document()->defaultFont(), document()->textWidth(),
                                   parserOf(this)))
        QTextEdit::append(shown);
    else
        QTextEdit::append(Qt::mightBeRichText(shown) ? Qt::convertFromPlainText(shown) : shown);
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQTextEdit::insertFromMimeData(const QMimeData* source)
{
    const QString qtRichText = QStringLiteral("application/x-qrichtext");
    if (!source || !acceptRichText() || !(source->hasHtml() || source->hasFormat(qtRichText))) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    // As QTextEdit reads it: x-qrichtext is UTF-8 in Qt's own whitespace rules.
    const QString pasted = source->hasFormat(qtRichText)
        ? QStringLiteral("<meta name=\"qrichtext\" content=\"1\" />") + QString::fromUtf8(source->data(qtRichText))
        : source->html();
    QString shown;
    QMimeData read;
    if (VYRQTextDocument::richText(pasted, Qt::RichText, shown, document()->defaultFont(), document()->textWidth(),
                                   parserOf(this)))
        read.setHtml(shown);
    else
        read.setText(shown);
    QTextEdit::insertFromMimeData(&read);
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

ControlInfo VYRQTextEdit::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQTextEdit>("TextEdit", "Control TextEdit", "text");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQTextEdit::setBackground, &VYRQTextEdit::getBackground));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQTextEdit::setTextStyle, &VYRQTextEdit::getTextStyle));
    info.rows.push_back(vyr::textStatesRow("PlaceholderStyle", &VYRQTextEdit::setPlaceholderTextStyle,
                                           &VYRQTextEdit::getPlaceholderTextStyle, vyr::normalStateOnly()));
    info.rows.push_back(vyr::textRow("PlaceholderText", &VYRQTextEdit::setPlaceholderText,
                                     &VYRQTextEdit::getPlaceholderText));
    info.rows.push_back(vyr::marginsRow("Margin", &VYRQTextEdit::setEditMargin, &VYRQTextEdit::getEditMargin,
                                        vyr::MarginOrder::TopBottomLeftRight));
    return info;
}

#include "moc_VYRQTextEdit.cpp"
