#include "status.h"

namespace store {

QString Status::text() const
{
    if (m_osError == 0)
        return m_message;
    return m_message + QStringLiteral(" (error %1)").arg(m_osError);
}

} // namespace store
