#include "browse/key_hold.h"

#include <QTimer>

#include <utility>

TKeyHold::TKeyHold(QObject* parent, std::function<void()> notify)
    : QObject(parent), notify_(std::move(notify)), timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  QObject::connect(timer_, &QTimer::timeout, [this] { End(); });
}

void TKeyHold::Pressed(bool autoRepeat, uint64_t timestamp) {
  const bool pairsWithRelease = releasePending_ && timestamp == releaseTime_;
  repeating_ = autoRepeat || pairsWithRelease;
  releasePending_ = false;
  // The release was half of a repeat: the hold goes on.
  if (pairsWithRelease && held_) endAfter(kRepeatPauseMs);
}

void TKeyHold::Released(bool autoRepeat, uint64_t timestamp) {
  if (autoRepeat) return;
  repeating_ = false;
  releasePending_ = true;
  releaseTime_ = timestamp;
  if (held_) endAfter(kReleaseSettleMs);
}

void TKeyHold::HoldBack() {
  held_ = true;
  endAfter(kRepeatPauseMs);
}

void TKeyHold::End() {
  timer_->stop();
  repeating_ = false;
  releasePending_ = false;
  if (!held_) return;
  held_ = false;
  notify_();
}

void TKeyHold::Forget() {
  timer_->stop();
  held_ = false;
}

void TKeyHold::endAfter(int ms) { timer_->start(ms); }
