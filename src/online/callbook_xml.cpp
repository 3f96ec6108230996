#include "callbook_xml.h"

#include <QXmlStreamReader>

namespace online {

QString GETFLD(const QString& name, const QString& xml)
{
    if (name.isEmpty())
        return {};
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != name)
            continue;
        const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        return reader.hasError() ? QString() : text;
    }
    return {};
}

} // namespace online
