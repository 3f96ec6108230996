#pragma once
// EDTDPLCFG: the award edit dialog ("DPLCFG") over the current record of the
// award table, or, in view mode, over the one-record working copy DplTmp
// (only bands, modes and the three options can be changed there).

#include "awards/award_definition.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace store {
class WorkArea;
}

namespace awards {

class AwardDialog : public QDialog {
    Q_OBJECT
public:
    AwardDialog(const AwardDef& def, bool isNew, bool viewMode, store::WorkArea* table, QWidget* parent = nullptr);
    AwardDef definition() const;

private:
    void show(const AwardDef& def);
    void codeLeft();
    void standardChanged();
    QLineEdit* m_code;
    QLineEdit* m_description;
    QCheckBox* m_noStandard;
    QComboBox* m_field;
    QComboBox* m_list;
    QList<QComboBox*> m_entities, m_bands, m_modes;
    QCheckBox *m_five, *m_digital, *m_mixed;
    store::WorkArea* m_table;
    bool m_isNew, m_viewMode;
};

// Edits the area's current record (a new one, appended on "&OK", with isNew);
// writes only what changed. True when closed with "&OK".
bool EDTDPLCFG(store::WorkArea* area, bool isNew, bool viewMode, QWidget* parent = nullptr);

} // namespace awards
