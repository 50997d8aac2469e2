// The game's 8-bit character set, Windows-1252, and its link to Unicode: the
// one table that the text printer, the window's typed characters and the
// name entry share.
#pragma once

// The Unicode character a code stands for; a code the set leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stands for the control character of the same
// number, as fonts expect.
char32_t cp1252tounicode(unsigned char code);

// The code of a Unicode character, or 0 when the set has none for it. Only
// printable characters have one: controls and the unassigned codes give 0.
int unicodetocp1252(char32_t c);

// Whether a code 0..255 names a character of the set (every code but the five
// unassigned ones).
bool cp1252assigned(int code);
