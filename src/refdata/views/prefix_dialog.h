#pragma once
// The prefix form: prefix or full call, zones and locator of one record of
// the prefix table, placed over the row it edits.

#include <QDialog>

namespace store {
class WorkArea;
}

namespace refdata {

class PrefixDialog : public QDialog {
    Q_OBJECT
public:
    // A new prefix starts empty with the entity's code; otherwise the
    // prefixes' current record is edited.
    PrefixDialog(store::WorkArea* prefixes, bool isNew, const QString& entityCode, QWidget* parent = nullptr);
    ~PrefixDialog() override;

    // Shows the form; on "&Ok" writes the prefix when it was changed. True when written.
    bool run();

private:
    struct Form;
    Form* m_form;
};

} // namespace refdata
