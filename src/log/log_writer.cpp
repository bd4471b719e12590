#include "log/log_writer.h"

#include <chrono>
#include <utility>
#include <vector>

#include "core/date_time.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "platform/thread_park.h"

namespace qv {

namespace {

void AppendDate(std::u16string& aOut, const DateTimeParts& aTime) {
  AppendPadded(aOut, aTime.fYear, 4);
  AppendPadded(aOut, aTime.fMonth, 2);
  AppendPadded(aOut, aTime.fDay, 2);
}

// "yyyy-mm-dd hh:mm:ss:zzz"
void AppendTimeStamp(std::u16string& aOut, const DateTimeParts& aTime) {
  // "yyyy-mm-dd hh:mm:ss:zzz", written in place: this runs for every line on
  // the caller's thread.
  char16_t stamp[23];
  auto put = [&stamp](int aAt, int aValue, int aWidth) {
    for (int i = aAt + aWidth - 1; i >= aAt; --i, aValue /= 10) stamp[i] = static_cast<char16_t>(u'0' + aValue % 10);
  };
  put(0, aTime.fYear, 4);
  stamp[4] = u'-';
  put(5, aTime.fMonth, 2);
  stamp[7] = u'-';
  put(8, aTime.fDay, 2);
  stamp[10] = u' ';
  put(11, aTime.fHour, 2);
  stamp[13] = u':';
  put(14, aTime.fMinute, 2);
  stamp[16] = u':';
  put(17, aTime.fSecond, 2);
  stamp[19] = u':';
  put(20, aTime.fMillisecond, 3);
  aOut.append(stamp, 23);
}

// The name a file is moved to when it has grown past the limit: the current
// name less its extension, "_", the time of the roll-over as
// yyyymmddhhnnsszzz, ".log".
std::u16string SetAsideName(const std::u16string& aFileName, const DateTimeParts& aTime) {
  size_t end = aFileName.size();
  for (size_t i = aFileName.size(); i > 0; --i) {
    if (IsPathDelimiter(aFileName[i - 1])) break;
    if (aFileName[i - 1] == u'.') {
      end = i - 1;
      break;
    }
  }
  std::u16string name = aFileName.substr(0, end);
  name += u'_';
  AppendDate(name, aTime);
  AppendPadded(name, aTime.fHour, 2);
  AppendPadded(name, aTime.fMinute, 2);
  AppendPadded(name, aTime.fSecond, 2);
  AppendPadded(name, aTime.fMillisecond, 3);
  name += u".log";
  return name;
}

bool IsHighSurrogate(char16_t aChar) { return aChar >= 0xD800 && aChar <= 0xDBFF; }

}  // namespace

// --- tQV_LogThread ---------------------------------------------------------

tQV_LogThread::~tQV_LogThread() {
  // Only reached with a running thread if the owner let it go on purpose;
  // never let std::thread terminate the process for that.
  if (fThread.joinable()) fThread.detach();
}

void tQV_LogThread::Start(const std::shared_ptr<tQV_LogThread>& aSelf) {
  // The thread keeps its own reference: a parked thread still finds this
  // object alive after its writer was abandoned.
  aSelf->fThread = std::thread([self = aSelf] { self->Execute(); });
  // Wait until the thread runs our code. A thread that has been created but
  // not yet started cannot be waited for under the Windows loader lock, and
  // if the library were unloaded before it started, it would start in code
  // that is gone. Start is never called under the loader lock (the first
  // line of a writer comes from an ordinary call), so waiting here is safe.
  std::unique_lock<std::mutex> lock(aSelf->fLock);
  aSelf->fIdle.wait(lock, [&] { return aSelf->fStarted; });
}

void tQV_LogThread::Push(std::u16string aLine) {
  bool wasEmpty;
  {
    std::lock_guard<std::mutex> lock(fLock);
    wasEmpty = fQueue.empty();
    fQueue.push_back(std::move(aLine));
  }
  // The thread waits only on an empty queue (checked under the lock), so a
  // line added behind others needs no wake-up: it is found when the line
  // before it is done. That spares the caller a system call per line.
  if (wasEmpty) fWake.notify_one();
}

void tQV_LogThread::Execute() {
  std::unique_lock<std::mutex> lock(fLock);
  fStarted = true;
  fIdle.notify_all();
  for (;;) {
    while (fQueue.empty() && fState == ts_Running) {
      fWake.wait(lock);
      fWakeUps.fetch_add(1, std::memory_order_relaxed);
    }
    if (fState == ts_Vanishing) return;
    if (fQueue.empty()) {
      if (fState == ts_Parking) {
        // The owner waits for fParked under the lock, so it goes on only
        // after we have let go of the lock; from here on nothing of ours is
        // touched.
        fParked = true;
        fIdle.notify_all();
        lock.unlock();
        ParkThisThreadForever();
      }
      return;  // ts_Stopping and nothing left
    }
    // Take every queued line at once and write them without the lock, so
    // that the caller's Write meets the lock free nearly always. The batch
    // stays in this object until it is written: at process exit whatever the
    // thread had not finished is still here to be written.
    fBatch.swap(fQueue);
    fBatchDone = 0;
    tQV_LogWriter* const writer = fWriter;
    lock.unlock();
    for (; fBatchDone < fBatch.size() && !fVanishing.load(std::memory_order_relaxed); ++fBatchDone)
      writer->WriteToLogfile(fBatch[fBatchDone]);
    lock.lock();
    if (fBatchDone == fBatch.size()) fBatch.clear();
  }
}

void tQV_LogThread::EndAndJoin(tState aState) {
  {
    std::lock_guard<std::mutex> lock(fLock);
    fState = aState;
  }
  fWake.notify_one();
  if (fThread.joinable()) fThread.join();
}

void tQV_LogThread::StopAndJoin() { EndAndJoin(ts_Stopping); }

void tQV_LogThread::DrainAndPark() {
  {
    std::unique_lock<std::mutex> lock(fLock);
    fState = ts_Parking;
    if (fStarted) {
      fWake.notify_one();
      fIdle.wait(lock, [this] { return fParked; });
    } else {
      // The thread was never started (nothing was written yet): there is
      // nothing to wait for, and any queue is written here.
      WriteQueuedWithoutLock();
    }
  }
  if (fThread.joinable()) fThread.detach();
}

void tQV_LogThread::WriteQueuedWithoutLock() {
  // The thread is gone. Had it died while writing a line of its batch, that
  // line is written a second time: a duplicate is better than a loss.
  for (; fBatchDone < fBatch.size(); ++fBatchDone) fWriter->WriteToLogfile(fBatch[fBatchDone]);
  fBatch.clear();
  while (!fQueue.empty()) {
    fWriter->WriteToLogfile(fQueue.front());
    fQueue.pop_front();
  }
}

void tQV_LogThread::Vanish() {
  fVanishing.store(true, std::memory_order_relaxed);
  EndAndJoin(ts_Vanishing);
}

// --- tQV_LogWriter ---------------------------------------------------------

tQV_LogWriter::tQV_LogWriter(std::u16string_view aFileName, std::u16string_view aDirectory,
                             int aMaxMessageLength, bool aDaily)
    : fMaxMessageLength(aMaxMessageLength), fDaily(aDaily) {
  CheckPathChars(aFileName);
  if (!aFileName.empty()) {
    fFileName = std::u16string(aFileName);
    // A daily file carries the date of its creation for the writer's whole
    // life, also past midnight.
    if (aDaily) {
      fFileName += u'_';
      AppendDate(fFileName, LocalTimeNow());
    }
    fFileName += u".log";
  }
  SetDirectory(aDirectory);
  // The thread starts with the first line, not here: a writer may be made
  // while the library is being loaded, under the Windows loader lock, where
  // a new thread cannot start and so could not be waited for.
  fThread = std::make_shared<tQV_LogThread>();
  fThread->SetWriter(this);
}

tQV_LogWriter::~tQV_LogWriter() {
  // After DrainAndAbandon or WriteQueuedFromCaller fThread is already
  // released and there is nothing to join.
  if (fThread) fThread->StopAndJoin();
}

void tQV_LogWriter::Write(tQV_MessageType aEntryType, std::u16string_view aMessage) {
  // Whether there is a name is settled at creation; only the owner's thread
  // ever changes fFileName, so reading it here needs no lock.
  if (fFileName.empty()) throw qError(u"Log filename is empty ");
  std::u16string_view message = aMessage;
  if (fMaxMessageLength > 0 && message.size() > static_cast<size_t>(fMaxMessageLength)) {
    size_t length = static_cast<size_t>(fMaxMessageLength);
    // Never keep half of a surrogate pair: it would reach the file as U+FFFD.
    if (IsHighSurrogate(message[length - 1])) --length;
    message = message.substr(0, length);
  }
  std::u16string line;
  line.reserve(23 + 11 + message.size());
  AppendTimeStamp(line, LocalTimeNow());
  line += aEntryType == let_error ? u" - ERROR - " : u" - ";
  line += message;
  if (fCallerMode.load()) {
    WriteToLogfile(line);
    return;
  }
  if (!fThreadStarted) {
    tQV_LogThread::Start(fThread);
    fThreadStarted = true;
  }
  fThread->Push(std::move(line));
}

std::u16string tQV_LogWriter::CurrentFileName() const {
  if (fCallerMode.load()) return fFileName;
  std::lock_guard<std::mutex> lock(fNameLock);
  return fFileName;
}

std::u16string tQV_LogWriter::Directory() const {
  if (fCallerMode.load()) return fDirectory;
  std::lock_guard<std::mutex> lock(fNameLock);
  return fDirectory;
}

std::u16string tQV_LogWriter::FileName() const { return CurrentFileName(); }

void tQV_LogWriter::SetDirectory(std::u16string_view aDirectory) {
  CheckPathChars(aDirectory);
  std::u16string directory(aDirectory);
  // Made before the name moves, so the thread never tries the new name
  // before its directory exists. A failure is not reported: the lines are
  // then retried and given up like any other disk error.
  if (!directory.empty()) ForceDirectories(directory);
  std::unique_lock<std::mutex> lock(fNameLock, std::defer_lock);
  if (!fCallerMode.load()) lock.lock();
  if (!fFileName.empty()) fFileName = JoinPath(directory, ExtractFileName(fFileName));
  fDirectory = std::move(directory);
  fNameVersion.fetch_add(1);
}

int64_t tQV_LogWriter::GetLogFileSize() const { return FileSize(CurrentFileName()); }

void tQV_LogWriter::WriteToLogfile(const std::u16string& aLine) {
  // Once the thread is gone the caller reads fFileName itself: the dead
  // thread may have been killed in the middle of refreshing its copy.
  if (!fCallerMode.load()) {
    // Read before the name: a change made after this read bumps the version
    // again and is picked up with the next line at the latest.
    const uint64_t version = fNameVersion.load();
    if (version != fThreadNameVersion) {
      fThreadName = CurrentFileName();
      fThreadNameVersion = version;
    }
  }
  const std::u16string& name = fCallerMode.load() ? fFileName : fThreadName;
  if (name.empty()) return;
  if (CheckLogfileSize()) {
    const int64_t limit = static_cast<int64_t>(MaxLogFileSize()) * 1024;
    // A refused rename leaves the line to the old file; the next check
    // tries again.
    if (FileSize(name) > limit) RenameFile(name, SetAsideName(name, LocalTimeNow()));
  }
  fCounter = (fCounter + 1) % kSizeCheckInterval;

  std::string bytes = ToUtf8(aLine);
  bytes += "\r\n";
  for (int attempt = 1;; ++attempt) {
    if (AppendToFile(name, bytes)) return;
    if (attempt == kAppendAttempts) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryDelayMs));
  }
  fDropped.fetch_add(1, std::memory_order_relaxed);
}

