#pragma once

#include "VYRQExport.h"

#include "VYRQComboItemDelegate.h"

#include <QListView>
#include <QPointer>

class VYRQComboBoxImpl;

// The combo box's popup list: a frameless list view whose viewport shows the combo
// box's popup background under rows painted by its own VYRQComboItemDelegate. It
// also looks after the popup window Qt puts around it, which would otherwise show
// the frame and window colour of the platform's style.
class VYRQTLIB_EXPORT VYRQComboList : public QListView {
    Q_OBJECT
public:
    explicit VYRQComboList(VYRQComboBoxImpl* impl, QWidget* parent = nullptr);
    ~VYRQComboList() override;

    // Null once a delegate set through the combo box has replaced it.
    VYRQComboItemDelegate* comboDelegate() const { return m_delegate; }
    // Readies the popup window around the list before it is placed and shown: no
    // frame, the popup background's colour under the list, and the background's
    // rounded shape as the window's shape.
    void preparePopup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void shapePopup(QWidget* popup);

    QPointer<VYRQComboBoxImpl> m_impl;
    // A child of the list, not a member: QComboBox::setItemDelegate() deletes the
    // delegate it replaces.
    QPointer<VYRQComboItemDelegate> m_delegate;
};
