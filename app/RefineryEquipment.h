#pragma once

#include <QString>

// One piece of plant equipment as the simulator reports it.
struct RefineryEquipment {
    int index = 0;          // row in the equipment table
    QString id;             // tag, "P-101" ...
    QString nameEn;
    QString nameZh;
    QString areaEn;
    QString areaZh;
    int kind = 0;           // 0 pump, 1 exchanger/condenser, 2 furnace, 3 reactor,
                            // 4 separator/drum, 5 compressor, 6 column, 7 tank
    int status = 0;         // 0 normal, 1 warning, 2 critical, 3 offline
    double temperature = 0; // C
    double pressure = 0;    // bar
    double flow = 0;        // m3/h
    double vibration = 0;   // mm/s
    double health = 0;      // %
    double efficiency = 0;  // %
};
