#pragma once

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
void init();
void shutdown();
bool isStarted();
}

QStyle* vyrGetStyle();

// Registry
void vyrRegisterQtControl(const char* key, QWidget* (*create)(), ControlInfo info, bool flag);
void vyrRegisterDefaultControl(const char* key, QWidget* (*create)());
ControlInfo* vyrGetControlInfo(const QString& key);
QVector<ControlInfo*> vyrGetAllControlInfo();
void vyrBindControlCreateFunction(QWidget* (*fn)(const QString& name, const QString& typeKey));
void vyrInitQtControl();
bool vyrIsQtEmulator();

// Loaders
VYRQContainer* vyrCreatePageByFileName(QWidget* parent, QString name);
VYRQMenu* vyrCreateMenuByFileName(QWidget* parent, QString name);
QWidget* createElementFromJson(const Json::Value& element, QWidget* parent);
QWidget* createControlFromJson(const char* typeKey, const Json::Value& element, QWidget* parent);
QWidget* createControlByType(const char* typeKey, QWidget* parent);
QString jsonUtf8ToQString(const char* text);

// Mode flags
void vyrSetIsInDesigner(bool on);
bool vyrIsInDesigner();
void vyrEnableSerializeChild(bool on);
bool vyrIsSerializeChild();
void vyrEnableHighDpi(bool on);

// Forwarders
bool vyrLoadThemeDir(const char* path);
bool vyrLoadThemeFile(const char* path);
bool vyrNotifyThemeChange();
bool vyrLoadSkinFile(const QString& path, float scale);
bool vyrSetSkinFilePath(const QString& path, float scale);
bool vyrSetProjectFilePath(const QString& path);
bool vyrGetFillStyle(const QString& name, FillStyle& out);
bool vyrGetTextStyle(const QString& name, TextStyleDesc& out);
bool vyrGetProjectFillStyle(const QString& name, FillStyle& out);
bool vyrGetProjectTextStyle(const QString& name, TextStyleDesc& out);
void vyrSetFillStyle(const QString& name, FillStyle& style);
void vyrSetProjectFillStyle(const QString& name, FillStyle& style);
void vyrSetTextStyle(const QString& name, TextStyleDesc& style);
void vyrSetProjectTextStyle(const QString& name, TextStyleDesc& style);
const QVector<FillStyle>& vyrGetAllFillStyle();
const QVector<TextStyleDesc>& vyrGetAllTextStyle();
const VYRGlobalConfig& vyrGetGlobalConfig();
void vyrSetGlobalConfig(const VYRGlobalConfig& config);
QString vyrGetGlobalFontFamily();
void vyrSetGlobalFontFamily(const QString& family);
LanguageManager* vyrGetLanguageManager();
bool vyrLoadLanguageFile(const QString& path, QString* error);
bool vyrSetLanguage(const QString& language);
QString vyrGetLanguage();
QString vyrText(const QString& key, const QString& fallback = QString());
