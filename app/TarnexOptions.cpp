#include "TarnexOptions.h"

namespace {

// "WxH", case-insensitive; any other number of parts leaves the size alone, and a
// part that is not a number reads as 0 (the window's minimum raises it later).
void readSize(const QString& value, QSize& size)
{
    const QStringList parts = value.toLower().split(QChar('x'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (parts.size() != 2)
        return;
    const int width = parts.at(0).toInt(nullptr, 10);
    const int height = parts.at(1).toInt(nullptr, 10);
    size = QSize(qBound(0, width, TarnexOptions::kMaxSide), qBound(0, height, TarnexOptions::kMaxSide));
}

} // namespace

TarnexOptions TarnexOptions::fromArguments(const QStringList& arguments)
{
    TarnexOptions options;
    int i = 1;
    while (i < arguments.size()) {
        const QString& argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--size") && hasValue) {
            readSize(arguments.at(i + 1), options.size);
            i += 2;
        } else if (argument == QLatin1String("--page") && hasValue) {
            options.page = arguments.at(i + 1).compare(QLatin1String("plant"), Qt::CaseInsensitive) == 0 ? 1 : 0;
            i += 2;
        } else if (argument == QLatin1String("--drawer")) {
            options.drawer = true;
            ++i;
        } else if (argument == QLatin1String("--zh")) {
            options.chinese = true;
            ++i;
        } else if (argument == QLatin1String("--screenshot") && hasValue) {
            options.screenshotPath = arguments.at(i + 1);
            i += 2;
        } else {
            ++i;
        }
    }
    return options;
}
