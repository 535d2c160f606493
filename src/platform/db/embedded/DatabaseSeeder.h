#pragma once

#include "platform/db/embedded/storage/DataFolder.h"

namespace estaciones::db::sqlite {

// A database that is missing but has a seed — "<seed folder>/<name>.semilla",
// a list of script files (one per line, relative to that folder) — is built
// by running those scripts, in order, into a temporary file that is renamed
// into place only when all of them succeeded. A lock file makes a second
// process wait for the first one's result instead of seeding again.
//
// Returns false when there is no seed for `database`; throws the scripts'
// failure (leaving no database behind) when seeding fails.
//
// A seed may come with its database built ahead of time (at build time):
// "<name>.sembrada" beside "<name>.semilla", and "<name>.sembrada.huella"
// naming the database and the fingerprint of the seed it was built from.
// Seeding copies that file instead of running the scripts when it was built
// for the same name from the seed as it is now (scripts, file format).
bool seedDatabase(const DataFolder& folder, const QString& database);

// The fingerprint of a seed: its list, every script it names, the file
// format. Throws when one of them cannot be read.
QString seedFingerprint(const QString& seedFile);

// Builds the database of `seedFile` (named after it) into `output` by
// running its scripts, and writes the fingerprint file beside it. Throws
// the scripts' failure, leaving nothing behind.
void prebuildSeed(const QString& seedFile, const QString& output);

// "<seed>.sembrada" and its fingerprint file, for a seed "<seed>.semilla".
QString prebuiltOf(const QString& seedFile);
QString prebuiltFingerprintOf(const QString& seedFile);

} // namespace estaciones::db::sqlite
