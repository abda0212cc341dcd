#pragma once

#include <QList>
#include <QString>

namespace demo {

// The demo's alert sounds, made here rather than shipped: a short chime of sine notes, each
// struck after the one before and fading out, as a mono 16-bit PCM WAV file at 22,050 Hz
// (what QSoundEffect plays everywhere). `notes` are frequencies in Hz, struck `gapMs` apart;
// each note rings for `ringMs`. Returns false with the reason in *error when the file cannot
// be written (nothing is left behind then).
bool writeChime(const QString &path, const QList<double> &notes, int gapMs, int ringMs, QString *error);

// The two chimes of the demo workspace: "enquiry.wav" (new quote requests and orders, two
// rising notes) and "signup.wav" (new sign-ups, a three-note arpeggio), written into `folder`.
bool writeDemoSounds(const QString &folder, QString *error);

} // namespace demo
