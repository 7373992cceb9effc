#pragma once

#include <memory>

#include "formats/FileImport.h"

namespace quillon::exchange {

// A Tellico video collection: a .tc zip holding tellico.xml and images/, or the XML alone. begin()
// reads the XML as far as the preview's rows; the whole XML is read and every picture of the zip
// checked (read, its checksum compared) before anything changes, so a damaged collection fails
// with the line or entry named and nothing changed. Fields map by name (title, year, certification,
// genre, director, producer, writer, cast and actresses, running-time, color, comments, the cover
// and a second picture); every other field with a value goes into the notes. Pictures are stored as
// the forms store them, made ready on the picture pool ahead of the records that need them; linked
// pictures are told, never fetched.
std::unique_ptr<FileImport> makeTellicoImport(ManagedObjectContext& context, QIODevice* device,
                                              const ImportOptions& options);

}  // namespace quillon::exchange
