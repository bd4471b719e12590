// The log file writer and its background thread.
//
// A tQV_LogWriter owns one log file name and one tQV_LogThread. Write only
// formats a line and queues it; the thread appends the queued lines to the
// file in the order they were written, opening and closing the file for
// every line so that viewers and operators can read or move the log at any
// time. A line that cannot be written (file locked by another writer,
// directory missing, disk full) is tried 10 times 50 ms apart and then
// dropped without a report: a log must never stop the payment it records.
//
// Owns: the file name, the thread and its queue. Nothing is open between
// lines.
//
// Throws: the constructor and SetDirectory raise qError "Invalid characters in
// path"; Write raises qError "Log filename is empty " on a writer without a
// file name. Nothing else throws; disk errors are never reported.
//
// Threads: the owner's thread (the host's) calls everything public: Write,
// the properties, DrainAndAbandon, WriteQueuedFromCaller and the destructor,
// one call at a time. The log thread calls WriteToLogfile only. The queue is
// the one structure both change; the file name, which the owner may move with
// SetDirectory, is read by the log thread under its own lock.
//
// Lifetime: destroying a writer writes every line queued before and then
// joins the thread. That join must not happen while the loader lock is held
// (library unload on Windows); the unload code calls DrainAndAbandon (the
// thread is alive) or WriteQueuedFromCaller (process exit: the thread is
// gone) first, after which the destructor neither joins nor locks.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "log/message_type.h"

namespace qv {

class tQV_LogWriter;

// The background thread of one writer and the queue it drains. Shared
// between the writer and the running thread, so that a thread told to park
// may outlive the writer without ever pointing at freed memory.
class tQV_LogThread {
 public:
  tQV_LogThread() = default;
  ~tQV_LogThread();
  tQV_LogThread(const tQV_LogThread&) = delete;
  tQV_LogThread& operator=(const tQV_LogThread&) = delete;

  // Starts the thread that runs Execute and waits until it runs; aSelf is
  // this object, held by the thread for as long as it runs. Never to be
  // called under the Windows loader lock.
  static void Start(const std::shared_ptr<tQV_LogThread>& aSelf);

  tQV_LogWriter* Writer() const { return fWriter; }
  void SetWriter(tQV_LogWriter* aWriter) { fWriter = aWriter; }

  void Push(std::u16string aLine);
  // Lets the thread write what is queued, then ends and joins it.
  void StopAndJoin();
  // Lets the thread write what is queued, then parks it and lets it go.
  void DrainAndPark();
  // Writes what is still queued from the calling thread, without the lock.
  void WriteQueuedWithoutLock();
  // Ends the thread at once, leaving the queue as it is.
  void Vanish();

  uint64_t WakeUps() const { return fWakeUps.load(std::memory_order_relaxed); }

 private:
  enum tState { ts_Running, ts_Stopping, ts_Parking, ts_Vanishing };

  void Execute();
  // Sets aState, wakes the thread and waits for it to end.
  void EndAndJoin(tState aState);

  // Lines waiting for the thread, oldest first.
  std::deque<std::u16string> fQueue;
  // The lines the thread took from the queue at once and is writing, and
  // how many of them are written. Only the thread touches them while it
  // runs; once it is gone (process exit) the owner writes what is left.
  std::deque<std::u16string> fBatch;
  size_t fBatchDone = 0;
  // Set by Vanish: the thread stops even in the middle of a batch.
  std::atomic<bool> fVanishing{false};
  tQV_LogWriter* fWriter = nullptr;  // not owned

  std::mutex fLock;                   // guards everything below but fThread
  std::condition_variable fWake;      // the thread waits here for work
  std::condition_variable fIdle;      // the owner waits here for the thread
  tState fState = ts_Running;
  bool fStarted = false;              // Execute has begun
  bool fParked = false;               // Execute will never touch us again
  std::atomic<uint64_t> fWakeUps{0};  // returns from fWake.wait, for measuring

