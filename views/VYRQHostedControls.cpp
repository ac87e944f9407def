#include "VYRQHostedControls.h"

#include "IVYRQWidgetBase.h"

#include <QWidget>

namespace {

void collectInto(QWidget* widget, QVector<VYRQHostedControls::Control>& out)
{
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    VYRQWidgetBaseImpl* impl = control ? control->getControlImpl() : nullptr;
    if (!impl)
        return;
    out.append({widget, impl});
    for (QObject* child : widget->children()) {
        if (child->isWidgetType())
            collectInto(static_cast<QWidget*>(child), out);
    }
}

} // namespace

QVector<VYRQHostedControls::Control> VYRQHostedControls::collect(QWidget* root)
{
    QVector<Control> out;
    if (root)
        collectInto(root, out);
    return out;
}

QRect VYRQHostedControls::rectIn(const QWidget* widget, const QWidget* root)
{
    QRect rect = widget->geometry();
    for (const QWidget* p = widget->parentWidget(); p && p != root; p = p->parentWidget())
        rect.translate(p->pos());
    return rect;
}
