#include "RefinerySimulator.h"

#include <QDateTime>

#include <algorithm>

#include <cmath>

namespace {

struct AlarmRow {
    const char16_t* id;
    const char16_t* equipmentId;
    int severity;
    const char16_t* titleEn;
    const char16_t* titleZh;
    const char16_t* detailEn;
    const char16_t* detailZh;
    const char16_t* ageEn;
    const char16_t* ageZh;
};

const AlarmRow kAlarms[] = {
    {u"ALM-203", u"R-203", 2, u"High pressure in reactor R-203", u"反应器 R-203 压力过高",
     u"Risk of reactor trip or pressure relief activation", u"存在联锁停车或泄压风险", u"2 min ago", u"2 分钟前"},
    {u"ALM-102", u"F-102", 2, u"Furnace F-102 outlet temperature high", u"加热炉 F-102 出口温度过高",
     u"Tube skin temperature is above the operating envelope", u"炉管壁温度超出运行包络", u"4 min ago",
     u"4 分钟前"},
    {u"ALM-HX7", u"HX-7", 1, u"Temperature rise in heat exchanger HX-7", u"换热器 HX-7 温升异常",
     u"Reduced heat-transfer efficiency indicates fouling", u"换热效率下降\uFF0C可能存在结垢", u"6 min ago",
     u"6 分钟前"},
    {u"ALM-310", u"C-310", 1, u"Compressor C-310 vibration high", u"压缩机 C-310 振动偏高",
     u"Early indication of bearing or shaft imbalance", u"可能存在轴承或转子不平衡", u"9 min ago", u"9 分钟前"},
    {u"ALM-112", u"P-112", 1, u"Low flow in product pump P-112", u"产品泵 P-112 流量偏低",
     u"Possible cavitation or suction restriction", u"可能发生汽蚀或入口受限", u"13 min ago", u"13 分钟前"},
};

struct EquipmentRow {
    const char16_t* id;
    const char16_t* nameEn;
    const char16_t* nameZh;
    const char16_t* areaEn;
    const char16_t* areaZh;
    int kind;
    int status;
};

const EquipmentRow kEquipment[] = {
    {u"P-101", u"Crude Feed Pump", u"原油进料泵", u"Feed Unit", u"进料单元", 0, 0},
    {u"HX-7", u"Feed Heat Exchanger", u"进料换热器", u"Preheat Train", u"预热系统", 1, 1},
    {u"F-102", u"Charge Furnace", u"加热炉", u"Heating Unit", u"加热单元", 2, 2},
    {u"R-203", u"Hydrotreater Reactor", u"加氢反应器", u"Reaction Unit", u"反应单元", 3, 2},
    {u"V-205", u"High Pressure Separator", u"高压分离器", u"Separation Unit", u"分离单元", 4, 0},
    {u"C-310", u"Recycle Gas Compressor", u"循环气压缩机", u"Compression Unit", u"压缩单元", 5, 1},
    {u"T-401", u"Fractionation Column", u"精馏塔", u"Fractionation", u"分馏单元", 6, 0},
    {u"P-112", u"Product Transfer Pump", u"产品输送泵", u"Product Unit", u"产品单元", 0, 1},
    {u"TK-501", u"Diesel Product Tank", u"柴油产品罐", u"Tank Farm", u"罐区", 7, 0},
    {u"E-411", u"Column Condenser", u"塔顶冷凝器", u"Fractionation", u"分馏单元", 1, 0},
    {u"V-420", u"Reflux Drum", u"回流罐", u"Fractionation", u"分馏单元", 4, 0},
    {u"P-421", u"Reflux Pump", u"回流泵", u"Fractionation", u"分馏单元", 0, 0},
};

QString text(const char16_t* utf16)
{
    return QString::fromUtf16(utf16);
}

double r1(double x) { return RefinerySimulator::roundTo(x, 1); }
double r2(double x) { return RefinerySimulator::roundTo(x, 2); }

} // namespace

RefinerySimulator::RefinerySimulator(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<RefinerySnapshot>("RefinerySnapshot");
    buildEquipment();
    buildHistory();
    updateSnapshot(false);
    connect(&m_timer, &QTimer::timeout, this, &RefinerySimulator::advance);
}

RefinerySimulator::~RefinerySimulator()
{
    m_timer.stop();
}

double RefinerySimulator::roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return double(qRound64(value * scale)) / scale;
}

void RefinerySimulator::start(int intervalMs)
{
    m_timer.start(qMax(intervalMs, 50));
}

void RefinerySimulator::stop()
{
    m_timer.stop();
}

void RefinerySimulator::advance()
{
    ++m_tick;
    const bool roll = m_tick % 5 == 0;
    updateSnapshot(roll);
    emit snapshotChanged(m_snapshot);
    if (roll)
        emit historyChanged(m_snapshot);
}

bool RefinerySimulator::acknowledgeAlarm(const QString& requestedId)
{
    // A copy: the caller's text may live in a snapshot that the signals below replace.
    const QString alarmId = requestedId;
    if (alarmId.isEmpty() || m_acknowledgedIds.contains(alarmId))
        return false;
    const auto known = std::any_of(m_snapshot.alarms.cbegin(), m_snapshot.alarms.cend(),
                                   [&alarmId](const RefineryAlarm& alarm) { return alarm.id == alarmId; });
    if (!known)
        return false;
    m_acknowledgedIds.append(alarmId);
    rebuildAlarms();
    emit snapshotChanged(m_snapshot);
    emit alarmAcknowledged(alarmId);
    return true;
}

