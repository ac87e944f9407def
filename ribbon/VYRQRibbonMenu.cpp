#include "VYRQRibbonMenu.h"
#include "VYRQMenuImpl.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>

VYRQRibbonMenu::VYRQRibbonMenu(QWidget* parent)
    : VYRQMenu(parent)
{
}

VYRQRibbonMenu::VYRQRibbonMenu(const QString& title, QWidget* parent)
    : VYRQMenu(title, parent)
{
}

VYRQRibbonMenu::~VYRQRibbonMenu() = default;

QAction* VYRQRibbonMenu::addCommand(const QString& commandId, const QString& text, const QString& iconPath,
                                    bool checkable)
{
    QAction* action = iconPath.isEmpty() ? QMenu::addAction(text) : addIconAction(iconPath, text);
    action->setObjectName(commandId);
    action->setCheckable(checkable);
    action->setProperty("vyrRibbonIconPath", iconPath);
    return action;
}

void VYRQRibbonMenu::paintEvent(QPaintEvent* event)
{
    VYRQMenu::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen tick(QColor(62, 111, 210), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const QList<QAction*> items = actions();
    for (QAction* action : items) {
        const QRect r = actionGeometry(action);
        // Hidden actions and collapsed separators have no place in the menu.
        if (r.isEmpty())
            continue;
        const int cy = r.center().y();
        if (action->isSeparator()) {
            painter.setPen(QColor(190, 197, 207));
            painter.drawLine(QPoint(r.left() + 8, cy), QPoint(r.right() - 8, cy));
        } else if (action->isCheckable() && action->isChecked()) {
            QPainterPath path;
            path.moveTo(r.left() + 5, cy);
            path.lineTo(r.left() + 9, cy + 4);
            path.lineTo(r.left() + 15, cy - 5);
            painter.setPen(tick);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
    }
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonMenu.cpp"
