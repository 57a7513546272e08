#pragma once
// Waiting on a condition in a test: it is asked again after each pause until it holds or
// the time is up. The process's own events are handled in between, so a timer or a posted
// message the condition depends on gets its turn.

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <functional>

inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                      std::chrono::milliseconds pause = std::chrono::milliseconds(15)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(static_cast<unsigned long>(pause.count()));
  }
  return true;
}
