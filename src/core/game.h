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

#include "combat/shotcells.h"
#include "core/numbers.h"
#include "core/random.h"
#include "platform/platform.h"
#include "world/body.h"

// A shot record: a shot, a laser dot, shrapnel, or a typed particle.
struct Shot {
    float x = 0, y = 0;    // playfield units
    float vx = 0, vy = 0;  // units per frame
    int32_t colour = 0;    // a particle of colour 0 is not drawn
    int16_t life = 0;      // frames left
    int16_t life0 = 0;     // life at creation, for fading
    int16_t type = 0;      // particles: 1 flame, 2 spark, 3 homing missile, 4 A-bomb
    double heading = 0;    // homing missile: direction of thrust, radians
    double turn = 0;       // homing missile: change of heading per frame, radians
    int16_t target = 0;    // homing missile: index in bodies of the body it chases
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
    float x = 0, y = 0;    // playfield units
    float vx = 0, vy = 0;  // units per frame
    int16_t kind = 0;      // 0 points, 1 laser, 2 missiles, 3 A-bomb, -1 spare ship
    int16_t amount = 0;    // points (1000..5000) or stock added
    int16_t life = 0;      // frames left
    int16_t spare = 0;     // unused
};

// One letter of a large animated word.
struct Letter {
    int16_t x = 0, y = 0;  // print position, playfield units (y is the top)
    int16_t red = 0, green = 0, blue = 0;  // colour at full brightness
    int32_t delay = 0;      // frames left before the letter shows
    int32_t level = 0;      // current brightness step
    int32_t fulllevel = 0;  // step that gives the full colour
    std::string text;       // the one character
    int16_t size = 0;       // font base size, printed at size x pixelscale
    int16_t fading = 0;     // 0 while brightening, 1 once fading
};

// One row of the letter layout table.
enum class LetterRow { author, presents, title, gameover, pause, banner };

// A label of the game window; only its data matters, it is never shown itself.
struct Label {
    std::string caption;
    std::string tag;
    bool visible = true;
    double left = 0, top = 0;
};

// The laser-charge gauge: a hidden shape whose tag holds a number.
struct Gauge {
    int32_t tag = 0;
    int32_t fillcolour = 0;
    bool visible = false;
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

    // --- collections: elements 1..count in use; element 0 of bodies is the ship
    static constexpr int16_t capacity = 1000;
    static constexpr int16_t lettercapacity = 100;
    std::array<Body, capacity + 1> bodies{};
    std::array<Shot, capacity + 1> shots{};
    std::array<Shot, capacity + 1> particles{};
    std::array<Powerup, capacity + 1> powerups{};
    std::array<Letter, lettercapacity + 1> letters{};
    std::array<PixelPoint, capacity + 1> points{};  // scratch polygon buffer, from element 1
    std::array<int16_t, 11> ammo{};  // [0] gun (always 1), [1] laser, [2] missiles, [3] A-bombs

    int16_t bodycount = 0, shotcount = 0, particlecount = 0, powerupcount = 0, lettercount = 0;
    Body flame{};      // engine flame drawn behind the ship while it thrusts
    Body laserbeam{};  // the laser's line; its fill colour doubles as its on/off state

    // Adding raises the count and gives the new index; 0 when the collection is
    // full (the addition is refused and nothing is written).
    int16_t addbody();
    int16_t addshot();
    int16_t addparticle();
    int16_t addpowerup();
    int16_t addletter();
    // Removing copies the last element over element k and lowers the count.
    void removebody(int k);
    void removeshot(int k);
    void removeparticle(int k);
    void removepowerup(int k);

