// The progress line of a listing whose report goes to a file while
// standard output is a console: how many users are listed so far (and how
// many elements were looked at, when filters skip some) and how long the
// walk has run. It shows once the walk has run for a second, changes at
// most four times a second, fits the room the console gives it, and is
// erased before any other console text (the console's transient line,
// util/console.h, leaves no trace of it).
#ifndef TARVEK_APP_WALK_PROGRESS_H_
#define TARVEK_APP_WALK_PROGRESS_H_

#include <stddef.h>
#include <stdint.h>

namespace tarvek {

class WalkProgress {
 public:
  /// Where the line goes (the transient line of util/console.h on the
  /// program's console).
  class Console {
   public:
    virtual ~Console() = default;
    /// The most characters the line may have now; 0: it can't show now.
    virtual size_t room() = 0;
    /// Shows `size` characters in place of the line's. False when the
    /// console takes no more (the run is ending).
    virtual bool show(const char* text, size_t size) = 0;
    /// Erases the line, if shown.
    virtual void erase() = 0;
  };
  /// Milliseconds of a clock that never goes back.
  using Clock = uint64_t (*)();

  /// The walk starts now. With a null `console` nothing is ever shown and
  /// the clock is never read. `lookedAt`: the line tells the elements
  /// looked at too.
  WalkProgress(Console* console, Clock clock, bool lookedAt);
  WalkProgress(const WalkProgress&) = delete;
  WalkProgress& operator=(const WalkProgress&) = delete;

  /// An element is looked at; `listed` users are listed so far. The clock
  /// is read once every kStride elements.
  void element(int listed) {
    ++elements_;
    if (--countdown_ == 0) elementsCounted(listed);
  }

  /// A call to the server (a user load) has returned: the clock is read,
  /// a small cost beside a call's.
  void serverCall(int listed) {
    if (console_ != nullptr) update(listed, clock_());
  }

  /// Erases the line, if shown, before other console text; it shows again
  /// at the next change.
  void erase();

  /// The line's text for `listed` users and `elements` looked at after
  /// `milliseconds`, at most `room` characters (0 when nothing fits).
  static size_t format(int listed, uint64_t elements, bool lookedAt,
                       uint64_t milliseconds, char* text, size_t room);

  /// Elements between two readings of the clock.
  static constexpr uint32_t kStride = 1024;
  /// The walk's age at which the line first shows.
  static constexpr uint64_t kFirstShow = 1000;
  /// The least time between two changes of the line.
  static constexpr uint64_t kInterval = 250;
  /// The longest line.
  static constexpr size_t kRoom = 96;

 private:
  void elementsCounted(int listed);
  void update(int listed, uint64_t now);

  Console* console_;
  Clock clock_;
  bool lookedAt_;
  uint64_t start_ = 0;
  uint64_t lastShow_ = 0;
  uint64_t elements_ = 0;
  uint32_t countdown_;
};

/// The milliseconds of the system's monotonic clock.
uint64_t monotonicMilliseconds();

}  // namespace tarvek

#endif  // TARVEK_APP_WALK_PROGRESS_H_
