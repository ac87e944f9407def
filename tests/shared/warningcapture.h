#pragma once
// Collects the warnings logged while it lives: QTest::ignoreMessage cannot tell that a
// message did not come twice.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>

struct WarningCapture {
    WarningCapture()
    {
        messages().clear();
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtWarningMsg)
                messages() << message;
        });
    }
    ~WarningCapture() { qInstallMessageHandler(previous); }
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;

    static QStringList& messages()
    {
        static QStringList list;
        return list;
    }
    // The warnings whose text holds `needle`.
    static int count(const QString& needle)
    {
        return int(std::count_if(messages().cbegin(), messages().cend(),
                                 [&](const QString& message) { return message.contains(needle); }));
    }

    QtMessageHandler previous = nullptr;
};
