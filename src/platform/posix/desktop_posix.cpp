#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/text.h"
#include "platform/desktop.h"

namespace qv {

bool ShowMessageBox(tQV_MessageType aType, const std::u16string& aMessage) {
  const std::string text = ToUtf8(aMessage);
  std::fprintf(stderr, "%s: %s\n", aType == let_error ? "Error" : "Information", text.c_str());
  std::fflush(stderr);
  return false;
}

void ProcessPendingMessages() {}

void PostQuitRequest() {}

void SleepMilliseconds(int aMilliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(aMilliseconds)); }

std::unique_ptr<qNamedMutex> qNamedMutex::TryAcquire(const std::u16string& aName) {
  // A lock file in the temporary directory stands in for the named mutex;
  // the name's separators are replaced so that it stays one file.
  std::u16string safe = aName;
  for (auto& c : safe)
    if (c == u'/') c = u'_';
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/qvpa-" + ToUtf8(safe) + ".lock";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<qNamedMutex>(new qNamedMutex(fd));
}

qNamedMutex::~qNamedMutex() { ::close(static_cast<int>(fHandle)); }

bool RegisterNotifyIcon(const tqNotifyIconData&, bool) { return true; }

namespace {

// State only: the geometry follows the same rules as the real window, with a
// label measured at a nominal 7 pixels a character and 16 pixels high.
class qWaitWindowPosix : public qWaitWindow {
 public:
  explicit qWaitWindowPosix(const std::u16string& aLabel)
      : fLabelWidth(static_cast<int>(aLabel.size()) * 7), fLabelHeight(16) {}
  void Show() override { fVisible = true; }
  void Hide() override { fVisible = false; }
  bool Visible() const override { return fVisible; }
  void Geometry(int& aWidth, int& aHeight, int& aLabelWidth, int& aLabelHeight, int& aLabelLeft,
                int& aLabelTop) const override {
    aWidth = static_cast<int>(fLabelWidth * 1.3);
    aHeight = 50;
    aLabelWidth = fLabelWidth;
    aLabelHeight = fLabelHeight;
    aLabelLeft = (aWidth - fLabelWidth) / 2;
    aLabelTop = (aHeight - fLabelHeight) / 2;
  }

 private:
  int fLabelWidth;
  int fLabelHeight;
  bool fVisible = false;
};

}  // namespace

std::unique_ptr<qWaitWindow> qWaitWindow::Create(const std::u16string& aLabel) {
  return std::make_unique<qWaitWindowPosix>(aLabel);
}

}  // namespace qv
