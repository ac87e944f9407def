#pragma once

class QWidget;

// A library control whose class name is "VYRQContainer".
QWidget* createFakeContainer(QWidget* parent);
// How often forceResize() was invoked on it.
int fakeContainerRelayouts(const QWidget* container);
