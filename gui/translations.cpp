#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Velmira {

void installTranslations(QCoreApplication &app)
{
    const QLocale locale;
    const std::pair<const char *, QString> catalogues[] = {
        {"qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
        {"velmira", QStringLiteral(":/velmira/i18n")}};
    for (const auto &[name, folder] : catalogues) {
        auto *translator = new QTranslator(&app);
        if (translator->load(locale, QLatin1String(name), QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace Velmira
