#include "qso_record.h"

#include "work_area.h"

namespace store {

bool isQso(WorkArea& log)
{
    if (log.eof())
        return false;
    const QByteArray call = log.value(QStringLiteral("CALL")).bytes();
    for (char c : call)
        if (c != ' ' && c != '\0')
            return true;
    return false;
}

} // namespace store
