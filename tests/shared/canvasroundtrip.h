#pragma once

// The design canvas's promise for one page file: a page it opens comes back, saved
// unchanged, value for value as it was read (numbers as exact decimals, key order
// aside; a control's element may gain the keys the control writes), opens again and
// saves the same bytes; after a control is renamed, the save differs from the
// unchanged save by that name alone. A page it refuses says why, naming the file. Used by the canvas test over
// seeded random pages and by the canvas fuzz target.

#include "IVYRQWidgetBase.h"
#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "jsontextdiff.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <set>
#include <string>

namespace vyrtest {

// The keys a save adds to a page that lacks them: the header the frame writes, and
// the keys every control writes (README).
inline const std::set<std::string>& keysEveryControlWrites()
{
    static const std::set<std::string> keys{"w", "h", "minW", "minH", "drag", "dbheight", "theme", "attr"};
    return keys;
}

class WarningsNaming {
public:
    explicit WarningsNaming(const QString& needle)
    {
        text() = needle;
        count() = 0;
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtWarningMsg && message.contains(text()))
                ++count();
        });
    }
    ~WarningsNaming() { qInstallMessageHandler(m_previous); }
    WarningsNaming(const WarningsNaming&) = delete;
    WarningsNaming& operator=(const WarningsNaming&) = delete;
    static int& count()
    {
        static int n = 0;
        return n;
    }

private:
    static QString& text()
    {
        static QString t;
        return t;
    }
    QtMessageHandler m_previous;
};

inline QByteArray readWholeTestFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Empty when `page`, stored at `file`, keeps the promise; else what broke it. `rename`:
// the element name ("e3") whose control, when built, is renamed for the edit.
// `opened` tells whether the canvas took the page.
inline std::string canvasRoundTrip(VYRQCanvas& canvas, const QString& file, const std::string& page,
                                   const QString& rename, bool* opened = nullptr)
{
    const WarningsNaming warnings(file);
    canvas.closeAllWindows();
    const bool open = canvas.OpenJsonFile(file);
    if (opened)
        *opened = open;
    if (!open)
        return WarningsNaming::count() > 0 ? std::string() : "refused without a warning naming the file";
    if (!canvas.SavePage(file))
        return "opened, but not saved";
    const QByteArray saved = readWholeTestFile(file);
    std::string difference = jsonTextDifference(page, saved.toStdString(), {"*"});
    if (!difference.empty())
        return "saved unchanged: " + difference + "\nsaved: " + saved.toStdString();
    canvas.closeAllWindows();
    if (!canvas.OpenJsonFile(file) || !canvas.SavePage(file))
        return "saved, but not opened and saved again";
    if (readWholeTestFile(file) != saved)
        return "saved again, other bytes";

    QWidget* control = canvas.GetCurWindow()->findChild<QWidget*>(rename);
    if (!control || !dynamic_cast<IVYRQWidgetBase*>(control))
        return {};
    control->setObjectName(QStringLiteral("renamed"));
    if (!canvas.SavePage(file))
        return "renamed, but not saved";
    std::string expected = saved.toStdString();
    const std::string from = "\"name\" : \"" + rename.toStdString() + "\"";
    const std::size_t at = expected.find(from);
    if (at == std::string::npos)
        return "renamed " + rename.toStdString() + ", not found in the save";
    expected.replace(at, from.size(), "\"name\" : \"renamed\"");
    const QByteArray edited = readWholeTestFile(file);
    difference = jsonTextDifference(expected, edited.toStdString());
    if (!difference.empty())
        return "renamed " + rename.toStdString() + ": " + difference + "\nsaved: " + edited.toStdString();
    return {};
}

} // namespace vyrtest
