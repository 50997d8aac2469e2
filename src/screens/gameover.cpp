// Game over: "GAME OVER" spelled in red over the last picture of the game, the
// play state cleared, a good score entered into the table with the player's
// name typed on the menu's name-entry screen, and the table saved.
#include <algorithm>
#include <array>
#include <string_view>

#include "core/game.h"

namespace {

constexpr std::string_view prompt = "ENTER YOUR NAME: ";
constexpr size_t longestname = 9;

}  // namespace

void Game::gameover() {
    powerups.count = 0;
    platform.mcisendstring("stop firebomb", nullptr);
    sound("gameover");
    addletters("GAME OVER", LetterRow::gameover);
    // The window is not cleared: the letters glow over the last game picture.
    for (;;) {
        int64_t framestart = platform.counter();
        platform.doevents();
        if (drawletters(false)) break;
        waitframe(framestart, letterrate);
    }
    window.clear();
    letters.count = 0;
    respawntimer = 0;
    lblweapon.caption.clear();
    lasercharge.visible = false;

    int rank = inserthighscore(score());
    if (rank > 0) {
        // The new entry must reach the file even if the player quits or
        // closes the window before this game over saves it.
        highscoressaved = false;
        cursor = static_cast<int16_t>(rank);
        gamestate = GameState::nameentry;
        gamemenu();
    }
    savehighscores();
}

void Game::nameentryscreen() {
    // 512 frames: one rise and fall of the blue "HIGH SCORE!" smear.
    ++menutimer;
    if (menutimer >= 512) menutimer = 0;
    const bool haverow = cursor >= 1 && cursor <= 10;
    // Characters typed this frame were appended already, so a tenth one is
    // cut before it is ever printed.
    if (haverow && highscorename[cursor].size() > longestname) {
        highscorename[cursor].resize(longestname);
    }
    double fade = menutimer / 256.0;
    Text1.text.clear();

    window.setfontsize(58 * pixelscale);
    int32_t b = menutimer < 255 ? menutimer : 512 - menutimer;
    window.setlinecolour(rgb(0, 0, b));
    std::string_view heading = "HIGH SCORE!";
    double x = playfieldwidth() / 2 - window.textwidth(heading) / 2;
    window.setposition(x, fade * 25 + 10);
    window.print(heading);
    window.setposition(x, 60 - fade * 25);
    window.print(heading);

    // The prompt and the name are printed as one text, built without allocating.
    std::array<char, prompt.size() + longestname> line{};
    std::string_view name = haverow ? std::string_view(highscorename[cursor]) : std::string_view();
    name = name.substr(0, longestname);
    std::copy(prompt.begin(), prompt.end(), line.begin());
    std::copy(name.begin(), name.end(), line.begin() + prompt.size());
    window.setfontsize(20 * pixelscale);
    window.setlinecolour(rgb(0, 0, 255));
    window.setposition(50, 250);
    window.print(std::string_view(line.data(), prompt.size() + name.size()));

    if (firestate == -1) {
        window.clear();
        gamestate = GameState::newentry;
        menutimer = 0;
    }
}

void Game::Text1_Change() {
    if (gamestate != GameState::nameentry) return;
    if (Text1.text.empty()) return;
    if (cursor >= 1 && cursor <= 10) highscorename[cursor] += Text1.text;
    // Emptying the box raises no further change: it finds the text empty.
    Text1.text.clear();
}
