#pragma once

#include <QString>

#include <optional>

// A value of the caller window may name a document: a contract, a scanned card, a photo.
// The values come from a database that others fill in, so a value is opened only when it
// is the full path of an existing file of a document type (pictures, sound, video, PDF,
// plain text, office documents). A program, a script, a desktop launcher or anything else
// the desktop might run is never opened, whatever its name says.
namespace CellDocument {

// The file to open for a cell text (blanks around it ignored), or none.
std::optional<QString> path(const QString& cellText);

} // namespace CellDocument
