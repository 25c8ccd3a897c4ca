#pragma once
// The few platform services the translation layer needs, kept apart so that
// everything else in it builds and is tested natively. One implementation per
// platform: PlatformWin.cpp (the program) and PlatformPosix.cpp (native tests).
#include "TextRules.h"

#include <string>

#ifdef _WIN32
#include "base/WinFiles.h"
#endif

namespace i18n_platform {

extern const char kPathDelimiter;

// LANG and the user's and thread's locale, as the platform reports them.
TLocaleFacts GatherLocaleFacts();

// The directory of the running executable, ending in a path delimiter.
std::string ExecutableDir();

#ifdef _WIN32
// The program's one existence test.
using ::IsExistingFile;
#else
// A file, not a directory, exists under `path`; an empty path names nothing.
bool IsExistingFile(const std::string& path);
#endif

// The whole catalog file; false when it cannot be opened or read.
bool ReadCatalogFile(const std::string& path, std::string& out);

// Between the program's 8-bit texts and the catalogs' UTF-8.
std::string AnsiToUtf8(const std::string& text);
std::string Utf8ToAnsi(const std::string& text);

// The box about a catalog that does not declare UTF-8: no owner, OK only.
void ShowLocalizationProblem(const std::string& caption, const std::string& text);

// The error box for a failure met while a standard text was being loaded,
// where no event handler is there to report it.
void ShowError(const std::string& message);

}  // namespace i18n_platform