void tQV_LogWriter::DrainAndAbandon() {
  if (!fThread) return;
  fThread->DrainAndPark();
  // The parked thread keeps its own reference to the thread object; ours
  // goes now.
  fCallerMode.store(true);
  fThread.reset();
}

void tQV_LogWriter::WriteQueuedFromCaller() {
  if (!fThread) return;
  // Set first: from now on the file name is read without its lock, which
  // the dead thread may hold.
  fCallerMode.store(true);
  fThread->WriteQueuedWithoutLock();
  // The thread object is left as it is: its mutex may be held and its
  // condition variable waited on by a thread that no longer exists, and
  // std::thread would want a join. It is kept reachable here and never
  // destroyed; the process is ending anyway.
  static auto* const sAbandoned = new std::vector<std::shared_ptr<tQV_LogThread>>();
  sAbandoned->push_back(std::move(fThread));
}

uint64_t tQV_LogWriter::ThreadWakeUps() const { return fThread ? fThread->WakeUps() : 0; }

void tQV_LogWriter::StopThreadWithoutWriting() {
  if (!fThread) return;
  // The thread of a process that ends has run: start it if no line did.
  if (!fThreadStarted) {
    tQV_LogThread::Start(fThread);
    fThreadStarted = true;
  }
  fThread->Vanish();
}

}  // namespace qv
