#pragma once
// An event filter that counts the events of one type its objects receive.

#include <QEvent>
#include <QObject>

class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == m_type;
        return false;
    }

private:
    QEvent::Type m_type;
};
