#pragma once
// Holds back the notification of a selection that a held key's repeat changed, until
// the key is let go or its repeat pauses: a repeat comes faster than a large picture
// loads and paints, so only the item the key stops on is notified.
//
// X reports each repeat as a release and a press with one time stamp, and Qt does not
// always pair them up as a repeat; so a release waits a moment for a press of the same
// time stamp before it counts as the key's end.

#include <QObject>

#include <cstdint>
#include <functional>

class QTimer;

// Owned by its parent, as its timer is.
class TKeyHold : public QObject {
 public:
  // A repeat that pauses this long counts as ended, should its release never come.
  static constexpr int kRepeatPauseMs = 300;
  // How long a release waits for the press that would make it half of a repeat.
  static constexpr int kReleaseSettleMs = 60;

  // notify is called for a held-back change once the hold ends.
  TKeyHold(QObject* parent, std::function<void()> notify);

  void Pressed(bool autoRepeat, uint64_t timestamp);
  void Released(bool autoRepeat, uint64_t timestamp);
  // Whether the key press being handled is a repeat of a held key.
  bool Repeating() const { return repeating_; }
  // A change made by a repeat: its notification waits for the hold's end.
  void HoldBack();
  // Ends the hold now (a click, the focus lost), notifying a change held back.
  void End();
  // Forgets a change held back (its selection is gone).
  void Forget();

 private:
  void endAfter(int ms);

  std::function<void()> notify_;
  QTimer* timer_;
  bool repeating_ = false;
  bool held_ = false;
  bool releasePending_ = false;
  uint64_t releaseTime_ = 0;
};
