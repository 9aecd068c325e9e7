// Loading Qt's Japanese translation.
#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace corvalith {

QString QtTranslationsDirectory() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

std::unique_ptr<QTranslator> InstallQtJapanese(const QString& directory) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), directory)) return nullptr;
    if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
    return translator;
}

}  // namespace corvalith
