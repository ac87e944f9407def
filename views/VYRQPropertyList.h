#pragma once

#include "VYRQExport.h"

#include "VYRQScrollView.h"

#include <memory>

struct PropertyDef;
class VYRQPropertyListImpl;

// The designer's property editor: one row per PropertyDef, a name on the left and
// an editor chosen by the definition's type code on the right, loaded from the
// definition's getter and written back through its setter. Style rows do not edit in
// place: their button asks the host for a style (selectEvent). Rows are pooled by
// type code and reused after removeAll.
//
// The list keeps the address of each definition it shows: a definition must stay
// alive and in place while its row is shown.
class VYRQTLIB_EXPORT VYRQPropertyList : public VYRQScrollView {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQPropertyList, "qtproperty")
public:
    explicit VYRQPropertyList(QWidget* parent = nullptr);
    ~VYRQPropertyList() override;

    // Its JSON is the scroll view's; pages record it under its own type key.
    QString getTypeName() const override;
    // The list's own implementation object, the one its "impl" property names.
    VYRQWidgetBaseImpl* getControlImpl() override;

    // A row for the definition at the bottom; type codes without a row add nothing.
    void addItem(const PropertyDef& def);
    // Hides every row and returns it to the pool.
    void removeAll();
    void updateValue(PropertyDef* def);

Q_SIGNALS:
    // The style button of a fill or text style row was clicked.
    void selectEvent(PropertyDef* propDef);
    // A value was written through the definition's setter (or updateValue was called).
    void valueChanged(PropertyDef* propDef);

protected:
    // Sizes the rows' content widget: the list's width by 30 per row in use.
    void layout();
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class VYRQPropertyListImpl;
    std::unique_ptr<VYRQPropertyListImpl> m_list;
};
