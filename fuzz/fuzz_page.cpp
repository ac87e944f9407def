// Builds control trees from arbitrary page bytes the way the page loader does, gives
// every item view a few rows, shows and paints the tree and each control's tooltip,
// writes each built control back as page text (which must read back as what was
// written), and tears the tree down again.

#include "FuzzApplication.h"
#include "IVYRQWidgetBase.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQJsonWriter_p.h"
#include "VYRQPageKeeping_p.h"
#include "VYRQToolTip.h"

#include <QAbstractItemView>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QStandardItemModel>
#include <QWidget>

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Three rows of two columns, the first row with a child, so that list, table and
// tree delegates all paint and size real rows.
void giveRows(QAbstractItemView* view)
{
    if (auto* list = qobject_cast<QListWidget*>(view)) {
        if (list->count() == 0)
            list->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        return;
    }
    if (view->model() && view->model()->rowCount() > 0)
        return;
    auto* model = new QStandardItemModel(view);
    for (int row = 0; row < 3; ++row) {
        QList<QStandardItem*> cells{new QStandardItem(QStringLiteral("row %1").arg(row)),
                                    new QStandardItem(QStringLiteral("%1").arg(row))};
        cells.first()->setCheckable(true);
        if (row == 0)
            cells.first()->appendRow(new QStandardItem(QStringLiteral("child")));
        model->appendRow(cells);
    }
    view->setModel(model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::startLibrary("fuzz_page");
    const char* begin = reinterpret_cast<const char*>(data);
    Json::Value root;
    if (!vyr::json::parse(begin, begin + size, root) || !vyr::pageWithinLimits(root))
        return 0;
    const Json::Value* elements = vyr::json::array(root, "elements");
    if (!elements)
        return 0;

    auto parent = std::make_unique<QWidget>();
    parent->resize(320, 240);
    QList<QPointer<QWidget>> built;
    // Built as the design canvas builds: each control then writes back, as read, the keys
    // of its element that it leaves out or writes otherwise.
    VYRQPageKeeping keeping(parent.get());
    for (Json::ArrayIndex i = 0; i < elements->size(); ++i) {
        QWidget* widget = createElementFromJson((*elements)[i], parent.get());
        if (!dynamic_cast<IVYRQWidgetBase*>(widget))
            continue;
        built.append(widget);
        if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            giveRows(view);
        for (QAbstractItemView* view : widget->findChildren<QAbstractItemView*>())
            giveRows(view);
    }
    Json::Value document;
    keeping.finish(
        [&built](Json::Value& page) {
            page = Json::Value(Json::arrayValue);
            for (const QPointer<QWidget>& widget : built) {
                if (auto* control = widget ? dynamic_cast<IVYRQWidgetBase*>(widget.data()) : nullptr)
                    control->serializeJsonValue(&page.append(Json::Value(Json::objectValue)), false);
            }
        },
        document);
    // Shown on the offscreen platform, so that layouts, item views and deferred
    // geometry run as they do on screen.
    parent->show();
    QCoreApplication::processEvents();
    for (const QPointer<QWidget>& widget : built) {
        auto* control = widget ? dynamic_cast<IVYRQWidgetBase*>(widget.data()) : nullptr;
        if (!control)
            continue;
        control->resizeWidget();
        Json::Value written(Json::objectValue);
        control->serializeJsonValue(&written, false);
        for (const auto layout : { VYRQJsonWriter::Layout::Styled, VYRQJsonWriter::Layout::Compact }) {
            std::string text;
            std::string again;
            Json::Value back;
            VYRQJsonWriter writer(layout, std::string::npos);
            if (!writer.write(written, text) || !vyr::json::parse(text.data(), text.data() + text.size(), back)
                || !writer.write(back, again) || again != text) {
                std::fprintf(stderr, "a control's page text does not read back as written\n");
                std::abort();
            }
        }
        // Paint code reads the same numbers: render into a small image (clipped, so a
        // huge control costs no memory).
        QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        widget->render(&painter);
        // Rich text in a tooltip is read and laid out as the tip is shown.
        VYRQToolTip::showText(QPoint(), widget->toolTip(), widget);
    }
    VYRQToolTip::hideText();
    // Layout passes and deferred deletions queued by the build run before the tree goes.
    QCoreApplication::processEvents();
    parent.reset();
    fuzz::turnEventLoop();
    return 0;
}
