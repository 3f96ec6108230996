#pragma once
// The transfer dialog (LIBTRAS): which QSOs of the current book to copy and
// the book they go to.

#include "logbook/transfer.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace logbook {

class TransferDialog : public QDialog {
    Q_OBJECT
public:
    explicit TransferDialog(QWidget* parent = nullptr);

    TransferCriteria criteria() const;

    // Refuses to close while a date field holds no date.
    void accept() override;

private:
    QLineEdit* m_from = nullptr;
    QLineEdit* m_until = nullptr;
    QComboBox* m_band = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_qslReceived = nullptr;
    QComboBox* m_qslSent = nullptr;
    QLineEdit* m_operator = nullptr;
    QComboBox* m_destination = nullptr;
};

// LIBTRAS: the dialog, then the copy in the progress box and the count of
// QSOs copied.
void LIBTRAS(QWidget* parent = nullptr);

} // namespace logbook
