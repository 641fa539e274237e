#include "fs/host/interrupt.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "fs/host/host_files.h"

namespace vortena {
namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// The write end of the pipe through which the handler wakes the watching thread.
int wakeUp = -1;

// A signal handler may call little: it writes the signal's number into the pipe and returns.
// The clean-up takes locks (a copy thread may hold one), so it runs on a thread of its own.
// A handler, not the signals blocked in every thread for that thread's sigwait: a blocked
// signal stays blocked across exec, in the browser the window opens an album with.
extern "C" void onInterrupt(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  // The pipe does not block: a flood of signals that fills it loses nothing that matters.
  if (::write(wakeUp, &number, 1) != 1) {
  }
  errno = saved;
}

// Waits for the first signal, removes the pending files and ends the process by that signal.
void watch(int pipe) {
  unsigned char number = 0;
  for (;;) {
    const ssize_t n = ::read(pipe, &number, 1);
    if (n == 1) break;
    if (n < 0 && errno == EINTR) continue;
    return;
  }
  removePendingFiles();
  const int signal = number;
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  // Ended by the signal itself, the process is seen by its parent as the signal ended it.
  ::raise(signal);
  ::_exit(128 + signal);
}

}  // namespace

void removePendingFilesOnInterrupt() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  if (::fcntl(ends[1], F_SETFL, O_NONBLOCK) != 0) {
    ::close(ends[0]);
    ::close(ends[1]);
    return;
  }
  wakeUp = ends[1];
  std::thread(watch, ends[0]).detach();
  for (int signal : kInterrupts) {
    struct sigaction now {};
    if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Calls under way go on after the handler, as they would without it.
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace vortena
