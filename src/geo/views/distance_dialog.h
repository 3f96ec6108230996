#pragma once
// "Cálculo de distancias y rumbos": distance and bearing between two
// locators, by the short and the long path.

#include <QDialog>

class QLabel;
class QLineEdit;

namespace geo {

class DistanceDialog : public QDialog {
    Q_OBJECT
public:
    explicit DistanceDialog(QWidget* parent = nullptr);
    void calculate();

private:
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLabel* m_short[2];
    QLabel* m_long[2];
};

} // namespace geo
