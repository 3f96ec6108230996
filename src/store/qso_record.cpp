#include "qso_record.h"

#include "dbf_header.h"
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

bool isBlankRecord(const DbfHeader& h, const char* record)
{
    for (int i = 1; i < h.recordLen; ++i)
        if (record[i] != ' ' && record[i] != '\0')
            return false;
    return true;
}

} // namespace store