void RefinerySimulator::buildEquipment()
{
    m_equipment.clear();
    int index = 0;
    for (const EquipmentRow& row : kEquipment) {
        RefineryEquipment item;
        item.index = index++;
        item.id = text(row.id);
        item.nameEn = text(row.nameEn);
        item.nameZh = text(row.nameZh);
        item.areaEn = text(row.areaEn);
        item.areaZh = text(row.areaZh);
        item.kind = row.kind;
        item.status = row.status;
        m_equipment.append(item);
    }
}

void RefinerySimulator::buildHistory()
{
    RefinerySnapshot& s = m_snapshot;
    s.historyLabels.clear();
    s.reactorTemperatureHistory.clear();
    s.reactorTemperatureForecast.clear();
    s.reactorPressureHistory.clear();
    s.compressorVibrationHistory.clear();
    for (int hour = 0; hour < 24; ++hour) {
        const double u = hour;
        s.historyLabels.append(QStringLiteral("%1:00").arg(hour, 2, 10, QChar('0')));
        s.reactorTemperatureHistory.append(r1(202 + 13 * std::sin(0.55 * u) + 4 * std::sin(0.18 * u)));
        s.reactorTemperatureForecast.append(r1(204 + 11 * std::sin(0.53 * u + 0.4)));
        s.reactorPressureHistory.append(r2(6.2 + 0.8 * std::sin(0.47 * u + 0.7)));
        s.compressorVibrationHistory.append(r2(2.3 + 1.1 * std::abs(std::sin(0.39 * u))));
    }
}

void RefinerySimulator::updateSnapshot(bool rollHistory)
{
    RefinerySnapshot& s = m_snapshot;
    const double t = m_tick;
    s.tick = m_tick;
    s.shiftCode = QStringLiteral("B162");
    s.timeText = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    s.throughput = r1(468 + 14 * std::sin(0.035 * t));
    s.availability = r1(96.4 + 0.6 * std::sin(0.02 * t));
    s.energy = r1(38.7 + 2.4 * std::sin(0.026 * t));

    s.normalCount = 0;
    s.warningCount = 0;
    s.criticalCount = 0;
    s.equipment.clear();
    for (const RefineryEquipment& base : m_equipment) {
        RefineryEquipment item = base;
        const int i = item.index;
        const double sv = std::sin(0.08 * t + 0.63 * i);
        item.temperature = r1(58 + 8.7 * i + 5 * sv);
        item.pressure = r2(2.2 + 1.15 * (i % 5) + 0.3 * sv);
        item.flow = r1(118 + 37 * (i % 4) + 8 * sv);
        item.vibration = r2(1.4 + 0.9 * std::abs(sv));
        item.efficiency = r1(88 + 4 * sv);
        item.health = r1(92 - 3 * std::abs(sv));

        if (item.id == QLatin1String("R-203")) {
            item.temperature = r1(214 + 7 * sv);
            item.pressure = r2(8.6 + 0.45 * sv);
            item.health = 61.0;
        } else if (item.id == QLatin1String("F-102")) {
            item.temperature = r1(908 + 18 * sv);
            item.health = 58.0;
        } else if (item.id == QLatin1String("HX-7")) {
            item.temperature = r1(186 + 5 * sv);
            item.health = 76.0;
            item.efficiency = 72.0;
        } else if (item.id == QLatin1String("C-310")) {
            item.vibration = r2(5.2 + 1.3 * std::abs(sv));
            item.pressure = r2(6.8 + 0.25 * sv);
            item.health = 68.0;
        } else if (item.id == QLatin1String("P-112")) {
            item.flow = r1(42 + 3 * sv);
            item.health = 73.0;
        }

        switch (item.status) {
        case 0: ++s.normalCount; break;
        case 1: ++s.warningCount; break;
        case 2: ++s.criticalCount; break;
        default: break;
        }
        s.equipment.append(item);
    }

    if (rollHistory && !s.reactorTemperatureHistory.isEmpty()) {
        const double u = std::sin(0.15 * t);
        s.reactorTemperatureHistory.removeFirst();
        s.reactorTemperatureForecast.removeFirst();
        s.reactorPressureHistory.removeFirst();
        s.compressorVibrationHistory.removeFirst();
        s.reactorTemperatureHistory.append(r1(212 + 9 * u));
        s.reactorTemperatureForecast.append(r1(208 + 8 * std::sin(0.15 * t + 0.35)));
        s.reactorPressureHistory.append(r2(8.4 + 0.45 * u));
        s.compressorVibrationHistory.append(r2(5.1 + 1.2 * std::abs(u)));
    }

    rebuildAlarms();
}

void RefinerySimulator::rebuildAlarms()
{
    m_snapshot.alarms.clear();
    for (const AlarmRow& row : kAlarms) {
        RefineryAlarm alarm;
        alarm.id = text(row.id);
        alarm.equipmentId = text(row.equipmentId);
        alarm.severity = row.severity;
        alarm.titleEn = text(row.titleEn);
        alarm.titleZh = text(row.titleZh);
        alarm.detailEn = text(row.detailEn);
        alarm.detailZh = text(row.detailZh);
        alarm.ageEn = text(row.ageEn);
        alarm.ageZh = text(row.ageZh);
        alarm.acknowledged = m_acknowledgedIds.contains(alarm.id);
        m_snapshot.alarms.append(alarm);
    }
}

#include "moc_RefinerySimulator.cpp"
