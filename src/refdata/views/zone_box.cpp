#include "zone_box.h"

#include "store/record_buffer.h"

#include <QComboBox>

namespace refdata {

QComboBox* zoneBox(QWidget* parent, const QString& id, store::RecordBuffer* buffer, const QString& field,
                   const QStringList& values, const QStringList& shown)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(id);
    for (int i = 0; i < values.size(); ++i)
        box->addItem(i < shown.size() ? shown[i] : values[i], values[i]);
    const QString current = buffer->get(field).toString();
    int at = box->findData(current);
    if (at < 0)
        at = box->findData(current.trimmed());
    if (at < 0) {
        // a value outside the list (blank in a new record) stays what it is until a choice
        box->insertItem(0, current.trimmed(), current);
        at = 0;
    }
    box->setCurrentIndex(at);
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box, buffer, field] {
        buffer->set(field, store::Value::text(box->currentData().toString()));
    });
    return box;
}

} // namespace refdata
