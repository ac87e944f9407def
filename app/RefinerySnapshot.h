#pragma once

#include "RefineryAlarm.h"
#include "RefineryEquipment.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// One simulator sample; a value type handed from the simulator to its views.
struct RefinerySnapshot {
    int tick = 0;
    QString shiftCode;
    QString timeText;           // "HH:mm:ss", local wall clock
    double throughput = 0;      // t/h
    double availability = 0;    // %
    double energy = 0;          // MW
    int normalCount = 0;
    int warningCount = 0;
    int criticalCount = 0;
    QVector<RefineryEquipment> equipment;
    QVector<RefineryAlarm> alarms;
    QStringList historyLabels;
    QVector<double> reactorTemperatureHistory;
    QVector<double> reactorTemperatureForecast;
    QVector<double> reactorPressureHistory;
    QVector<double> compressorVibrationHistory;
};

Q_DECLARE_METATYPE(RefinerySnapshot)
