// Reading files without blocking, replacing them atomically through a fresh
// temporary file, and the lock that lets two running copies of the game save
// the high-score table in turn.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/gamepath.h"

namespace fs = std::filesystem;

namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

// The prefix of every temporary file a save of `file` makes.
std::string temporaryprefix(const fs::path& file) {
    return file.filename().string() + ".tmp";
}

bool writeall(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The permission bits a new file gets from fopen: 0666 less the umask.
mode_t newfilemode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void syncfolder(const fs::path& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace

FileText readtext(const fs::path& file, std::size_t maxbytes) {
    FileText result;
    // O_NONBLOCK: opening a FIFO with no writer must not wait for one.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.found = errno == ENOENT ? FileText::Found::missing : FileText::Found::unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.found = FileText::Found::unreadable;
        return result;
    }
    if (static_cast<std::uintmax_t>(st.st_size) > maxbytes) {
        result.found = FileText::Found::toolarge;
        return result;
    }
    // The size may change while reading; never take more than maxbytes + 1.
    std::string text(maxbytes + 1, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.found = FileText::Found::unreadable;
            return result;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > maxbytes) {
        result.found = FileText::Found::toolarge;
        return result;
    }
    text.resize(got);
    result.found = FileText::Found::read;
    result.text = std::move(text);
    return result;
}

bool replacefile(const fs::path& file, const std::string& contents, bool keepold) {
    fs::path folder = file.parent_path();
    std::string name = (folder / (temporaryprefix(file) + ".XXXXXX")).string();
    std::vector<char> temporary(name.begin(), name.end());
    temporary.push_back('\0');
    // mkstemp creates a new file with O_EXCL: whatever stands at any other
    // name (a link, a FIFO) is never opened.
    Descriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) return false;
    const char* temp = temporary.data();

    struct stat old {};
    mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : newfilemode();
    bool ok = ::fchmod(fd.get(), mode) == 0;
    ok = ok && writeall(fd.get(), contents);
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    if (ok && keepold) {
        fs::path bad = file;
        bad += ".bad";
        // A missing old file has nothing to keep.
        ok = ::rename(file.c_str(), bad.c_str()) == 0 || errno == ENOENT;
    }
    ok = ok && ::rename(temp, file.c_str()) == 0;
    if (!ok) {
        ::unlink(temp);
        return false;
    }
    syncfolder(folder);
    return true;
}

Files::Files(fs::path folder) : folder_(std::move(folder)), statefolder_(folder_) {}

fs::path Files::resolve(const std::string& name) const {
    return resolvegamepath(folder_, name);
}

FileText Files::read(const std::string& name, std::size_t maxbytes) const {
    return readtext(resolve(name), maxbytes);
}

FileText Files::readstate(const std::string& name, std::size_t maxbytes) const {
    return readtext(statefolder_ / name, maxbytes);
}

bool Files::statesettled(const std::string& name, const FileText& first,
                         std::size_t maxbytes) const {
    std::this_thread::sleep_for(settle);
    FileText again = readstate(name, maxbytes);
    return again.found == first.found && again.text == first.text;
}

bool Files::updatestate(const std::string& name, std::size_t maxbytes,
                        const std::function<FileChange(const FileText&)>& decide) const {
    std::error_code ec;
    // The player's data folder is made on the first save.
    fs::create_directories(statefolder_, ec);

    // The lock is held on the folder rather than on the file, because every
    // save puts a new file in the old one's place. A copy of the game that
    // holds it far longer than any save takes (stopped in a debugger, or
    // another account's doing in a shared folder) is not waited for for ever.
    Descriptor lock(::open(statefolder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.get() >= 0) {
        auto giveup = std::chrono::steady_clock::now() + lockwait;
        while (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0 &&
               std::chrono::steady_clock::now() < giveup) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Holding the lock, any temporary file is a crashed save's leftover.
    fs::path file = statefolder_ / name;
    std::string prefix = temporaryprefix(file);
    for (const auto& entry : fs::directory_iterator(statefolder_, ec)) {
        std::string entryname = entry.path().filename().string();
        if (entryname.rfind(prefix, 0) == 0) ::unlink(entry.path().c_str());
    }

    FileChange change = decide(readtext(file, maxbytes));
    if (change.action == FileChange::Action::leave) return true;
    bool written =
        replacefile(file, change.text, change.action == FileChange::Action::writekeepingold);
    if (written && aftersave) aftersave();
    return written;
}
