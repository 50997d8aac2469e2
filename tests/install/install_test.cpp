// The installed game: the tree `cmake --install` writes, the desktop's files
// checked by their own validators, the Debian package, and the installed game
// played from a read-only tree with its table kept in the player's data folder.
#include <sys/stat.h>

#include <array>
#include <cstdint>

#include "buildinfo.h"
#include "platform/folders.h"
#include "support/windowgame.h"

namespace {
namespace fs = std::filesystem;

const fs::path build(VOLMARIN_BINARY_DIR);
constexpr std::array iconsizes = {16, 32, 48, 64, 128, 256};

// Runs a shell command; its exit status and what it printed.
std::pair<int, std::string> shell(const std::string& command) {
    std::string out;
    int status = -1;
    if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, p)) out += buffer;
        status = pclose(p);
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Installs the build into DESTDIR `root` with prefix /usr.
void installinto(const fs::path& root) {
    auto [status, out] =
        shell("DESTDIR=" + quoted(root) + " cmake --install " + quoted(build) + " --prefix /usr");
    ASSERT_EQ(status, 0) << out;
}

// Width and height from a PNG's header.
std::pair<uint32_t, uint32_t> pngsize(const fs::path& file) {
    std::string data = readfile(file);
    if (data.size() < 24 || data.compare(1, 3, "PNG") != 0) return {0, 0};
    auto word = [&](size_t at) {
        uint32_t v = 0;
        for (size_t k = 0; k < 4; ++k) v = v << 8 | static_cast<unsigned char>(data[at + k]);
        return v;
    };
    return {word(16), word(20)};
}

void makereadonly(const fs::path& tree) {
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        fs::permissions(entry.path(),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    fs::permissions(tree, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}
}  // namespace

TEST(Install, TreeHoldsTheGameItsDataAndDesktopFilesThatValidate) {
    TempFolder root;
    installinto(root.path());
    const fs::path usr = root.path() / "usr";
    const fs::path data = usr / "share/games/volmarin";

    EXPECT_TRUE(fs::is_regular_file(usr / "games/volmarin"));
    for (const char* set : {"classic", "trek"}) {
        int sounds = 0;
        for (const auto& entry : fs::directory_iterator(data / set))
            sounds += entry.path().extension() == ".wav";
        EXPECT_EQ(sounds, 17) << set;
    }
    for (const char* file : {"orchhitl.wav", "missleFire.wav", "ding.wav", "explosion.wav",
                             "Firebomb.mid", "MortalKombat.mid"}) {
        EXPECT_TRUE(fs::is_regular_file(data / file)) << file;
    }
    EXPECT_FALSE(fs::exists(data / "hiscores.dat")) << "no table of the build's own is installed";
    for (int side : iconsizes) {
        std::string name = std::to_string(side) + "x" + std::to_string(side);
        auto size = pngsize(usr / "share/icons/hicolor" / name / "apps/volmarin.png");
        EXPECT_EQ(size, std::make_pair(uint32_t(side), uint32_t(side))) << name;
    }
    std::string svg = readfile(usr / "share/icons/hicolor/scalable/apps/volmarin.svg");
    EXPECT_NE(svg.find("<polygon"), std::string::npos) << svg;
    EXPECT_TRUE(fs::is_regular_file(usr / "share/doc/volmarin/copyright"));
    EXPECT_TRUE(fs::is_regular_file(usr / "share/doc/volmarin/changelog.gz"));

    const std::string metainfo = "share/metainfo/io.github.volmarin.Volmarin.metainfo.xml";
    std::string xml = readfile(usr / metainfo);
    EXPECT_NE(xml.find("<release version=\"" VOLMARIN_VERSION "\""), std::string::npos);
    for (const std::string& check :
         {"desktop-file-validate " + quoted(usr / "share/applications/volmarin.desktop"),
          "appstreamcli validate --no-net " + quoted(usr / metainfo),
          "mandoc -T lint " + quoted(usr / "share/man/man6/volmarin.6.gz")}) {
        auto [status, out] = shell(check);
        EXPECT_EQ(status, 0) << check << "\n" << out;
    }

    auto [status, version] = shell(quoted(usr / "games/volmarin") + " --version");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version, "volmarin " VOLMARIN_VERSION "\n");
    auto [helpstatus, help] = shell(quoted(usr / "games/volmarin") + " --help");
    EXPECT_EQ(helpstatus, 0);
    EXPECT_NE(help.find("hiscores.dat"), std::string::npos) << help;
}

