#pragma once
// The format management window "WrkRptQsl" (WRKRPTQSL, "Formatos de QSL"):
// the label formats and the card formats of FrmQsl in two pages, with the
// format dialog FRMQSL and the export and import of ".q7q" files.

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QToolBar;

namespace store {
class WorkArea;
}

namespace ui {
class GridPanel;
}

namespace qsl {

class FormatWindow : public QWidget {
    Q_OBJECT
public:
    // Null when the format table is not open.
    static FormatWindow* open(QWidget* parent = nullptr);

    QTabWidget* pages() const { return m_pages; }
    ui::GridPanel* panel(int page) const { return page == 0 ? m_labels : m_cards; }
    ui::GridPanel* currentPanel() const;
    QAction* action(const QString& id) const;

    void add();
    void edit();
    void remove();
    void exportFormat();
    void importFormat();
    void designer();

private:
    FormatWindow(store::WorkArea* labels, store::WorkArea* cards, QWidget* parent);
    ui::GridPanel* makePage(store::WorkArea* area);
    void refreshAll();

    QTabWidget* m_pages = nullptr;
    ui::GridPanel* m_labels = nullptr;
    ui::GridPanel* m_cards = nullptr;
    QToolBar* m_bar = nullptr;
};

// FRMQSL: "Formatos QSL" over the current record of `frm` (or a new one,
// label format preset as asked). Writes on OK when something changed.
class FormatDialog : public QDialog {
    Q_OBJECT
public:
    FormatDialog(store::WorkArea* frm, bool isNew, bool label, QWidget* parent = nullptr);
    QLineEdit* edit(int id) const;   // 600, 603..607
    QCheckBox* labelBox() const { return m_label; }
    QSpinBox* spin(int id) const;    // 602, 608
    // Whether the last OK wrote the record.
    bool written() const { return m_written; }

    void accept() override;

private:
    void updateLabelFields();

    store::WorkArea* m_frm;
    bool m_new;
    bool m_written = false;
    QLineEdit* m_desc;
    QCheckBox* m_label;
    QSpinBox *m_perLabel, *m_perSheet;
};

// QSLFRMEXP and QSLFRMIMP with their dialogs.
void QSLFRMEXP(store::WorkArea& frm, QWidget* parent = nullptr);
bool QSLFRMIMP(store::WorkArea& frm, QWidget* parent = nullptr);

} // namespace qsl
