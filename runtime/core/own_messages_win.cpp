// The records of the requests and callback timers of this process's windows.
#include "runtime/core/own_messages_win.h"

#include <algorithm>
#include <vector>

namespace runtime {
namespace {

struct Request {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Request&) const = default;
};

struct Timer {
  HWND window;
  UINT_PTR id;
  TIMERPROC callback;
};

// The window thread takes and the repair worker may post, so every access holds the lock.
class Records {
 public:
  Records() { InitializeCriticalSection(&lock_); }
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;

  class Held {
   public:
    explicit Held(Records& records) : records_(records) { EnterCriticalSection(&records_.lock_); }
    ~Held() { LeaveCriticalSection(&records_.lock_); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

   private:
    Records& records_;
  };

  std::vector<Request> requests;
  std::vector<Timer> timers;

 private:
  CRITICAL_SECTION lock_;
};

Records& TheRecords() {
  static Records records;
  return records;
}

void AddRequest(const Request& request) {
  Records& records = TheRecords();
  Records::Held held(records);
  records.requests.push_back(request);
}

bool RemoveRequest(const Request& request) {
  Records& records = TheRecords();
  Records::Held held(records);
  auto found = std::find(records.requests.begin(), records.requests.end(), request);
  if (found == records.requests.end()) return false;
  records.requests.erase(found);
  return true;
}

bool OwnWindow(HWND window) {
  DWORD process = 0;
  return window && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

}  // namespace

bool PostOwnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const Request request{window, message, wParam, lParam};
  AddRequest(request);
  if (PostMessageA(window, message, wParam, lParam)) return true;
  RemoveRequest(request);
  return false;
}

LRESULT SendOwnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const Request request{window, message, wParam, lParam};
  AddRequest(request);
  const LRESULT result = SendMessageA(window, message, wParam, lParam);
  RemoveRequest(request);  // left there when the window was gone or ignored it
  return result;
}

bool TakeOwnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RemoveRequest(Request{window, message, wParam, lParam});
}

UINT_PTR SetCallbackTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback) {
  if ((window && !OwnWindow(window)) || !callback) return 0;
  const UINT_PTR set = SetTimer(window, id, milliseconds, callback);
  if (!set) return 0;
  // A window's timer keeps its id; a thread's timer gets a new one.
  const UINT_PTR inUse = window ? id : set;
  Records& records = TheRecords();
  Records::Held held(records);
  std::erase_if(records.timers, [&](const Timer& t) { return t.window == window && t.id == inUse; });
  records.timers.push_back(Timer{window, inUse, callback});
  return inUse;
}

bool KillCallbackTimer(HWND window, UINT_PTR id) {
  {
    Records& records = TheRecords();
    Records::Held held(records);
    std::erase_if(records.timers, [&](const Timer& t) { return t.window == window && t.id == id; });
  }
  return KillTimer(window, id) != FALSE;
}

TIMERPROC OwnCallbackTimer(HWND window, UINT_PTR id) {
  Records& records = TheRecords();
  Records::Held held(records);
  for (const Timer& timer : records.timers) {
    if (timer.window == window && timer.id == id) return timer.callback;
  }
  return nullptr;
}

void ForgetOwnMessages(HWND window) {
  Records& records = TheRecords();
  Records::Held held(records);
  std::erase_if(records.requests, [&](const Request& r) { return r.window == window; });
  std::erase_if(records.timers, [&](const Timer& t) { return t.window == window; });
}

}  // namespace runtime
