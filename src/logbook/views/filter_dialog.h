#pragma once
// The filter dialog of the QSO grids ("Filtrar "): every criterion of a
// selection as a control with the program's id. The dialog only collects the
// criteria; the selection itself is made by the log filter.

#include <QDialog>
#include <QMap>
#include <QString>

namespace logbook {

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    // criteria: the values kept from the last filter, by name (see values()).
    explicit FilterDialog(const QMap<QString, QString>& criteria, bool advancedAvailable, QWidget* parent = nullptr);

    // The criteria typed, by name: call, from, to (dates as dd-mm-aaaa), mode, band,
    // cont, entity, iota, grid, cqz, ituz, qslRcvd ("SI"/"NO"), qslSent, qslVia,
    // operator, province, qslMode (codes), exchange ("1", "2", "3").
    QMap<QString, QString> values() const;
    // How the dialog ended: "&Filtrar" (Accepted), "&Filtro avanzado" or "&Cancelar".
    bool advancedChosen() const { return m_advanced; }

    void clearFields();

private:
    void load(const QMap<QString, QString>& criteria);
    bool m_advanced = false;
};

} // namespace logbook
