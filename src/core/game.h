// The game: one object holding all program-wide state under the game's own
// names, with its procedures as member functions. The procedures live in the
// folders core/, world/, combat/ and screens/; the machine is reached only
// through the Platform.
//
// Sections: records, collections, scalar state, controls, window-level state,
// procedures by folder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "combat/shotcells.h"
#include "core/numbers.h"
#include "core/pool.h"
#include "core/random.h"
#include "platform/platform.h"
#include "world/body.h"

// Which screen runs. The values are the game's own: the menu screens count up
// from the main menu, and the two below zero are outside the menu.
enum class GameState : int16_t {
    play = -2,          // a game in play
    menuleft = -1,      // the menu has been left (a ship chosen or the table seen)
    mainmenu = 0,       // the intro titles and the main menu
    highscores = 1,     // the high-score table
    options = 2,        // the options screen
    nameentry = 3,      // typing the name of a new high score
    newentry = 4,       // the table with the new entry flashing
    shipselection = 5,  // choosing a ship design
    quit = 6,           // the quit confirmation
};

// What a particle is; shots other than particles keep 0.
enum class ParticleType : int16_t { none = 0, flame = 1, spark = 2, missile = 3, abomb = 4 };

// The weapons in the order of their stock in ammo and of the digit keys.
enum class Weapon : int16_t { gun = 0, laser = 1, missile = 2, abomb = 3 };
inline constexpr int weaponindex(Weapon w) {
    return static_cast<int>(w);
}

// What a power-up gives; the three weapons share Weapon's numbers.
enum class PowerupKind : int16_t { spareship = -1, points = 0, laser = 1, missiles = 2, abomb = 3 };

static_assert(sizeof(GameState) == 2 && sizeof(ParticleType) == 2 && sizeof(Weapon) == 2 &&
              sizeof(PowerupKind) == 2 && sizeof(BodyType) == 2);

// Frame rates of the loops, frames per second.
inline constexpr int gamerate = 80;    // the game's frame loop
inline constexpr int letterrate = 60;  // intro titles, banners and GAME OVER
inline constexpr int menurate = 100;   // the menu, at most

inline constexpr int16_t spawnprotection = 250;  // frames of shield a ship appears with
inline constexpr int32_t respawndelay = 250;     // frames between a lost ship and the next
inline constexpr float parkedship = -500;        // x and y of the ship while it is away
inline constexpr int16_t huntershield = 500;     // frames of shield of a hunting body's piece
// A split adds at most this many bodies past the old count: two pieces, or a
// triangle's three edges.
inline constexpr int splitpieces = 3;
// A hunting body's piece can be rammed 15 frames into its shield.
inline constexpr int16_t hunterrammable = huntershield - 15;

// A shot record: a shot, a laser dot, shrapnel, or a typed particle.
struct Shot {
    float x = 0, y = 0;                      // playfield units
    float vx = 0, vy = 0;                    // units per frame
    int32_t colour = 0;                      // a particle of colour 0 is not drawn
    int16_t life = 0;                        // frames left
    int16_t life0 = 0;                       // life at creation, for fading
    ParticleType type = ParticleType::none;  // what a particle is
    double heading = 0;                      // homing missile: direction of thrust, radians
    double turn = 0;                         // homing missile: change of heading per frame, radians
    int16_t target = 0;  // homing missile: index in bodies of the body it chases
};

// The parts of a shot's kite that depend only on its velocity, in pixels:
// kept per record, since most shots keep their velocity for life.
struct KiteShape {
    bool known = false;
    float vx = 0, vy = 0;  // the velocity they were worked out for
    double tail[2] = {}, side1[2] = {}, nose[2] = {}, side2[2] = {};  // x, y offsets
};

// A body's pixel points as last drawn, with the values they came from, so
// that erasing it again before it moves needs no trigonometry.
struct DrawnOutline {
    static constexpr int most = 12;  // vertices; larger outlines are not kept
    bool known = false;
    int16_t n = 0;
    float x = 0, y = 0;
    double scale = 0;
    float radius[most] = {}, angle[most] = {};
    PixelPoint points[most];
};

struct Powerup {
    float x = 0, y = 0;                      // playfield units
    float vx = 0, vy = 0;                    // units per frame
    PowerupKind kind = PowerupKind::points;  // what picking it up gives
    int16_t amount = 0;                      // points (1000..5000) or stock added
    int16_t life = 0;                        // frames left
};

// One letter of a large animated word.
struct Letter {
    int16_t x = 0, y = 0;                  // print position, playfield units (y is the top)
    int16_t red = 0, green = 0, blue = 0;  // colour at full brightness
    int32_t delay = 0;                     // frames left before the letter shows
    int32_t level = 0;                     // current brightness step
    int32_t fulllevel = 0;                 // step that gives the full colour
    std::string text;                      // the one character
    int16_t size = 0;                      // font base size, printed at size x pixelscale
    int16_t fading = 0;                    // 0 while brightening, 1 once fading
};

