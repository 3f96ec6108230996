#include "award_dialog.h"

#include "store/aliases.h"
#include "store/work_area.h"
#include "ui/dialog_helpers.h"
#include "core/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace awards {

namespace {

QComboBox* codeBox(QWidget* parent, int id, const std::vector<ui::CodeName>& codes)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::number(id));
    ui::fillCodes(box, codes);
    return box;
}

void choose(QComboBox* box, const QString& code)
{
    const int i = box->findData(code.trimmed());
    box->setCurrentIndex(i < 0 ? 0 : i);
}

bool same(const AwardDef& a, const AwardDef& b)
{
    return a.code == b.code && a.description == b.description && a.field == b.field && a.entities == b.entities
           && a.bands == b.bands && a.modes == b.modes && a.mixed == b.mixed && a.fiveBands == b.fiveBands
           && a.digital == b.digital && a.noStandard == b.noStandard;
}

} // namespace

AwardDialog::AwardDialog(const AwardDef& def, bool isNew, bool viewMode, store::WorkArea* table, QWidget* parent)
    : QDialog(parent), m_table(table), m_isNew(isNew), m_viewMode(viewMode)
{
    setObjectName(QStringLiteral("DPLCFG"));
    setWindowTitle(viewMode ? QStringLiteral("Ver diploma") : isNew ? QStringLiteral("Alta de diploma") : QStringLiteral("Editar diploma"));
    auto* top = new QVBoxLayout(this);
    auto* head = new QFormLayout;
    m_code = ui::lineEdit(this, QStringLiteral("601"), QString(), true, 8);
    m_code->setMaxLength(8);
    m_code->setEnabled(isNew);
    head->addRow(QStringLiteral("Nombre"), m_code);
    m_description = ui::lineEdit(this, QStringLiteral("602"), QString(), false, 30);
    m_description->setMaxLength(30);
    m_description->setEnabled(!viewMode);
    head->addRow(QStringLiteral("Descripción"), m_description);
    m_noStandard = new QCheckBox(QStringLiteral("No Estandar"), this);
    m_noStandard->setObjectName(QStringLiteral("628"));
    m_noStandard->setEnabled(!viewMode);
    head->addRow(QString(), m_noStandard);
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("603"));
    for (const QString& f : standardFields())
        m_field->addItem(fieldLabel(f), f);
    m_list = codeBox(this, 629, ui::tableCodes(store::alias::kDplCab, "DPLCOD", "DESC"));
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(m_field);
    fieldRow->addWidget(m_list);
    head->addRow(QStringLiteral("Campo"), fieldRow);
    top->addLayout(head);

    auto* groups = new QHBoxLayout;
    auto* entities = new QGroupBox(QStringLiteral("Entidades"), this);
    auto* el = new QVBoxLayout(entities);
    const std::vector<ui::CodeName> entityCodes = ui::tableCodes(store::alias::kEnt, "CODENT", "NOMBRE", QStringLiteral("Nombre"));
    for (int i = 0; i < 5; ++i) {
        QComboBox* b = codeBox(entities, 614 + i, entityCodes);
        b->setEnabled(!viewMode);
        m_entities << b;
        el->addWidget(b);
    }
    el->addWidget(new QLabel(QStringLiteral("En blanco= todas las entiddes"), entities));
    el->addStretch();
    groups->addWidget(entities, 2);

    auto* bands = new QGroupBox(QStringLiteral("Bandas"), this);
    auto* bl = new QGridLayout(bands);
    const std::vector<ui::CodeName> bandCodes = ui::tableCodes(store::alias::kBand, "CODBAN", "BANDA");
    std::vector<ui::CodeName> bandShown;
    for (const ui::CodeName& c : bandCodes)
        bandShown.push_back({c.code, c.code});
    for (int i = 0; i < 10; ++i) {
        QComboBox* b = codeBox(bands, 604 + i, bandShown);
        m_bands << b;
        bl->addWidget(b, i % 5, i / 5);
    }
    m_five = new QCheckBox(QStringLiteral("Calcular 5 Bandas"), bands);
    m_five->setObjectName(QStringLiteral("625"));
    bl->addWidget(m_five, 5, 0, 1, 2);
    groups->addWidget(bands, 1);

    auto* modes = new QGroupBox(QStringLiteral("Modos"), this);
    auto* ml = new QGridLayout(modes);
    std::vector<ui::CodeName> modeShown;
    for (const ui::CodeName& c : ui::tableCodes(store::alias::kModo, "CODMOD", "MODO"))
        modeShown.push_back({c.code, c.code});
    for (int i = 0; i < 6; ++i) {
        QComboBox* b = codeBox(modes, 619 + i, modeShown);
        m_modes << b;
        ml->addWidget(b, i % 3, i / 3);
    }
    m_digital = new QCheckBox(QStringLiteral("Digitales"), modes);
    m_digital->setObjectName(QStringLiteral("627"));
    ml->addWidget(m_digital, 3, 0, 1, 2);
    m_mixed = new QCheckBox(QStringLiteral("Juntar modos(MIXED)"), modes);
    m_mixed->setObjectName(QStringLiteral("626"));
    ml->addWidget(m_mixed, 4, 0, 1, 2);
    ml->setRowStretch(5, 1);
    groups->addWidget(modes, 1);
    top->addLayout(groups);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);

    show(def);
    connect(m_noStandard, &QCheckBox::toggled, this, &AwardDialog::standardChanged);
    connect(m_code, &QLineEdit::editingFinished, this, &AwardDialog::codeLeft);
}

