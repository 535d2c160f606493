#pragma once

#include "session/library/FileDialog.h"
#include "session/library/IniFile.h"
#include "session/library/SystemInfo.h"
#include "session/library/TextHelper.h"

namespace estaciones::library {

// The program's shared instances of the library objects: each is created on
// first use and lives until releaseSharedObjects() (the session's shutdown).
// Windows that want their own file dialog create a FileDialog of their own.
TextHelper& textHelper();
SystemInfo& systemInfo();
IniFile& iniFile();
FileDialog& fileDialog();

// Releases every shared instance; the next use creates a fresh one.
void releaseSharedObjects();

} // namespace estaciones::library
