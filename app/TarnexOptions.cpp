#include "TarnexOptions.h"

#include <QRegularExpression>

namespace {

// One side: a number past an int's range is cut like any other past the limit (not
// read as "no number"); anything else that is not a number reads as 0.
int readSide(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok)
        return qBound(0, value, TarnexOptions::kMaxSide);
    static const QRegularExpression digits(QStringLiteral("^\\s*([+-]?)[0-9]+\\s*$"));
    const QRegularExpressionMatch number = digits.match(text);
    return number.hasMatch() && number.captured(1) != QLatin1String("-") ? TarnexOptions::kMaxSide : 0;
}

// "WxH", case-insensitive; any other number of parts leaves the size alone, and a
// part that is not a number reads as 0 (the window's minimum raises it later).
void readSize(const QString& value, QSize& size)
{
    const QStringList parts = value.toLower().split(QChar('x'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (parts.size() != 2)
        return;
    size = QSize(readSide(parts.at(0)), readSide(parts.at(1)));
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
