#pragma once

// Library-internal; not installed.

class QWidget;

namespace vyr {

// What a theme or language change does to one widget. The control base sets them (it
// knows the controls; the resources sit below it): the resource manager walks the
// windows and hands each widget over. Null does nothing.
struct WidgetNotices {
    void (*themeChanged)(QWidget*) = nullptr;
    void (*languageChanged)(QWidget*) = nullptr;
};
WidgetNotices& widgetNotices();

} // namespace vyr
