#pragma once
// A drop-down list bound to a text field of an edit buffer: it shows the
// field's value (a value outside the list, such as a blank, is shown as an
// extra first item) and writes the chosen item back as it changes. Values and shown texts may differ.

#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

namespace store {
class RecordBuffer;
}

namespace refdata {

QComboBox* zoneBox(QWidget* parent, const QString& id, store::RecordBuffer* buffer, const QString& field,
                   const QStringList& values, const QStringList& shown = {});

} // namespace refdata
