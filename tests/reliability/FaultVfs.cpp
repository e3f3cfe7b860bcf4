#include "tests/reliability/FaultVfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace faultvfs {

namespace {

std::atomic<int> failAt{0};  // 0: disarmed
std::atomic<bool> persistentFailure{false};
std::atomic<bool> failReads{false};
std::atomic<int> writes{0};
std::atomic<int> failures{0};

sqlite3_vfs* base = nullptr;
sqlite3_vfs shim;

// The real file lives right after ours in the block SQLite allocates.
struct ShimFile {
  sqlite3_file file;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) {
  return reinterpret_cast<ShimFile*>(f)->real;
}

bool RefuseThis(bool read) {
  if (read != failReads.load()) return false;
  const int k = failAt.load();
  if (k == 0) return false;
  const int n = ++writes;
  if (n == k || (n > k && persistentFailure.load())) {
    ++failures;
    return true;
  }
  return false;
}

int Close(sqlite3_file* f) {
  return Real(f)->pMethods->xClose(Real(f));
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
  if (RefuseThis(true)) return SQLITE_IOERR_READ;
  return Real(f)->pMethods->xRead(Real(f), buffer, amount, offset);
}
int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
  if (RefuseThis(false)) return SQLITE_FULL;
  return Real(f)->pMethods->xWrite(Real(f), buffer, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) {
  return Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) {
  return Real(f)->pMethods->xUnlock(Real(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
  return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
  return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
  return Real(f)->pMethods->xSectorSize(Real(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
  return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
  return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
  Real(f)->pMethods->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
  return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
  return Real(f)->pMethods->xFetch(Real(f), offset, amount, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
  return Real(f)->pMethods->xUnfetch(Real(f), offset, page);
}

// One table per version the real file offers, so SQLite never calls what is missing.
sqlite3_io_methods methods[4];

const sqlite3_io_methods* MethodsFor(int version) {
  if (version < 1) version = 1;
  if (version > 3) version = 3;
  return &methods[version];
}

void BuildMethods() {
  for (int v = 1; v <= 3; ++v) {
    sqlite3_io_methods& m = methods[v];
    std::memset(&m, 0, sizeof m);
    m.iVersion = v;
    m.xClose = Close;
    m.xRead = Read;
    m.xWrite = Write;
    m.xTruncate = Truncate;
    m.xSync = Sync;
    m.xFileSize = FileSize;
    m.xLock = Lock;
    m.xUnlock = Unlock;
    m.xCheckReservedLock = CheckReservedLock;
    m.xFileControl = FileControl;
    m.xSectorSize = SectorSize;
    m.xDeviceCharacteristics = DeviceCharacteristics;
    if (v >= 2) {
      m.xShmMap = ShmMap;
      m.xShmLock = ShmLock;
      m.xShmBarrier = ShmBarrier;
      m.xShmUnmap = ShmUnmap;
    }
    if (v >= 3) {
      m.xFetch = Fetch;
      m.xUnfetch = Unfetch;
    }
  }
}

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  auto* shimFile = reinterpret_cast<ShimFile*>(f);
  shimFile->real = reinterpret_cast<sqlite3_file*>(shimFile + 1);
  shimFile->file.pMethods = nullptr;
  const int rc = base->xOpen(base, name, shimFile->real, flags, outFlags);
  // SQLite calls xClose only when pMethods is set; a failed open sets nothing.
  if (shimFile->real->pMethods != nullptr)
    shimFile->file.pMethods = MethodsFor(shimFile->real->pMethods->iVersion);
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  return base->xDelete(base, name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  return base->xAccess(base, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return base->xFullPathname(base, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
  return base->xDlOpen(base, name);
}
void DlError(sqlite3_vfs*, int size, char* out) {
  base->xDlError(base, size, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
  return base->xDlSym(base, handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
  base->xDlClose(base, handle);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
  return base->xRandomness(base, size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
  return base->xSleep(base, microseconds);
}
int CurrentTime(sqlite3_vfs*, double* out) {
  return base->xCurrentTime(base, out);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
  return base->xGetLastError ? base->xGetLastError(base, size, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
  return base->xCurrentTimeInt64(base, out);
}

}  // namespace

void Install() {
  static std::once_flag once;
  std::call_once(once, [] {
    sqlite3_initialize();
    base = sqlite3_vfs_find(nullptr);
    BuildMethods();
    std::memset(&shim, 0, sizeof shim);
    shim.iVersion = 2;
    shim.szOsFile = static_cast<int>(sizeof(ShimFile)) + base->szOsFile;
    shim.mxPathname = base->mxPathname;
    shim.zName = "quorvel-fault";
    shim.xOpen = Open;
    shim.xDelete = Delete;
    shim.xAccess = Access;
    shim.xFullPathname = FullPathname;
    shim.xDlOpen = DlOpen;
    shim.xDlError = DlError;
    shim.xDlSym = DlSym;
    shim.xDlClose = DlClose;
    shim.xRandomness = Randomness;
    shim.xSleep = Sleep;
    shim.xCurrentTime = CurrentTime;
    shim.xGetLastError = GetLastError;
    shim.xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(&shim, 1);
  });
}

void FailWrite(int k, bool persistent) {
  failReads = false;
  writes = 0;
  failures = 0;
  persistentFailure = persistent;
  failAt = k < 1 ? 1 : k;
}

void FailRead(int k, bool persistent) {
  FailWrite(k, persistent);
  failReads = true;
}

void Heal() {
  failAt = 0;
  writes = 0;
  failures = 0;
}

int Writes() {
  return writes.load();
}

int Failures() {
  return failures.load();
}

}  // namespace faultvfs
