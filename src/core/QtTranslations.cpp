#include "core/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace QtTranslations {

bool install(QCoreApplication &app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool any = false;
    for (const char *catalogue : { "qtbase_ja", "qtmultimedia_ja" }) {
        // Owned by the application, which keeps its translators for the whole run.
        auto *translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(catalogue), folder)) {
            QCoreApplication::installTranslator(translator);
            any = true;
        } else {
            delete translator;
        }
    }
    return any;
}

} // namespace QtTranslations
