#pragma once

#include <QString>

namespace demo {

// Small but real files for the attachments of requests that arrive while the demo runs, so that
// opening or downloading one in the console gives a file its program can show.
namespace DemoFiles {

// The name a sample attachment arrives under: kinds this code cannot make for real take a kind
// it can (".docx" and ".zip" become ".pdf", ".xlsx" becomes ".csv"); other names stay.
QString arrivingName(const QString &sampleName);

// Writes a file of the kind its extension names: ".pdf" a one-page PDF showing `title`,
// ".jpg"/".jpeg"/".png" a small picture, ".csv" a few rows, anything else plain text naming
// `title`. Creates the folder. Returns false with the reason in *error.
bool write(const QString &path, const QString &title, QString *error);

} // namespace DemoFiles

} // namespace demo
