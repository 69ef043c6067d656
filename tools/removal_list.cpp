#include "removal_list.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

namespace {

// A slot is free, being filled by its owner, or holds a name the handler may remove.
enum : int { kFree = 0, kFilling = 1, kListed = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};

// Outputs are written one set at a time, each with a few files: 64 slots leave room for several
// sets at once (the window's saves beside a batch in tests).
std::array<Slot, 64> slots;

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveListed(int signal) {
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == kListed) ::unlink(slot.path);
  }
  // SA_RESETHAND restored the default action and SA_NODEFER lets it act at once.
  ::raise(signal);
}

void InstallHandlers() {
  for (const int signal : kSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemoveListed;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace

int ListForRemoval(const std::string& path) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandlers);
  if (path.size() >= PATH_MAX) return -1;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].state.store(kListed, std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void Unlist(int slot) {
  if (slot >= 0 && static_cast<std::size_t>(slot) < slots.size()) {
    slots[static_cast<std::size_t>(slot)].state.store(kFree, std::memory_order_release);
  }
}
