// Qt's own Japanese texts (qtbase_ja.qm): the file dialog, the standard
// buttons of message boxes and the context menus of edits speak Japanese
// like the rest of the window, whatever the system's locale.
#pragma once

#include <QString>
#include <memory>

class QTranslator;

namespace corvalith {

// Where Qt keeps its translations (QLibraryInfo's translations path).
[[nodiscard]] QString QtTranslationsDirectory();

// Loads qtbase_ja.qm from `directory` and installs it in the running
// application. Returns the translator, which stays installed while the
// caller keeps it; null when the file is missing or unreadable, and Qt then
// keeps its English texts.
[[nodiscard]] std::unique_ptr<QTranslator> InstallQtJapanese(const QString& directory);

}  // namespace corvalith
