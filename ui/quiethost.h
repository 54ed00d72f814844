#pragma once

#include <atomic>
#include <cstdint>

#include "sekato/splithost.h"

namespace sekato::ui {

/// The host of a pass the window runs in the background (the look at a chosen source, the
/// rules' counts): it shows nothing, and stops the pass at its next report once `stop` is
/// raised.
class QuietHost final : public engine::SplitHost {
 public:
  explicit QuietHost(const std::atomic<bool>& stop) : m_stop(stop) {}
  bool Progress(std::int64_t, std::int64_t) override {
    return !m_stop.load(std::memory_order_relaxed);
  }

 private:
  const std::atomic<bool>& m_stop;
};

}  // namespace sekato::ui
