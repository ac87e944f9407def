#pragma once

#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

#include <QColor>
#include <QFont>
#include <QPalette>

class VYRQLineEdit;

// State of the themed edit fields: per-state backgrounds and text styles, a
// placeholder of their own and the shortcut-capture flag. The text edit builds on it.
//
// Interaction state: Pressed while the field has keyboard focus, Hot while the
// pointer is over it without focus (never drawn: painting turns it into Normal),
// Normal otherwise.
// Private, but exported: the test suites reach into it.
class VYRQTLIB_EXPORT VYRQLineEditImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQLineEditImpl(VYRQLineEdit* owner);
    ~VYRQLineEditImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
    void createComplete() override;
    // Hover never overrides focus, and neither touches the hovered flag.
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // The text style of the state becomes the widget's text colour and font.
    void applyTextStyle(CtrlState state);

    void focusIn();
    void focusOut();

    // Setters and getters of the per-state arrays: states 0 to 3; setters ignore any
    // other value, getters read it as Normal.
    void setBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(CtrlState state) const;

    // The edit margins, in the argument order top, bottom, left, right: the
    // widget's contents margins.
    virtual void setEditMargin(int top, int bottom, int left, int right);
    virtual void getEditMargin(int& top, int& bottom, int& left, int& right) const;

    // Where the placeholder is drawn: the rectangle less the contents margins.
    QRect placeholderRect(const QRect& rect) const;

    bool hotkeyMode = false;
    QString placeholderText;
    TextStyleDesc placeholderStyle;
    vyr::FillStates background;
    vyr::TextStates textStyle;

protected:
    // For the text edit: its own type key and the style slot of its placeholder.
    VYRQLineEditImpl(QWidget* owner, const QString& typeKey, int placeholderSlot);

    virtual QString editText() const;
    virtual bool isTextEmpty() const;
    virtual void setEditText(const QString& text);
    // The keys only the line edit has.
    virtual void readExtraAttr(const Json::Value& attr);
    virtual void writeExtraAttr(Json::Value& attr) const;
    // Runs after "style" and "attr" have been read.
    virtual void readExtra(const Json::Value& element);

private:
    void readAttr(const Json::Value& attr);
    void writeAttr(Json::Value& element) const;

    int m_placeholderSlot;
    // The palette and font last built by applyTextStyle, and what they were built
    // from: painting applies the style every time and must not rebuild them.
    QColor m_appliedColor;
    int m_appliedSize = -1;
    QString m_appliedFamily;
    QPalette m_palette;
    QFont m_font;
};
