#pragma once

#include "VYRQExport.h"

// The library's front door: start-up, the control registry, the page and menu
// loaders, the mode flags and the global forwarders to the resource manager and
// the language manager.

#include "ControlInfo.h"
#include "VYRQStyleDefs.h"
#include "VYRQTypes.h"

#include <QString>
#include <QVector>

namespace Json { class Value; }
class LanguageManager;
class QStyle;
class QWidget;
class VYRQContainer;
class VYRQMenu;

namespace VYRQtLib {
VYRQTLIB_EXPORT void init();
VYRQTLIB_EXPORT void shutdown();
VYRQTLIB_EXPORT bool isStarted();
}

VYRQTLIB_EXPORT QStyle* vyrGetStyle();

// Registry
VYRQTLIB_EXPORT void vyrRegisterQtControl(const char* key, QWidget* (*create)(), ControlInfo info, bool flag);
VYRQTLIB_EXPORT void vyrRegisterDefaultControl(const char* key, QWidget* (*create)());
VYRQTLIB_EXPORT ControlInfo* vyrGetControlInfo(const QString& key);
VYRQTLIB_EXPORT QVector<ControlInfo*> vyrGetAllControlInfo();
VYRQTLIB_EXPORT void vyrBindControlCreateFunction(QWidget* (*fn)(const QString& name, const QString& typeKey));
VYRQTLIB_EXPORT void vyrInitQtControl();
VYRQTLIB_EXPORT bool vyrIsQtEmulator();

// Loaders. A page whose "elements", or any one "child" list, holds more than 10,000
// entries gives null and builds nothing (Qt's painting recurses once per sibling and
// overflows the stack from about 28,000); so does a menu file of more than 10,000
// items, sub-menus included. Both are reported on vyr.core, as files that do not parse.
VYRQTLIB_EXPORT VYRQContainer* vyrCreatePageByFileName(QWidget* parent, QString name);
VYRQTLIB_EXPORT VYRQMenu* vyrCreateMenuByFileName(QWidget* parent, QString name);
VYRQTLIB_EXPORT QWidget* createElementFromJson(const Json::Value& element, QWidget* parent);
VYRQTLIB_EXPORT QWidget* createControlFromJson(const char* typeKey, const Json::Value& element, QWidget* parent);
VYRQTLIB_EXPORT QWidget* createControlByType(const char* typeKey, QWidget* parent);
VYRQTLIB_EXPORT QString jsonUtf8ToQString(const char* text);

// Mode flags
VYRQTLIB_EXPORT void vyrSetIsInDesigner(bool on);
VYRQTLIB_EXPORT bool vyrIsInDesigner();
VYRQTLIB_EXPORT void vyrEnableSerializeChild(bool on);
VYRQTLIB_EXPORT bool vyrIsSerializeChild();
VYRQTLIB_EXPORT void vyrEnableHighDpi(bool on);

// Forwarders
VYRQTLIB_EXPORT bool vyrLoadThemeDir(const char* path);
VYRQTLIB_EXPORT bool vyrLoadThemeFile(const char* path);
VYRQTLIB_EXPORT bool vyrNotifyThemeChange();
VYRQTLIB_EXPORT bool vyrLoadSkinFile(const QString& path, float scale);
VYRQTLIB_EXPORT bool vyrSetSkinFilePath(const QString& path, float scale);
VYRQTLIB_EXPORT bool vyrSetProjectFilePath(const QString& path);
VYRQTLIB_EXPORT bool vyrGetFillStyle(const QString& name, FillStyle& out);
VYRQTLIB_EXPORT bool vyrGetTextStyle(const QString& name, TextStyleDesc& out);
VYRQTLIB_EXPORT bool vyrGetProjectFillStyle(const QString& name, FillStyle& out);
VYRQTLIB_EXPORT bool vyrGetProjectTextStyle(const QString& name, TextStyleDesc& out);
VYRQTLIB_EXPORT void vyrSetFillStyle(const QString& name, FillStyle& style);
VYRQTLIB_EXPORT void vyrSetProjectFillStyle(const QString& name, FillStyle& style);
VYRQTLIB_EXPORT void vyrSetTextStyle(const QString& name, TextStyleDesc& style);
VYRQTLIB_EXPORT void vyrSetProjectTextStyle(const QString& name, TextStyleDesc& style);
VYRQTLIB_EXPORT const QVector<FillStyle>& vyrGetAllFillStyle();
VYRQTLIB_EXPORT const QVector<TextStyleDesc>& vyrGetAllTextStyle();
VYRQTLIB_EXPORT const VYRGlobalConfig& vyrGetGlobalConfig();
VYRQTLIB_EXPORT void vyrSetGlobalConfig(const VYRGlobalConfig& config);
VYRQTLIB_EXPORT QString vyrGetGlobalFontFamily();
VYRQTLIB_EXPORT void vyrSetGlobalFontFamily(const QString& family);
VYRQTLIB_EXPORT LanguageManager* vyrGetLanguageManager();
VYRQTLIB_EXPORT bool vyrLoadLanguageFile(const QString& path, QString* error);
VYRQTLIB_EXPORT bool vyrSetLanguage(const QString& language);
VYRQTLIB_EXPORT QString vyrGetLanguage();
VYRQTLIB_EXPORT QString vyrText(const QString& key, const QString& fallback = QString());
