#include "reports/views/band_mode_dialog.h"

#include "store/aliases.h"
#include "ui/dialog_helpers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

namespace {

// A group of `count` lists of the codes, two rows, the note underneath.
QGroupBox* listGroup(const QString& title, const QString& note, int count, int firstId,
                     const std::vector<ui::CodeName>& codes, std::vector<QComboBox*>* out, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    const int perRow = (count + 1) / 2;
    for (int i = 0; i < count; ++i) {
        auto* list = new QComboBox(box);
        list->setObjectName(QString::number(firstId + i));
        list->addItem(QString());
        for (const ui::CodeName& c : codes)
            list->addItem(c.code.trimmed(), c.code);
        list->setMinimumContentsLength(7);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        grid->addWidget(list, i / perRow, i % perRow);
        out->push_back(list);
    }
    auto* hint = new QLabel(note, box);
    grid->addWidget(hint, 2, 0, 1, perRow);
    return box;
}

QStringList chosen(const std::vector<QComboBox*>& lists)
{
    QStringList v;
    for (QComboBox* l : lists)
        v << l->currentText();
    return v;
}

} // namespace

BandModeDialog::BandModeDialog(const QString& title, std::function<void(const BandModeChoice&)> action, QWidget* parent)
    : QDialog(parent)
    , m_action(std::move(action))
{
    setWindowTitle(title);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(listGroup(QStringLiteral("Bandas"), QStringLiteral("En blanco = todas las bandas"), 10, 604,
                             ui::tableCodes(store::alias::kBand, "CODBAN", "CODBAN"), &m_bands, this));
    lay->addWidget(listGroup(QStringLiteral("Modos"), QStringLiteral("En blanco = todos los modos"), 6, 619,
                             ui::tableCodes(store::alias::kModo, "CODMOD", "CODMOD"), &m_modes, this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    cancel->setObjectName(QStringLiteral("2"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    lay->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (m_action)
            m_action(choice());
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

BandModeChoice BandModeDialog::choice() const
{
    return BandModeChoice::of(chosen(m_bands), chosen(m_modes));
}

void CMNPMT(const std::function<void(const BandModeChoice&)>& action, const QString& title, QWidget* parent)
{
    BandModeDialog d(title, action, parent);
    d.exec();
}

} // namespace reports
