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
        } else if (argument == QLatin1String("--screenshot")) {
            options.screenshotPath = hasValue ? arguments.at(i + 1) : QString();
            if (options.screenshotPath.isEmpty())
                options.error = QStringLiteral("--screenshot needs the path of the PNG to write");
            i += 2;
        } else if (argument == QLatin1String("--help")) {
            options.help = true;
            ++i;
        } else {
            ++i;
        }
    }
    return options;
}

QString TarnexOptions::usage()
{
    return QStringLiteral(
               "Usage: tarnex [options]\n"
               "  --size WxH         window size, each side at least the window's minimum\n"
               "                     (1280x720) and at most %1: a screenshot of %1x%1\n"
               "                     needs about 1.2 GB of memory; an interactive window is\n"
               "                     held to the screen (maximised on a screen below the\n"
               "                     minimum), a screenshot keeps the size\n"
               "  --page plant       start on the plant page instead of the dashboard\n"
               "  --drawer           open the detail drawer of alarm ALM-203\n"
               "  --zh               Chinese texts\n"
               "  --screenshot PATH  write a PNG of the window to PATH and quit: exit code 0\n"
               "                     when saved, 2 when not (an old file is then kept,\n"
               "                     and anything at PATH that is not a regular file);\n"
               "                     an empty or missing PATH ends with exit code 2;\n"
               "                     a theme that cannot be loaded, or no OpenGL, is\n"
               "                     reported on standard error instead of in a message\n"
               "                     box (exit code 1), and so are charts that reach no\n"
               "                     screen, as on the offscreen platform (1, no PNG)\n"
               "  --help             print this text\n")
        .arg(kMaxSide);
}
