#pragma once
// "Conversor Latitud Longitud": a point as degrees, minutes and seconds, as
// decimal degrees and as a locator; leaving any of the three forms rewrites
// the other two.

#include <QDialog>

class QLineEdit;

namespace geo {

class CoordinateConverterDialog : public QDialog {
    Q_OBJECT
public:
    explicit CoordinateConverterDialog(QWidget* parent = nullptr);

private:
    void fromDms(bool latitude);
    void fromDecimal();
    void fromLocator();
    void showDms(bool latitude, double value);
    void showDecimal(bool latitude, double value);
    void showLocator();
    double decimal(bool latitude) const;

    QLineEdit* m_deg[2];
    QLineEdit* m_min[2];
    QLineEdit* m_sec[2];
    QLineEdit* m_dec[2];
    QLineEdit* m_locator;
};

} // namespace geo