// One row of the letter layout table.
enum class LetterRow { author, presents, title, gameover, pause, banner };

// A label of the game window; only its data matters, it is never shown itself.
struct Label {
    std::string caption;
    std::string tag;
    // Set as the window places its labels; nothing reads them back.
    bool visible = true;
    double left = 0, top = 0;
};

// The laser-charge gauge: a hidden shape whose tag holds a number.
struct Gauge {
    int32_t tag = 0;
    int32_t fillcolour = 0;  // set at start-up and kept; nothing reads it back
    bool visible = false;    // hidden by the menu; nothing reads it back
};

// The hidden one-line text box that receives the typed name characters.
struct TextBox {
    std::string text;
    bool focus = false;
};

// A body's vertices where the shape test places them, playfield units.
struct Outline {
    float x[max_vertices + 1];
    float y[max_vertices + 1];
    int16_t n = 0;
};

// A box, playfield units, outside which a body's shape test answers false;
// tested is false for a body the shape test is never asked about.
struct OutlineReach {
    float minx = 1, miny = 1, maxx = 0, maxy = 0;  // empty when min > max
    bool tested = false;
    bool holds(float px, float py) const {
        // Undefined points are never ruled out here; the shape test decides them.
        return tested && !(px < minx || px > maxx || py < miny || py > maxy);
    }
};

class Game : public EventHandler {
  public:
    Game(Platform& platform, RandomSource& random);

    // --- collections: elements 1..count in use (bodies.count is the game's
    // bodycount, and so on); element 0 of bodies is the ship
    static constexpr int16_t capacity = 1000;
    static constexpr int16_t lettercapacity = 100;
    Pool<Body, capacity> bodies;
    Pool<Shot, capacity> shots;
    Pool<Shot, capacity> particles;
    Pool<Powerup, capacity> powerups;
    Pool<Letter, lettercapacity> letters;
    std::array<PixelPoint, capacity + 1> points{};  // scratch polygon buffer, from element 1
    std::array<int16_t, 11> ammo{};  // stock by Weapon: gun (always 1), laser, missiles, A-bombs
    int16_t& stock(Weapon w) { return ammo[weaponindex(w)]; }

    Body flame{};      // engine flame drawn behind the ship while it thrusts
    Body laserbeam{};  // the laser's line; its fill colour doubles as its on/off state

    // --- scalar state
    GameState gamestate = GameState::mainmenu;  // which screen runs
    int16_t cursor = 0;  // highlighted menu line; rank being typed during name entry
    int16_t keyleft = 0, keyright = 0, keyup = 0, keydown = 0;  // -1 while held
    int16_t firestate = 0;  // fire control word in play; -1 = Enter's request outside play
    int32_t windowdc = 0;   // drawing context handle, fetched before each polygon; nothing reads it
    int16_t selectedship = 0;     // ship design chosen on the menu
    Weapon weapon = Weapon::gun;  // current weapon
    int16_t lives = 0;            // spare ships
    int32_t nextlife = 0;         // score at which the next extra ship is given
    int16_t wireframe = 0;        // non-zero: everything drawn as outlines
    int16_t level = 0;            // current level number
    int16_t levelmode = 0;        // level scheme; always 1, so nothing reads it
    int32_t respawntimer = 0;     // 0 in play; 250 after the ship is destroyed, counted down
    int32_t huntertimer = 0;      // frames counted while rocks remain
    int16_t paused = 0;           // non-zero while paused
    double pixelscale = 1;        // window pixels per playfield unit
    std::string soundfolder;      // "\classic" or "\trek"; empty until the first game
    int64_t frequency = 0;        // performance-counter ticks per second, read by the constructor

    // --- scratch buffers, reused so that a frame allocates nothing
    std::string mediacommand;             // the media command being built
    std::array<char, 96> stockbartext{};  // the HUD's stock bar

    // --- caches: work kept between frames to be reused while its inputs stay
    // the same; none of it is game state, and clearing it changes no result
    std::array<DrawnOutline, capacity + 1>
        drawnoutlines{};  // last drawn points, by element of bodies
    // The A-bomb's grid tests hundreds of points against the same outlines:
    // each body's outline and its box are worked out once and kept until the
    // body changes.
    std::array<Outline, capacity + 1> outlines{};
    std::array<OutlineReach, capacity + 1> reaches{};
    std::array<KiteShape, capacity + 1> shotkites{}, particlekites{};  // kite shapes, by record
    ShotCells shotcells;  // the shots by cell during the rock pass

    // --- controls of the game window
    Label lblscore;   // caption: the score as decimal text; tag: score flash level
    Label lblweapon;  // caption: current weapon's name
    Label lbllevel;   // "Level " and the level number
    Label lbltitle;   // the word spelled by the letters
    Gauge lasercharge;
    TextBox Text1;

