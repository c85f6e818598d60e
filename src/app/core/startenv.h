// What the program's environment says while it starts.
#pragma once

// A session with no message bus (a bare X session, a remote display): as the
// main window first shows, the windows' accessibility would have the bus
// library start one, a process forked and waited for that the start does not
// need. While this lives (or until end()), DBUS_SESSION_BUS_ADDRESS names no
// bus where it was unset; a session that has a bus is left as it is. After,
// the variable is unset again, so that programs started later (a browser, an
// editor) find the session as it was.
class NoBusWhileStarting {
 public:
  NoBusWhileStarting();
  ~NoBusWhileStarting() { end(); }
  NoBusWhileStarting(const NoBusWhileStarting&) = delete;
  NoBusWhileStarting& operator=(const NoBusWhileStarting&) = delete;
  void end();

 private:
  bool set_ = false;
};
