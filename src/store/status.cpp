#include "status.h"

#include "os_error.h"

namespace store {

QString Status::text() const
{
    if (m_osError == 0)
        return m_message;
    return m_message + QStringLiteral(": ") + osErrorText(m_osError);
}

} // namespace store