    // --- window-level state
    std::array<std::string, 12> highscorename{};  // slots 1..10 ranks, 11 carried through
    std::array<int32_t, 12> highscore{};          // slots 1..10 scores, 11 the checksum
    int32_t menutimer = 0;                        // frames spent on the current menu screen
    bool highscoressaved = true;                  // false while the table in memory awaits its save
    std::array<bool, 12> highscorenew{};          // ranks entered in this run and not saved yet
    bool highscorescleared = false;               // cleared, and the clear not saved yet

    Platform& platform;
    Surface& window;
    RandomSource& random;

    // A fresh uniform draw in [0, 1).
    double rnd() { return random.next(); }
    double playfieldwidth() const { return window.scalewidth(); }
    double playfieldheight() const { return window.scaleheight(); }

    // --- core/: program flow, frame loop, sound, score and HUD, start-up, intro
    void Form_Load();
    void Form_Unload();
    // The whole program from Form_Load on; the status it ends with, 0 when the
    // window was closed.
    int run();
    void programflow();  // menu, game, game over, for ever
    void newgame();      // the new game's sounds, ship, values and first level
    bool frameloop();    // one game; false when the game ended
    bool playframe();    // a frame's work between events and wait; false when the game ended
    void erasepass();
    void bodystep(int k);
    bool shipstep();  // respawn or ship update; false when the game ends
    bool levelended() const;
    void waitframe(int64_t framestart, int rate);  // busy wait until 1/rate s has passed
    void sound(std::string_view filename);         // an effect by alias, or a loose sound by path
    void startgamesounds();  // game start: reopen the sound set, switch the music
    void musiccheck();       // level set-up: restart the game music when it has ended
    double score() const;    // the score caption's value
    void setscore(const std::string& caption);
    void addscore(int32_t points);
    void lblscore_Change();
    void setlevelcaption(const std::string& caption);
    void lbllevel_Change();
    void extraship();
    void scoreflash();
    void drawhud();
    void intro();

    // --- world/
    void drawbody(Body& b);
    int bodypoints(const Body& b);  // the outline's pixel points into points[1..n]; n
    void erasebody(Body& b);
    void centerbody(Body& b);
    bool pointinbody(const Body& b, float px, float py) const;
    void outlineof(const Body& b, Outline& o) const;
    bool insideoutline(const Body& b, const Outline& o, float px, float py) const;
    // The box of the rectangle (x0, y0)-(x1, y1) outside which insideoutline
    // answers false.
    OutlineReach outlinereach(const Body& b, const Outline& o, double x0, double y0, double x1,
                              double y1) const;
    void splitrock(int k);
    void nextlevel();
    void initializeship(int index = 0, int ship = -1);  // -1: selectedship

    // --- combat/
    void Form_KeyDown(int keycode);
    void Form_KeyUp(int keycode);
    void weaponkey(int code);  // typed digits choose a weapon
    void shipupdate();
    void firecadence();
    void fireweapon();
    void firelaser();
    void launchabomb();
    void hyperspace(Body& b);
    void flamestep();      // animate the flame, draw it while thrusting
    void laserbeamstep();  // the laser line follows the ship and fades
    void shotpass();
    void particlepass();
    void homingmissile(Shot& m);
    void abomb(Shot& m);
    void blastgrid(float x, float y, int reach);  // splits what the blast's grid reaches
    void drawmissile(const Shot& m);
    void erasemissile(const Shot& m);
    void bodycolours(Body& b);  // type colours and hunter steering
    void hitflash(Body& b);
    void bodystate(Body& b);  // protection countdown and dying fade
    void segmentfade(Body& b);
    void shipcontact(int k);
    void shotcontact(int k);
    void sortshots();  // fills shotcells; before the rock pass
    void removalpass();
    void explodeship(float spread);
    void shatterrock(int k);
    void selfdestruct();
    void protectionblink();
    bool respawnstep();  // false when the game ends
    void spawnsparks();  // the burst of 25 sparks round a ship that appears
    void droppowerup(float x, float y, float vx, float vy);
    void poweruppass();
    void pickup(Powerup& p);
    void drawpowerup(int index);
    void erasepowerup(int index);
    void huntertimerstep();
    void huntersteer(Body& b);

    // --- screens/
    void addletters(const std::string& word, LetterRow row);
    bool drawletters(bool centred);
    void finishletters();
    bool lettersfinished() const;
    void showlevel();
    void pausemessage();
    void gamemenu();
    void Form_KeyPress(int& keyascii);
    void Text1_Change();
    void loadhighscores();
    void savehighscores();
    void clearhighscores();
    int inserthighscore(double finalscore);
    void highscorescreen();  // menu screen 1: the table
    void newentryscreen();   // menu screen 4: the table with the new entry flashing
    void nameentryscreen();  // menu screen 3: typing the name of a new high score
    void gameover();

    // --- events from the platform
    void onkeydown(int keycode) override { Form_KeyDown(keycode); }
    void onkeyup(int keycode) override { Form_KeyUp(keycode); }
    void ontyped(int code) override;
    void onunload() override { Form_Unload(); }
    InputContext inputcontext() const override;
};

double ArcSin(double x);
double ArcCos(double x);
