#include "import_summary.h"

namespace interchange {

QString badDateTimeLine(int n)
{
    return QStringLiteral("%1 registros con fecha u hora imposible, descartados").arg(n);
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
    return m;
}

} // namespace interchange
