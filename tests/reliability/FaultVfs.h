#pragma once

// An SQLite VFS over the platform's default one that can make writes fail as a full disk
// does. Installed as the default VFS, so every connection the process opens goes through
// it; it only interferes while armed.
namespace faultvfs {

// Registers the shim as the default VFS (once per process).
void Install();

// From now on the k-th write (1-based) fails with SQLITE_FULL; with persistent, every
// write after it fails too, until Heal.
void FailWrite(int k, bool persistent);
// The same for reads, which fail with SQLITE_IOERR_READ as a failing disk's do.
void FailRead(int k, bool persistent);
// Writes succeed again and the counters restart.
void Heal();

// Writes (or reads, after FailRead) seen since the last FailWrite, FailRead or Heal, and
// how many of them were refused.
int Writes();
int Failures();

// Heals on leaving scope, so an assertion cannot leave the disk "full" for the next test.
class ScopedFault {
 public:
  enum Kind { kWrite, kRead };
  ScopedFault(int k, bool persistent, Kind kind = kWrite) {
    kind == kWrite ? FailWrite(k, persistent) : FailRead(k, persistent);
  }
  ~ScopedFault() { Heal(); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace faultvfs
