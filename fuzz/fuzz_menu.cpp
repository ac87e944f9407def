// Builds popup menus from arbitrary menu-file bytes the way the menu loader does,
// lays each one out and paints it, and tears it down again.

#include "FuzzApplication.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQMenu.h"

#include <QImage>

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::startLibrary("fuzz_menu");
    const char* begin = reinterpret_cast<const char*>(data);
    Json::Value root;
    if (!vyr::json::parse(begin, begin + size, root) || !vyr::menuWithinLimits(root))
        return 0;

    auto menu = std::make_unique<VYRQMenu>(nullptr);
    menu->readJsonValue(&root);
    menu->setIconOffset(20);
    menu->resize(menu->QMenu::sizeHint().boundedTo(QSize(1024, 1024)));
    QImage image(menu->size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    menu->render(&image);
    Json::Value written(Json::objectValue);
    menu->serializeJsonValue(&written, false);
    menu.reset();
    fuzz::turnEventLoop();
    return 0;
}
