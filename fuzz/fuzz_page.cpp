// Builds control trees from arbitrary page bytes the way the page loader does,
// writes and paints each built control, and tears the tree down again.

#include "FuzzApplication.h"
#include "IVYRQWidgetBase.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <memory>

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
    for (Json::ArrayIndex i = 0; i < elements->size(); ++i) {
        QWidget* widget = createElementFromJson((*elements)[i], parent.get());
        auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
        if (!control)
            continue;
        control->resizeWidget();
        Json::Value written(Json::objectValue);
        control->serializeJsonValue(&written, false);
        // Paint code reads the same numbers: render into a small image (clipped, so a
        // huge control costs no memory).
        QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        widget->render(&painter);
    }
    // Layout passes and deferred deletions queued by the build run before the tree goes.
    QCoreApplication::processEvents();
    parent.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
