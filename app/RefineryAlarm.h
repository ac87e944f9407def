#pragma once

#include <QString>

// One alarm of a snapshot.
struct RefineryAlarm {
    QString id;
    QString equipmentId;
    int severity = 0;       // 2 critical, 1 warning
    QString titleEn;
    QString titleZh;
    QString detailEn;
    QString detailZh;
    QString ageEn;
    QString ageZh;
    bool acknowledged = false;
};
