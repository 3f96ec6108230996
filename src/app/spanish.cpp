#include "spanish.h"

#include <QCoreApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installSpanishTranslations(QCoreApplication* app)
{
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
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
