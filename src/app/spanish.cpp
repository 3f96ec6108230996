#include "spanish.h"

#include <QCoreApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

namespace {

// Texts of Qt's file chooser that its Spanish catalogue leaves in English.
class CatalogueGaps : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        (void)disambiguation;
        (void)n;
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        if (qstrcmp(source, "Folder") == 0)
            return QStringLiteral("Carpeta");
        if (qstrcmp(source, "Drive") == 0)
            return QStringLiteral("Unidad");
        if (qstrcmp(source, "File") == 0)
            return QStringLiteral("Fichero");
        if (qstrcmp(source, "%1 File") == 0)
            return QStringLiteral("Fichero %1");
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

void preferSpanishDates()
{
    // Qt's file chooser writes dates in the system's form; the program speaks
    // Spanish whatever the desktop's language. Only the time category is set:
    // numbers keep the C form the tables are written in.
    if (!qEnvironmentVariableIsSet("LC_ALL"))
        qputenv("LC_TIME", "es_ES.UTF-8");
}

bool installSpanishTranslations(QCoreApplication* app)
{
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
    app->installTranslator(new CatalogueGaps(app));
    auto* qt = new QTranslator(app);
    if (!qt->load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    app->installTranslator(qt);
    return true;
}

QString spanishCompilerDate(const char* date)
{
    const QString text = QString::fromLatin1(date).simplified();
    const QDate d = QLocale::c().toDate(text, QStringLiteral("MMM d yyyy"));
    if (!d.isValid())
        return text;
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(d, QStringLiteral("d 'de' MMMM 'de' yyyy"));
}

} // namespace app