TEST(Install, DebianPackageHoldsTheTreeAndPassesLintian) {
    TempFolder out;
    auto [status, log] = shell("cd " + quoted(out.path()) + " && cpack -G DEB --config " +
                               quoted(build / "CPackConfig.cmake") + " -B " + quoted(out.path()));
    ASSERT_EQ(status, 0) << log;
    const fs::path deb = out.path() / "volmarin_" VOLMARIN_VERSION "_amd64.deb";
    ASSERT_TRUE(fs::exists(deb)) << log;

    auto field = [&](const std::string& name) {
        return shell("dpkg-deb -f " + quoted(deb) + " " + name).second;
    };
    EXPECT_EQ(field("Section"), "games\n");
    EXPECT_EQ(field("Version"), VOLMARIN_VERSION "\n");
    std::string depends = field("Depends");
    for (const char* needed : {"libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libsdl2-ttf-2.0-0",
                               "fonts-play", "timgm6mb-soundfont"}) {
        EXPECT_NE(depends.find(needed), std::string::npos) << depends;
    }
    std::string listing = shell("dpkg-deb -c " + quoted(deb)).second;
    for (const char* file :
         {"./usr/games/volmarin", "./usr/share/games/volmarin/trek/fire.wav",
          "./usr/share/applications/volmarin.desktop", "./usr/share/man/man6/volmarin.6.gz",
          "./usr/share/icons/hicolor/48x48/apps/volmarin.png",
          "./usr/share/doc/volmarin/copyright"}) {
        EXPECT_NE(listing.find(file), std::string::npos) << file;
    }
    fs::path unpacked = out.path() / "unpacked";
    ASSERT_EQ(shell("dpkg-deb -x " + quoted(deb) + " " + quoted(unpacked)).first, 0);
    auto [vstatus, version] = shell(quoted(unpacked / "usr/games/volmarin") + " --version");
    EXPECT_EQ(version, "volmarin " VOLMARIN_VERSION "\n");

    auto [lstatus, lintian] = shell("lintian --fail-on error " + quoted(deb));
    EXPECT_EQ(lstatus, 0) << lintian;
}

TEST(Install, ProgramFolderIsTheDataFolderBesideAnInstalledBinaryElseTheBinarysOwn) {
    TempFolder tree;
    fs::create_directories(tree.path() / "usr/games");
    fs::create_directories(tree.path() / "build");
    EXPECT_EQ(programfolder(tree.path() / "usr/games", "../share/games/volmarin"),
              tree.path() / "usr/games")
        << "no data folder installed yet";
    fs::create_directories(tree.path() / "usr/share/games/volmarin");
    EXPECT_EQ(programfolder(tree.path() / "usr/games", "../share/games/volmarin"),
              tree.path() / "usr/share/games/volmarin");
    EXPECT_EQ(programfolder(tree.path() / "build", "../share/games/volmarin"),
              tree.path() / "build");
}

// The installed game run by a player who cannot write its folder: the table
// goes to $XDG_DATA_HOME/volmarin and is there again at the next start.
class InstalledGame : public WindowFixture {
  protected:
    void SetUp() override {
        startx();
        if (IsSkipped()) return;
        installinto(folder.path());
        program = folder.path() / "usr/games/volmarin";
        makereadonly(folder.path() / "usr");
        // As root every folder is writable: the game then runs as "nobody".
        if (geteuid() == 0) {
            account = std::make_pair(uid_t(65534), gid_t(65534));
            ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0);
        }
    }

    void startgame() {
        start({{"HOME", home.path().string()}, {"XDG_DATA_HOME", (home.path() / "data").string()}},
              account);
    }

    // Through the intro to the high-score screen; its lit pixels.
    int highscorescreen() {
        key("Return");
        key("Return");
        key("Return", 1500ms);
        key("Down", 300ms);
        key("Return", 2500ms);
        int lit = screenshot().lit;
        key("Escape", 1200ms);
        return lit;
    }

    TempFolder home;
    std::optional<std::pair<uid_t, gid_t>> account;
};

TEST_F(InstalledGame, ReadOnlyTreeKeepsTheTableInThePlayersDataFolder) {
    const fs::path table = home.path() / "data/volmarin/hiscores.dat";
    startgame();
    int defaulttable = highscorescreen();
    key("Up", 300ms);       // START
    key("Return", 900ms);   // the ship selection
    key("Return", 3500ms);  // in play
    giveuptonameentry();
    run("xdotool type --delay 80 RUN");
    std::this_thread::sleep_for(400ms);
    key("Return", 700ms);
    key("Return", 1200ms);  // back on the main menu, the table saved
    EXPECT_NE(readfile(table).find("RUN"), std::string::npos) << readfile(table);
    EXPECT_FALSE(fs::exists(folder.path() / "usr/share/games/volmarin/hiscores.dat"));
    kill(game, SIGTERM);
    ASSERT_EQ(waitexit(10s), 0);

    startgame();
    int savedtable = highscorescreen();
    EXPECT_NE(savedtable, defaulttable)
        << "the second run shows the saved table, not the default one";
    EXPECT_NE(readfile(table).find("RUN"), std::string::npos);
    kill(game, SIGTERM);
    EXPECT_EQ(waitexit(10s), 0);
}
