#include "import_summary.h"

namespace interchange {

QString badDateTimeLine(int n)
{
    return QStringLiteral("%1 registros con fecha u hora imposible, descartados").arg(n);
}

QString interruptedLine(int n, const char* done)
{
    return QStringLiteral("Importación interrumpida por un error: %1 registros %2 antes del error; "
                          "el resto del fichero no se ha importado")
        .arg(n)
        .arg(QLatin1String(done));
}

QString indexUnwrittenLine()
{
    return QStringLiteral("Importación incompleta: los registros están en el libro, pero su índice no se ha podido "
                          "escribir; reorganice el libro antes de seguir");
}

QString importMessage(const ImportSummary& s)
{
    QString m = QStringLiteral("Se han importado %1 registros").arg(s.imported);
    if (s.badDateTime)
        m += QStringLiteral("\r\n") + badDateTimeLine(s.badDateTime);
    if (s.badCall)
        m += QStringLiteral("\r\n%1 registros sin indicativo válido, descartados").arg(s.badCall);
    if (s.longModes)
        m += QStringLiteral("\r\n%1 QSOs con un modo desconocido más largo que el campo (recortado)").arg(s.longModes);
    if (s.interrupted)
        m += QStringLiteral("\r\n") + interruptedLine(s.imported);
    else if (s.indexUnwritten)
        m += QStringLiteral("\r\n") + indexUnwrittenLine();
    return m;
}

} // namespace interchange
