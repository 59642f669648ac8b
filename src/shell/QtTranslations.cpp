#include "shell/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QtTranslations::QtTranslations(QString folder)
    : m_folder(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                : std::move(folder))
{
}

QtTranslations::~QtTranslations()
{
    use(false);
}

bool QtTranslations::use(bool portuguese)
{
    if (!portuguese) {
        if (m_translator)
            QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
        return true;
    }
    if (m_translator)
        return true;
    // Brazilian Portuguese first, as the captions are; then any Portuguese the system has.
    auto translator = std::make_unique<QTranslator>();
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    if (!translator->load(brazil, QStringLiteral("qtbase"), QStringLiteral("_"), m_folder) &&
        !translator->load(brazil, QStringLiteral("qt"), QStringLiteral("_"), m_folder))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    m_translator = std::move(translator);
    return true;
}
