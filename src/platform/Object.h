#pragma once

#include <functional>

// The root of every object with identity (holder, history, threads, controls); senders of events
// are passed as TObject*.
class TObject {
 public:
  virtual ~TObject() = default;
};

// A change or notification event: a bound method that takes the sender. Unassigned when empty.
using TNotifyEvent = std::function<void(TObject* sender)>;
