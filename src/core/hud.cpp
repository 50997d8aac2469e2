// The score and the HUD strip. The score lives as decimal text in the score
// label, whose tag holds the flash level that every change of the score sets
// to 255; each frame awards extra ships, lowers the flash and prints the strip
// at the top left: score, spare ships, weapon name and stock bars.
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/game.h"

namespace {
// The leading number of a text, as the labels are read: blanks skipped, an
// optional sign, digits and a fraction; 0 when the text starts otherwise.
double leadingnumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    double value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        value = value * 10 + (text[i++] - '0');
    if (i < text.size() && text[i] == '.') {
        double unit = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, unit /= 10)
            value += (text[i] - '0') * unit;
    }
    return negative ? -value : value;
}

// A stock bar: one slash per item, but never more than 73 slashes; a longer
// stock shows 73 slashes, a blank and its number. Built in the game's fixed
// buffer, since the HUD is drawn every frame.
std::string_view stockbar(std::array<char, 96>& buffer, int n) {
    size_t length = 0;
    int slashes = n < 73 ? (n > 0 ? n : 0) : 73;
    for (int i = 0; i < slashes; ++i) buffer[length++] = '/';
    if (n >= 73) {
        buffer[length++] = ' ';
        char digits[8];
        int count = 0;
        for (int v = n; v > 0; v /= 10) digits[count++] = static_cast<char>('0' + v % 10);
        while (count > 0) buffer[length++] = digits[--count];
    }
    return {buffer.data(), length};
}
}  // namespace

double Game::score() const {
    return leadingnumber(lblscore.caption);
}

void Game::setscore(const std::string& caption) {
    if (caption == lblscore.caption) return;
    lblscore.caption = caption;
    lblscore_Change();
}

// 64-bit, so a long game's score never wraps.
void Game::addscore(int32_t points) {
    int64_t sum = static_cast<int64_t>(std::llround(score())) + points;
    setscore(std::to_string(sum));
}

void Game::lblscore_Change() {
    lblscore.tag = "255";
}

void Game::setlevelcaption(const std::string& caption) {
    if (caption == lbllevel.caption) return;
    lbllevel.caption = caption;
    lbllevel_Change();
}

void Game::lbllevel_Change() {
    lbllevel.tag = "255";
}

// Ships at 50000, 100000, then every 100000; at most one per frame.
void Game::extraship() {
    if (score() >= nextlife) {
        nextlife += nextlife < 100000 ? 50000 : 100000;
        ++lives;
        sound("1up");
    }
}

// 255, 245, ..., 5, then -5, where it rests until the score changes again.
void Game::scoreflash() {
    double flash = leadingnumber(lblscore.tag);
    if (flash > 0) lblscore.tag = std::to_string(cint(flash - 10));
}

void Game::drawhud() {
    const double s = pixelscale;
    window.blacken(0, 0, cint(350 * s), cint(50 * s));

    // The score flashes white after a gain and settles to blue.
    int32_t f = cint(std::fabs(leadingnumber(lblscore.tag)));
    window.setposition(0, 0);
    window.setfontsize(10 * s);
    window.setlinecolour(rgb(f, f, 255));
    window.print(lblscore.caption);

    window.setposition(60 * s, 0);
    window.setlinecolour(colours::white);
    window.print(printed(lives));

    // An empty stock falls back to the next lower weapon; the gun never runs out.
    while (weapon > Weapon::gun &&
           (weaponindex(weapon) >= static_cast<int>(ammo.size()) || stock(weapon) == 0))
        weapon = static_cast<Weapon>(weaponindex(weapon) - 1);

    lblweapon.caption = "";
    int32_t colour = colours::white;
    switch (weapon) {
        case Weapon::gun:
            lblweapon.caption = "Gun";
            colour = colours::blue;
            break;
        case Weapon::laser:
            lblweapon.caption = "Laser";
            colour = colours::red;
            break;
        case Weapon::missile:
            lblweapon.caption = "Missile";
            colour = rgb(255, 255, 0);
            break;
        case Weapon::abomb:
            lblweapon.caption = "A-Bomb";
            colour = rgb(255, cint(rnd() * 255), 0);  // the A-bomb's name flickers
            break;
    }
    window.setposition(35 * s, 0);
    window.setlinecolour(colour);
    window.setfontsize(10 * s);
    window.print(lblweapon.caption);

    if (weapon > Weapon::gun) {
        window.setposition(0, 7 * s);
        window.setfontsize(7 * s);
        window.print(stockbar(stockbartext, stock(weapon)));
    }

    if (stock(Weapon::abomb) > 0) {
        std::string_view bar = stockbar(stockbartext, stock(Weapon::abomb));
        window.setlinecolour(rgb(255, cint(rnd() * 255), 0));
        window.setposition(70 * s, 0);
        window.setfontsize(10 * s);
        window.print(bar);
    }
}
