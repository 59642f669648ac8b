#pragma once

#include <QString>

#include <memory>

class QTranslator;

// Qt's own texts (standard buttons, the file dialog, the system's error strings) in the
// language Zorv speaks: Portuguese installs Qt's Brazilian Portuguese catalogue where the
// system has it, English takes it away. Without the catalogue Qt stays English, quietly.
class QtTranslations
{
public:
    // folder: where Qt's .qm files are; by default the folder Qt was built to look in.
    explicit QtTranslations(QString folder = {});
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // True when Qt now speaks that language: always for English, for Portuguese only when
    // the catalogue was found.
    bool use(bool portuguese);
    bool portugueseLoaded() const { return m_translator != nullptr; }

private:
    QString m_folder;
    std::unique_ptr<QTranslator> m_translator;
};