    // --- scalar state
    int16_t gamestate = 0;  // 0 intro/main menu, -2 game in play, 3 name entry, others menu screens
    int16_t cursor = 0;     // highlighted menu line; rank being typed during name entry
    int16_t keyleft = 0, keyright = 0, keyup = 0, keydown = 0;  // -1 while held
    int16_t firestate = 0;  // fire control word in play; -1 = Enter's request outside play
    int32_t windowdc = 0;   // drawing context handle (kept for the drawing calls' order)
    int16_t selectedship = 0;  // ship design chosen on the menu
    int16_t weapon = 0;        // 0 Gun, 1 Laser, 2 Missile, 3 A-Bomb
    int16_t lives = 0;         // spare ships
    int32_t nextlife = 0;      // score at which the next extra ship is given
    int16_t wireframe = 0;     // non-zero: everything drawn as outlines
    int16_t level = 0;         // current level number
    int16_t levelmode = 0;     // level scheme; always 1
    int32_t respawntimer = 0;  // 0 in play; 250 after the ship is destroyed, counted down
    int32_t huntertimer = 0;   // frames counted while rocks remain
    int16_t paused = 0;        // non-zero while paused
    double pixelscale = 1;     // window pixels per playfield unit
    std::string soundfolder;   // "\classic" or "\trek"; empty until the first game
    int64_t frequency = 0;     // performance-counter ticks per second

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
    void programflow();       // menu, game, game over, for ever
    void newgame();           // program flow steps 4 to 6
    bool frameloop();         // one game; false when the game ended
    void frame(int64_t framestart);  // one frame of play after events (steps 3 to 20)
    bool playframe();         // a frame's work between events and wait; false when the game ended
    void erasepass();
    void bodystep(int k);
    bool shipstep();          // respawn or ship update; false when the game ends
    bool levelended() const;
    void waitframe(int64_t framestart, int rate);  // busy wait until 1/rate s has passed
    void sound(const std::string& filename, int unused = 1);
    void startgamesounds();   // game start: reopen the sound set, switch the music
    void musiccheck();        // level set-up: restart the game music when it has ended
    double score() const;     // the score caption's value
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
    std::array<DrawnOutline, capacity + 1> drawnoutlines{};  // by element of bodies
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
    // The A-bomb's grid tests hundreds of points against the same outlines:
    // each body's outline and its box are worked out once and kept until the
    // body changes.
    std::array<Outline, capacity + 1> outlines{};
    std::array<OutlineReach, capacity + 1> reaches{};
    void splitrock(int k);
    void nextlevel();
    void initializeship(int index = 0, int ship = -1);  // -1: selectedship

    // --- combat/
    void Form_KeyDown(int keycode, int shift);
    void Form_KeyUp(int keycode, int shift);
    void weaponkey(int code);  // typed digits choose a weapon
    void shipupdate();
    void firecadence();
    void fireweapon();
    void firelaser();
    void launchabomb();
    void hyperspace(Body& b);
    void flamestep();          // animate the flame, draw it while thrusting
    void laserbeamstep();      // the laser line follows the ship and fades
    void shotpass();
    void particlepass();
    void homingmissile(Shot& m);
    void abomb(Shot& m);
    void blastgrid(float x, float y, int reach);  // splits what the blast's grid reaches
    void drawmissile(const Shot& m);
    std::array<KiteShape, capacity + 1> shotkites{}, particlekites{};  // by record
    void erasemissile(const Shot& m);
    void bodycolours(Body& b);  // type colours and hunter steering
    void hitflash(Body& b);
    void bodystate(Body& b);    // protection countdown and dying fade
    void segmentfade(Body& b);
    void shipcontact(int k);
    void shotcontact(int k);
    ShotCells shotcells;   // the shots by cell during the rock pass
    void sortshots();      // fills shotcells; before the rock pass
    void removalpass();
    void explodeship(float spread);
    void shatterrock(int k);
    void selfdestruct();
    void protectionblink();
    bool respawnstep();        // false when the game ends
    void spawnsparks();        // the burst of 25 sparks round a ship that appears
    void droppowerup(float x, float y, float vx, float vy);
    void poweruppass();
    void pickup(Powerup& p);
    void drawpowerup(int index, int erasemode);
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
    void onkeydown(int keycode) override { Form_KeyDown(keycode, 0); }
    void onkeyup(int keycode) override { Form_KeyUp(keycode, 0); }
    void ontyped(int code) override;
    void onunload() override { Form_Unload(); }
    InputContext inputcontext() const override;
};

double ArcSin(double x);
double ArcCos(double x);
