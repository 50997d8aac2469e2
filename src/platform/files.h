// Files of the program's folder (sounds, music, font) and of the folder that
// keeps the high-score table, which is the program's folder while the game may
// write there and the player's data folder otherwise.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

// What reading a file found. "unreadable" covers everything that is there but
// cannot be read as a plain file: no permission, a folder, a FIFO, a device.
struct FileText {
    enum class Found { missing, unreadable, toolarge, read };
    Found found = Found::missing;
    std::string text;  // the whole file when read
};

// What an update does with the file it found under its lock.
struct FileChange {
    enum class Action {
        leave,            // the file stays as it is
        write,            // the file is replaced by text
        writekeepingold,  // the old file is kept beside it as NAME.bad, then replaced
    };
    Action action = Action::leave;
    std::string text;
};

// Reads a whole file of at most maxbytes without ever blocking: a FIFO or a
// device is unreadable, and a longer file is refused without reading it whole.
FileText readtext(const std::filesystem::path& file, std::size_t maxbytes);

// Replaces a file with contents: a fresh temporary file in the same folder
// (never a name someone planted), flushed to disk, given the old file's
// permission bits and renamed over the target; the folder is flushed too. With
// keepold, the old file is first renamed to NAME.bad. False when anything
// failed; the old file is then whole.
bool replacefile(const std::filesystem::path& file, const std::string& contents,
                 bool keepold = false);

class Files {
  public:
    explicit Files(std::filesystem::path folder);

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path resolve(const std::string& name) const;

    // Where the game's lasting state (the high-score table) is kept; the
    // program's folder unless set otherwise at start-up.
    const std::filesystem::path& statefolder() const { return statefolder_; }
    void setstatefolder(std::filesystem::path folder) { statefolder_ = std::move(folder); }

    // A file of the program's folder, and one of the state folder.
    FileText read(const std::string& name, std::size_t maxbytes) const;
    FileText readstate(const std::string& name, std::size_t maxbytes) const;

    // True when a state file reads the same as `first` once a moment has
    // passed; false while another program is still writing it.
    bool statesettled(const std::string& name, const FileText& first, std::size_t maxbytes) const;

    // Changes a state file while holding an exclusive advisory lock on the
    // state folder, so two copies of the game saving at once take turns: reads
    // the file as it is now, asks decide what to do, and does it. Stale
    // temporary files of a crashed save are removed first. True when the
    // decision was carried out (leaving the file counts).
    bool updatestate(const std::string& name, std::size_t maxbytes,
                     const std::function<FileChange(const FileText&)>& decide) const;

    // How long statesettled waits before reading again, and how long an update
    // waits for another copy's lock before going ahead without it.
    std::chrono::milliseconds settle{50};
    std::chrono::milliseconds lockwait{2000};

    // Called after every state file written, for a platform that must copy
    // the folder on to lasting storage (the browser's).
    std::function<void()> aftersave;

  private:
    std::filesystem::path folder_;
    std::filesystem::path statefolder_;
};
