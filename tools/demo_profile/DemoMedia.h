#pragma once
// Small media files of every kind the recogniser knows, made in code for the demo profile.
#include <QByteArray>
#include <QColor>

namespace zorvak::demo {

// A 2-frame animated GIF89a (a blinking face), drawn and LZW-encoded here.
QByteArray MakeAnimatedGif(int size, QColor face);
// Pictures drawn with QPainter and written by Qt's image writers.
QByteArray MakePicture(const char *format, int width, int height, QColor base, int seed); // "png", "jpg", "bmp", "tif", "ico"
// A cursor file: the icon layout with type 2 and a hot spot.
QByteArray MakeCursor(int size, QColor base);
// A JPEG (JFIF) padded with a comment segment to exactly `size` bytes; empty when the picture
// alone is larger.
QByteArray MakeJpegOfSize(int width, int height, QColor base, int seed, int size);
// A compressed ("CWS") Flash movie: frame size, rate, frame count and a background colour.
QByteArray MakeFlash(int width, int height, int frames, QColor background);
// Sounds: a RIFF wave of a short tone, a MIDI file of a few notes, an ID3-tagged MPEG audio stub,
// and an ASF header object.
QByteArray MakeWave(double seconds, int frequency);
QByteArray MakeMidi();
QByteArray MakeMp3();
QByteArray MakeAsf();

} // namespace zorvak::demo