  std::thread fThread;
};

class tQV_LogWriter {
 public:
  // aFileName is the base name: the file is aFileName + "_yyyymmdd.log"
  // (the date of today) for a daily writer, else aFileName + ".log", in
  // aDirectory, which is created with missing parents (a failure shows only
  // as lines being dropped). An empty base name makes a writer without a file
  // name, on which Write fails. aMaxMessageLength > 0 cuts longer messages.
  tQV_LogWriter(std::u16string_view aFileName, std::u16string_view aDirectory,
                int aMaxMessageLength, bool aDaily);
  ~tQV_LogWriter();
  tQV_LogWriter(const tQV_LogWriter&) = delete;
  tQV_LogWriter& operator=(const tQV_LogWriter&) = delete;

  // Queues one line stamped with the current local time. Never waits for
  // the disk.
  void Write(tQV_MessageType aEntryType, std::u16string_view aMessage);

  std::u16string Directory() const;
  // Moves the file name into aDirectory and creates it; lines already
  // queued go to the new file.
  void SetDirectory(std::u16string_view aDirectory);
  int MaxMessageLength() const { return fMaxMessageLength; }
  std::u16string FileName() const;
  bool Daily() const { return fDaily; }
  // Size limit in KiB past which the file is set aside for a fresh one.
  int MaxLogFileSize() const { return fMaxLogfileSize.load(std::memory_order_relaxed); }
  void SetMaxLogFileSize(int aKiB) { fMaxLogfileSize.store(aKiB, std::memory_order_relaxed); }

  // Size of the current file in bytes, -1 when it cannot be read.
  int64_t GetLogFileSize() const;
  // Whether the next line is one before which the size is checked.
  bool CheckLogfileSize() const { return fCounter % kSizeCheckInterval == 0; }
  // The log thread's step for one line: roll-over check, then the append
  // with its retries.
  void WriteToLogfile(const std::u16string& aLine);

  // For library unload by FreeLibrary, while the loader lock is held: waits
  // (without joining) until the thread has written every queued line, parks
  // the thread for good and lets it go. Later Writes are written at once by
  // the calling thread; the destructor then neither joins nor waits.
  void DrainAndAbandon();
  // For process exit, when the log thread is already gone and may have died
  // holding the queue's lock: writes the queued lines from the calling
  // thread without taking that lock, and leaves the thread object behind
  // untouched. Later Writes are written at once; the destructor then neither
  // joins nor locks.
  void WriteQueuedFromCaller();

  // Lines given up after all their attempts, since creation.
  uint64_t DroppedLines() const { return fDropped.load(std::memory_order_relaxed); }
  // How often the log thread woke from waiting for work; an idle writer
  // must not wake at all.
  uint64_t ThreadWakeUps() const;
  // For tests of WriteQueuedFromCaller: ends the log thread at once without
  // writing, as the end of the process would. Lines written afterwards stay
  // queued.
  void StopThreadWithoutWriting();

 private:
  static constexpr int kSizeCheckInterval = 20;
  static constexpr int kAppendAttempts = 10;
  static constexpr int kRetryDelayMs = 50;

  std::u16string CurrentFileName() const;

  std::u16string fDirectory;            // guarded by fNameLock
  int fMaxMessageLength;
  std::u16string fFileName;             // guarded by fNameLock
  bool fDaily;
  std::atomic<int> fMaxLogfileSize{5000};
  // Lines handled by the log thread, modulo kSizeCheckInterval. The size is
  // read before the first line and every 20th after it rather than before
  // every line: one stat per line would cost the thread about as much as the
  // append itself, and the file can overshoot the limit by at most 19 lines.
  // Only the thread (or, once it is gone, the caller) touches it.
  int fCounter = 0;
  std::shared_ptr<tQV_LogThread> fThread;
  // The thread is started by the first Write; only the owner's thread reads
  // or sets this.
  bool fThreadStarted = false;

  mutable std::mutex fNameLock;
  // Bumped by SetDirectory, so that the log thread copies the name under
  // fNameLock only when it has changed rather than for every line.
  std::atomic<uint64_t> fNameVersion{0};
  std::u16string fThreadName;      // the log thread's copy of fFileName
  uint64_t fThreadNameVersion = ~uint64_t(0);
  // Set once the thread is parked or gone: lines are written by the caller
  // and no lock a dead thread may hold is taken any more.
  std::atomic<bool> fCallerMode{false};
  std::atomic<uint64_t> fDropped{0};
};

}  // namespace qv
