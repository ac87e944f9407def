#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QMargins>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>
#include <string>
#include <vector>

#include "VYRQStyleDefs.h"

class QObject;

// One designer property row of a control type.
struct VYRQTLIB_EXPORT PropertyDef {
    enum Kind : unsigned int {
        ObjectName = 0, Text = 1, TypeName = 2, Bool = 3, Separator = 4,
        FillStyles = 5, TextStyles = 6, IconPath = 9, Integer = 10, Size = 11,
        Margins = 12, Enumeration = 13, Color = 14
    };

    QString name;
    unsigned int kind = ObjectName;

    // Accessors of the row's value type. Records are static, so each accessor takes
    // the control it acts on; `target` names that control once a designer binds it.
    // Per-state rows take the state as their second argument.
    std::function<void(QObject*, const QString&)> setText;
    std::function<QString(QObject*)> getText;
    std::function<void(QObject*, bool)> setBool;
    std::function<bool(QObject*)> getBool;
    std::function<void(QObject*, int, const FillStyle&)> setFill;
    std::function<FillStyle(QObject*, int)> getFill;
    std::function<void(QObject*, int, const TextStyleDesc&)> setTextStyle;
    std::function<TextStyleDesc(QObject*, int)> getTextStyle;
    std::function<void(QObject*, int)> setInt;
    std::function<int(QObject*)> getInt;
    std::function<void(QObject*, const QSize&)> setSize;
    std::function<QSize(QObject*)> getSize;
    std::function<void(QObject*, const QMargins&)> setMargins;
    std::function<QMargins(QObject*)> getMargins;
    std::function<void(QObject*, const QColor&)> setColor;
    std::function<QColor(QObject*)> getColor;

    QObject* target = nullptr;
    QVector<int> optionValues;
    QVector<QString> optionLabels;
    bool flag1 = false;
    QString text;
    int minimum = -10000;
    int maximum = 10000;
    bool flag2 = true;
};

// The registry and designer record of one control type.
struct VYRQTLIB_EXPORT ControlInfo {
    int version = 1;
    std::string typeKey;
    std::string className;
    std::string displayName;
    std::string description;
    std::string category;
    std::vector<PropertyDef> rows;
};
