#include "modes.h"

#include "session_areas.h"
#include "store/codepage.h"

namespace refdata {

QHash<QByteArray, QByteArray> modeCodes()
{
    QHash<QByteArray, QByteArray> codes;
    store::WorkArea* modo = detail::sessionArea(QStringLiteral("Modo"));
    if (!modo)
        return codes;
    const int field = modo->fieldPos(QStringLiteral("CODMOD"));
    if (field < 0)
        return codes;
    const quint32 rec = modo->eof() ? 0 : modo->recNo();
    for (modo->goTop(); !modo->eof(); modo->skip()) {
        const QByteArray code = detail::trimmedBlanks(detail::fieldBytes(modo, field));
        if (!code.isEmpty())
            codes.insert(store::cp1252::upper(code), code);
    }
    if (rec)
        modo->goTo(rec);
    else
        modo->goBottom(), modo->skip();
    return codes;
}

} // namespace refdata
