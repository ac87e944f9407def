#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QLineEdit>

class VYRQLineEditImpl;

// The themed single-line text field: a QLineEdit over a per-state themed background,
// with its text colour and font from the theme's text styles and a placeholder drawn
// with a style of its own. Two input modes: password (echo mode Password, refusing
// copy, paste and select-all) and shortcut capture, in which a key press replaces
// the text with the name of the key combination ("CTRL+ALT+S", "F5").
class VYRQTLIB_EXPORT VYRQLineEdit : public VYRQControl<VYRQLineEdit, QLineEdit, VYRQLineEditImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQLineEdit, "qtdedit")
public:
    explicit VYRQLineEdit(QWidget* parent = nullptr);
    ~VYRQLineEdit() override;

    // Per-state styles, states 0 to 3 (other values: setters ignore them, getters
    // read Normal). None repaints; setting the Normal text style applies it at once.
    void setBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(CtrlState state) const;
    // One placeholder style: the state argument selects nothing.
    void setPlaceholderTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getPlaceholderTextStyle(CtrlState state) const;
    // QLineEdit's own placeholder is not used.
    void setPlaceholderText(const QString& text);
    const QString& getPlaceholderText() const;

    void setIsPassword(bool on);
    bool getIsPassword() const;
    void setHotkeyMode(bool on);
    bool getHotkeyMode() const;

    // The contents margins, in the order top, bottom, left, right.
    void setEditMargin(int top, int bottom, int left, int right);
    void getEditMargin(int& top, int& bottom, int& left, int& right) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Presses and releases are QLineEdit's alone: the state follows the focus.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A password field takes no dropped text either.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class VYRQLineEditImpl;
};