void AwardDialog::show(const AwardDef& d)
{
    m_code->setText(d.code);
    m_description->setText(d.description);
    m_noStandard->setChecked(d.noStandard);
    choose(m_field, d.noStandard ? QString() : d.field);
    if (!d.noStandard && m_field->currentData().toString() != d.field)
        m_field->setCurrentIndex(-1);
    choose(m_list, d.noStandard ? d.field : QString());
    for (int i = 0; i < 5; ++i)
        choose(m_entities[i], i < d.entities.size() ? d.entities[i] : QString());
    for (int i = 0; i < 10; ++i)
        choose(m_bands[i], i < d.bands.size() ? d.bands[i] : QString());
    for (int i = 0; i < 6; ++i)
        choose(m_modes[i], i < d.modes.size() ? d.modes[i] : QString());
    m_five->setChecked(d.fiveBands);
    m_digital->setChecked(d.digital);
    m_mixed->setChecked(d.mixed);
    standardChanged();
}

void AwardDialog::standardChanged()
{
    m_field->setEnabled(!m_viewMode && !m_noStandard->isChecked());
    m_list->setEnabled(!m_viewMode && m_noStandard->isChecked());
}

void AwardDialog::codeLeft()
{
    if (!m_isNew || !m_table || m_code->text().trimmed().isEmpty())
        return;
    if (!CHK(*m_table, m_code->text())) {
        show(AwardDef{});
        m_code->setFocus();
    }
}

AwardDef AwardDialog::definition() const
{
    AwardDef d;
    d.code = m_code->text().trimmed().toUpper();
    d.description = m_description->text().trimmed();
    d.noStandard = m_noStandard->isChecked();
    d.field = d.noStandard ? m_list->currentData().toString() : m_field->currentData().toString();
    for (QComboBox* b : m_entities)
        if (!b->currentData().toString().trimmed().isEmpty())
            d.entities << b->currentData().toString().trimmed().rightJustified(3, u' ');
    for (QComboBox* b : m_bands) {
        const QString c = b->currentData().toString().trimmed().toUpper();
        if (!c.isEmpty() && !d.bands.contains(c))
            d.bands << c;
    }
    for (QComboBox* b : m_modes) {
        const QString c = b->currentData().toString().trimmed().toUpper();
        if (!c.isEmpty() && !d.modes.contains(c))
            d.modes << c;
    }
    d.fiveBands = m_five->isChecked();
    d.digital = m_digital->isChecked();
    d.mixed = m_mixed->isChecked();
    return d;
}

bool EDTDPLCFG(store::WorkArea* area, bool isNew, bool viewMode, QWidget* parent)
{
    if (!area)
        return false;
    const AwardDef before = isNew || area->eof() ? AwardDef{} : readDefinition(*area);
    AwardDialog d(before, isNew, viewMode, area, parent);
    for (;;) {
        if (d.exec() != QDialog::Accepted)
            return false;
        const AwardDef after = d.definition();
        if (isNew && after.code.isEmpty()) {
            ui::messages().alert(QStringLiteral("Falta el código del diploma"));
            continue;
        }
        if (isNew && !CHK(*area, after.code))
            continue;
        if (same(before, after))
            return true;
        const store::Status s = isNew ? area->append() : area->lockRecord();
        if (!s.isOk()) {
            ui::messages().stop(QStringLiteral("No se ha podido guardar el diploma: ") + s.text());
            return false;
        }
        writeDefinition(*area, after);
        area->unlock();
        return true;
    }
}

} // namespace awards
