#pragma once

#include "RefinerySnapshot.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVector>

// The monitor's only data source: a fixed table of twelve pieces of equipment whose
// readings, key figures and trend history are deterministic functions of a tick
// counter. Each tick (timer or advance() by hand) computes a new snapshot; alarms
// are fixed and only their acknowledgement changes.
class RefinerySimulator : public QObject {
    Q_OBJECT
public:
    explicit RefinerySimulator(QObject* parent = nullptr);
    ~RefinerySimulator() override;

    const RefinerySnapshot& snapshot() const { return m_snapshot; }
    int interval() const { return m_timer.interval(); }
    bool isRunning() const { return m_timer.isActive(); }

    Q_INVOKABLE bool acknowledgeAlarm(const QString& alarmId);

    // The nearest value with n decimals, halves rounded upward.
    static double roundTo(double value, int decimals);

public Q_SLOTS:
    void start(int intervalMs = 1000);
    void stop();
    void advance();

Q_SIGNALS:
    void snapshotChanged(const RefinerySnapshot& snapshot);
    void historyChanged(const RefinerySnapshot& snapshot);
    void alarmAcknowledged(const QString& alarmId);

private:
    void buildEquipment();
    void buildHistory();
    void updateSnapshot(bool rollHistory);
    void rebuildAlarms();

    QTimer m_timer;
    QVector<RefineryEquipment> m_equipment;
    RefinerySnapshot m_snapshot;
    QStringList m_acknowledgedIds;
    int m_tick = 0;
};
