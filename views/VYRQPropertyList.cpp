#include "VYRQPropertyList.h"
#include "VYRQPropertyListImpl.h"

#include "ControlInfo.h"
#include "VYRQCheckBox.h"
#include "VYRQContainer.h"
#include "VYRQLabel.h"
#include "VYRQLineEdit.h"
#include "VYRQPropertyRows.h"
#include "VYRQPushButton.h"
#include "VYRQSpinBox.h"

#include <QResizeEvent>

namespace {

const char* const definitionProperty = "Prop_ID";

// Definitions of codes 1 and 6 share the rows of codes 0 and 5.
int rowCodeOf(unsigned int kind)
{
    switch (kind) {
    case PropertyDef::ObjectName:
    case PropertyDef::Text: return 0;
    case PropertyDef::TypeName: return 2;
    case PropertyDef::Bool: return 3;
    case PropertyDef::Separator: return 4;
    case PropertyDef::FillStyles:
    case PropertyDef::TextStyles: return 5;
    case PropertyDef::Integer: return 10;
    default: return -1;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// VYRQPropertyListImpl

VYRQPropertyListImpl::VYRQPropertyListImpl(VYRQPropertyList* owner)
    : VYRQWidgetBaseImpl(owner, VYRQPropertyList::typeName())
    , q(owner)
{
    content = new QWidget(owner);
    content->move(0, 0);
}

VYRQPropertyListImpl::~VYRQPropertyListImpl() = default;

PropertyDef* VYRQPropertyListImpl::definitionOf(const QObject* editor)
{
    const QVariant id = editor ? editor->property(definitionProperty) : QVariant();
    return id.userType() == QMetaType::VoidStar ? static_cast<PropertyDef*>(id.value<void*>()) : nullptr;
}

void VYRQPropertyListImpl::setDefinition(QObject* editor, const PropertyDef* def)
{
    if (editor)
        editor->setProperty(definitionProperty, QVariant::fromValue<void*>(const_cast<PropertyDef*>(def)));
}

void VYRQPropertyListImpl::clearDefinitions(PropertyRow* row)
{
    QObject* const editors[] = {row->edit, row->check, row->spin, row->button};
    for (QObject* editor : editors)
        setDefinition(editor, nullptr);
}

VYRQPropertyListImpl::PropertyRow* VYRQPropertyListImpl::buildRow(int code, int width)
{
    auto row = std::make_unique<PropertyRow>();
    row->code = code;
    row->container = new VYRQContainer(content);
    const int n = nameWidth;
    if (code != 4) {
        row->name = new VYRQLabel(row->container);
        row->name->setGeometry(0, 0, n, rowHeight);
    }
    switch (code) {
    case 0:
        row->edit = new VYRQLineEdit(row->container);
        row->edit->setGeometry(n, 0, width - n, rowHeight);
        connect(row->edit, &QLineEdit::textChanged, this, &VYRQPropertyListImpl::textChanged);
        break;
    case 2:
        row->value = new VYRQLabel(row->container);
        row->value->setGeometry(n, 0, width - n, rowHeight);
        break;
    case 3:
        row->check = new VYRQCheckBox(row->container);
        row->check->setGeometry(n, 0, width - n, rowHeight);
        connect(row->check, &QAbstractButton::toggled, this, &VYRQPropertyListImpl::boolChanged);
        break;
    case 4: {
        auto* line = new VYRQContainer(row->container);
        line->setGeometry(n, 15, width, 1);
        break;
    }
    case 5:
        row->value = new VYRQLabel(row->container);
        row->value->setGeometry(n, 0, width - n - 30, rowHeight);
        row->button = new VYRQPushButton(row->container);
        row->button->setGeometry(width - 25, 5, 20, 20);
        connect(row->button, &QAbstractButton::clicked, this, &VYRQPropertyListImpl::selectClicked);
        break;
    case 10:
        row->spin = new VYRQSpinBox(row->container);
        row->spin->setGeometry(n, 0, width - n, rowHeight);
        connect(row->spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &VYRQPropertyListImpl::intChanged);
        break;
    default:
        break;
    }
    PropertyRow* built = row.get();
    pool[code].push_back(std::move(row));
    return built;
}

VYRQPropertyListImpl::PropertyRow* VYRQPropertyListImpl::rowFor(int code)
{
    const int width = q->width();
    const QRect place(0, rowHeight * rowsInUse.size(), width, rowHeight);
    PropertyRow* row = nullptr;
    for (const std::unique_ptr<PropertyRow>& pooled : pool[code]) {
        if (pooled->inUse == 0) {
            row = pooled.get();
            break;
        }
    }
    const bool reused = row != nullptr;
    if (!row)
        row = buildRow(code, width);
    row->inUse = 1;
    row->container->setGeometry(place);
    rowsInUse.append(row);
    if (reused) {
        row->container->show();
        row->container->raise();
    }
    return row;
}

void VYRQPropertyListImpl::addItem(const PropertyDef& def)
{
    const int code = rowCodeOf(def.kind);
    if (code >= 0) {
        PropertyRow* row = rowFor(code);
        row->container->show();
        if (row->name)
            row->name->setText(def.name);
        QObject* target = def.target;
        switch (code) {
        case 0:
            setDefinition(row->edit, nullptr);
            row->edit->setText(def.getText ? def.getText(target) : QString());
            setDefinition(row->edit, &def);
            break;
        case 2:
            row->value->setText(def.getText ? def.getText(target) : QString());
            break;
        case 3:
            setDefinition(row->check, nullptr);
            row->check->setChecked(def.getBool && def.getBool(target));
            setDefinition(row->check, &def);
            break;
        case 5: {
            setDefinition(row->button, nullptr);
            QString style;
            if (def.kind == PropertyDef::FillStyles && def.getFill)
                style = def.getFill(target, Normal).name;
            else if (def.kind == PropertyDef::TextStyles && def.getTextStyle)
                style = def.getTextStyle(target, Normal).name;
            row->value->setText(style);
            setDefinition(row->button, &def);
            break;
        }
        case 10:
            // Cleared before the range changes: a clamped value must not reach the
            // definition the row showed before.
            setDefinition(row->spin, nullptr);
            row->spin->setMinimum(def.minimum);
            row->spin->setMaximum(def.maximum);
            row->spin->setValue(def.getInt ? def.getInt(target) : 0);
            setDefinition(row->spin, &def);
            break;
        default:
            break;
        }
    }
    q->layout();
}

void VYRQPropertyListImpl::removeAll()
{
    for (PropertyRow* row : qAsConst(rowsInUse)) {
        row->inUse = 0;
        clearDefinitions(row);
        row->container->hide();
    }
    rowsInUse.clear();
}

void VYRQPropertyListImpl::textChanged(const QString& text)
{
    PropertyDef* def = definitionOf(sender());
    if (!def)
        return;
    if (def->setText)
        def->setText(def->target, text);
    q->updateValue(def);
}

void VYRQPropertyListImpl::boolChanged(bool on)
{
    PropertyDef* def = definitionOf(sender());
    if (!def)
        return;
    if (def->setBool)
        def->setBool(def->target, on);
    q->updateValue(def);
}

void VYRQPropertyListImpl::intChanged(int value)
{
    PropertyDef* def = definitionOf(sender());
    if (!def)
        return;
    if (def->setInt)
        def->setInt(def->target, value);
    q->updateValue(def);
}

void VYRQPropertyListImpl::selectClicked()
{
    if (PropertyDef* def = definitionOf(sender()))
        emit q->selectEvent(def);
}

// ---------------------------------------------------------------------------
// VYRQPropertyList

VYRQPropertyList::VYRQPropertyList(QWidget* parent)
    : VYRQScrollView(parent)
    , m_list(std::make_unique<VYRQPropertyListImpl>(this))
{
    m_list->finishConstruction(VYRQWidgetBaseImpl::ThemeDefaults::Apply);
}

VYRQPropertyList::~VYRQPropertyList()
{
    // The "impl" property names the list's own object, which goes first.
    setProperty("impl", QVariant::fromValue<void*>(VYRQScrollView::getControlImpl()));
}

QString VYRQPropertyList::getTypeName() const
{
    return QString::fromUtf8(typeName());
}

VYRQWidgetBaseImpl* VYRQPropertyList::getControlImpl()
{
    return m_list.get();
}

void VYRQPropertyList::addItem(const PropertyDef& def)
{
    m_list->addItem(def);
}

void VYRQPropertyList::removeAll()
{
    m_list->removeAll();
}

void VYRQPropertyList::updateValue(PropertyDef* def)
{
    emit valueChanged(def);
}

void VYRQPropertyList::layout()
{
    if (QWidget* content = m_list ? m_list->contentWidget() : nullptr)
        content->setFixedSize(width(), VYRQPropertyListImpl::rowHeight * m_list->rowsInUseCount());
}

void VYRQPropertyList::resizeEvent(QResizeEvent* event)
{
    if (QWidget* content = m_list ? m_list->contentWidget() : nullptr)
        content->setFixedSize(event->size().width(), VYRQPropertyListImpl::rowHeight * m_list->rowsInUseCount());
    VYRQScrollView::resizeEvent(event);
}

ControlInfo VYRQPropertyList::getProps()
{
    return vyr::makeControlInfo("qtproperty", "VYRQProperty", "Property", "Control Property", "property");
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQPropertyList.cpp"
#include "moc_VYRQPropertyListImpl.cpp"
