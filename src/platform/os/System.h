#pragma once

#include <QString>

namespace estaciones::os {

// Reads an environment variable; "" when it is not set.
QString environmentVariable(const QString& name);

// "TEMP", then "TMP", then "TMPDIR", then the system's temporary folder.
// Without a trailing separator.
QString temporaryFolder();

QString machineName();
// The logged-on operating-system user.
QString userName();

// The program's own executable: full path, folder (without trailing
// separator) and file name without folder.
QString executablePath();
QString programFolder();
QString executableName();

// Per-user folders of DESIGN's fallback rules: $XDG_DATA_HOME/estaciones
// (default ~/.local/share/estaciones) and $XDG_CONFIG_HOME (default ~/.config).
QString userDataFolder();
QString userConfigFolder();

// Whether a file can be created in `folder` (tested by creating one).
bool isFolderWritable(const QString& folder);

// `folder` when writable, otherwise the per-user data folder (created when
// missing). Where the program keeps files that belong next to it.
QString writableProgramFolder(const QString& folder);

} // namespace estaciones::os
