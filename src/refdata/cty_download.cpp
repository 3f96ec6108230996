#include "cty_download.h"

#include "cty_import.h"
#include "session_areas.h"

#include "core/messages.h"
#include "online/download.h"
#include "online/endpoints.h"
#include "store/workspace.h"

#include <QDir>

namespace refdata {

QString ctyDownloadUrl()
{
    return online::joinUrl(online::endpoint(online::Endpoint::CtyPublisher), QStringLiteral("/cty/cty.dat"));
}

QString ctyTextProblem(const QByteArray& text, int activeEntities)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("El fichero CTY.DAT descargado está vacío");
    if (!trimmed.endsWith(';'))
        return QStringLiteral("El fichero CTY.DAT descargado está incompleto: su última entidad no termina en \";\"");
    CtyReader reader(text);
    CtyRecord record;
    int records = 0;
    while (reader.next(&record))
        ++records;
    if (records == 0)
        return QStringLiteral("El fichero descargado no es un CTY.DAT: no contiene ninguna entidad");
    if (records * 2 < activeEntities)
        return QStringLiteral("El fichero CTY.DAT descargado está incompleto: trae %1 entidades y la tabla tiene %2 activas")
            .arg(records)
            .arg(activeEntities);
    return {};
}

int activeEntityCount()
{
    store::WorkArea* ent = detail::sessionArea(QStringLiteral("ENT"));
    if (!ent)
        return 0;
    const quint32 at = ent->recNo();
    const int sit = ent->fieldPos(QStringLiteral("SIT"));
    int count = 0;
    for (ent->goTop(); !ent->eof(); ent->skip()) {
        const QString s = sit >= 0 ? ent->str(QStringLiteral("SIT")).trimmed().toUpper() : QString();
        if (s != QLatin1String("B") && s != QLatin1String("D"))
            ++count;
    }
    ent->goTo(at);
    return count;
}

QString CTYINETIMP(const QString& url)
{
    const QString source = url.trimmed().isEmpty() ? ctyDownloadUrl() : url.trimmed();
    const QString target = store::Workspace::instance().programDir() + QStringLiteral("cty.dat");
    const int active = activeEntityCount();
    const online::DownloadResult r = online::downloadToFile(
        source, target, [active](const QByteArray& body) { return ctyTextProblem(body, active); });
    return r.ok ? QString() : r.error;
}

bool downloadAndImportCty(ui::Meter& meter, const QString& url, CtyImportResult* result, QString* problem)
{
    meter.setText(QStringLiteral("Descargando fichero CTY.DAT de internet"));
    *problem = CTYINETIMP(url);
    if (!problem->isEmpty())
        return false;
    return CTYIMP(meter, false, QString(), result);
}

} // namespace refdata
