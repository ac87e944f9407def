#pragma once

#include "VYRQExport.h"

#include "VYRQWidgetBaseImpl.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

struct PropertyDef;
class VYRQCheckBox;
class VYRQContainer;
class VYRQLabel;
class VYRQLineEdit;
class VYRQPropertyList;
class VYRQPushButton;
class VYRQSpinBox;

// The property list's rows: those in use, in order, and the pool of every row built,
// by row code.
class VYRQTLIB_EXPORT VYRQPropertyListImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    struct PropertyRow {
        int inUse = 0;
        int code = -1;
        VYRQContainer* container = nullptr;
        VYRQLabel* name = nullptr;
        VYRQLabel* value = nullptr;
        VYRQSpinBox* spin = nullptr;
        VYRQLineEdit* edit = nullptr;
        VYRQCheckBox* check = nullptr;
        VYRQPushButton* button = nullptr;
    };

    static constexpr int rowHeight = 30;

    explicit VYRQPropertyListImpl(VYRQPropertyList* owner);
    ~VYRQPropertyListImpl() override;

    void addItem(const PropertyDef& def);
    void removeAll();
    int rowsInUseCount() const { return rowsInUse.size(); }
    QWidget* contentWidget() const { return content; }

    int nameWidth = 120;

private:
    PropertyRow* rowFor(int code);
    PropertyRow* buildRow(int code, int width);
    // The definition an editor shows, or null while it shows none.
    static PropertyDef* definitionOf(const QObject* editor);
    static void setDefinition(QObject* editor, const PropertyDef* def);
    // Every editor of the row forgets its definition.
    static void clearDefinitions(PropertyRow* row);

    void textChanged(const QString& text);
    void boolChanged(bool on);
    void intChanged(int value);
    void selectClicked();

    VYRQPropertyList* q;
    QPointer<QWidget> content;
    QList<PropertyRow*> rowsInUse;
    std::map<int, std::vector<std::unique_ptr<PropertyRow>>> pool;
};
