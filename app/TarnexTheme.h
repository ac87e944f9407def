#pragma once

#include <QString>
#include <QStringList>

// The monitor's part of its theme: the library loads a theme folder whose theme.json is
// missing or unusable (it is no failure there), but the window takes its looks, the
// ground and the alarm colours among them, from the theme elements theme.json gives.
namespace tarnex {

// The theme names the window selects.
const QStringList& windowThemeNames();

// Why the loaded theme cannot give the window its looks: theme.json in `folder` with
// the cause (missing, unreadable, not JSON, or without any of windowThemeNames());
// empty when the theme gives at least one of them. Names a theme leaves out are only
// logged: the controls that select them keep the looks they have.
QString themeElementsFault(const QString& folder);

// Why the library could not load the theme folder: the folder that is no folder, or
// its style.json with the cause (missing, unreadable, empty, not JSON, without a
// "style" array). Empty when the folder does not exist at all: the message that
// names it says enough.
QString themeFolderFault(const QString& folder);

} // namespace tarnex
