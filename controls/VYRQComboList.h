#pragma once

#include "VYRQExport.h"

#include "VYRQComboItemDelegate.h"

#include <QListView>
#include <QPointer>

class VYRQComboBoxImpl;

// The combo box's popup list: a frameless list view whose viewport shows the combo
// box's popup background under rows painted by its own VYRQComboItemDelegate.
class VYRQTLIB_EXPORT VYRQComboList : public QListView {
    Q_OBJECT
public:
    explicit VYRQComboList(VYRQComboBoxImpl* impl, QWidget* parent = nullptr);
    ~VYRQComboList() override;

    VYRQComboItemDelegate* comboDelegate() { return &m_delegate; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<VYRQComboBoxImpl> m_impl;
    VYRQComboItemDelegate m_delegate;
};
