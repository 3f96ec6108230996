#pragma once
// The designer of QSL card and label formats: the items of one card or label
// (or of the page) on a canvas in millimetres, moved and sized with the mouse,
// the arrow keys or by numbers; fonts, texts, conditions and the fields to
// print chosen beside it; the page and the sheet of labels set up in a
// dialog; and a live preview drawn by the report engine with QSOs of the book.

#include "qsl/design.h"
#include "qsl/design_sample.h"

#include <QDialog>
#include <QImage>

#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGraphicsScene;
class QGraphicsView;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

namespace store {
class WorkArea;
}

namespace qsl {

class DesignerItem;

class DesignerWindow : public QDialog {
    Q_OBJECT
public:
    DesignerWindow(const Design& design, bool label, DesignSample sample, const QString& title, QWidget* parent = nullptr);
    ~DesignerWindow() override;

    const Design& design() const { return m_design; }
    QString text() const { return designText(m_design); }
    bool changed() const { return m_changed; }

    // What the tool bar and the panels do, also for tests.
    void addItem(ItemKind kind);
    void removeSelected();
    void duplicateSelected();
    void selectItem(int index);           // -1: none
    int selected() const { return m_selected; }
    void setSelectedGeometry(const QRectF& mm);
    void moveSelected(double dx, double dy);
    void insertField(const QString& expression);
    void showPageItems(bool page);        // the canvas shows the page's own items
    void setPage(const QSizeF& page, const Grid& grid);
    void pageSetup();                     // the dialog

    // The preview as last drawn, and what the engine said about the design.
    QImage previewImage() const { return m_preview; }
    QString previewError() const { return m_previewError; }
    void refreshPreview();                // at once, rather than after the pause

    // Called by the canvas items while they are dragged or sized.
    void itemGeometryChanged(DesignerItem* item, bool finished);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* buildProperties();
    bool canvasKey(QKeyEvent* e);   // Delete and the arrows on the canvas
    void rebuildCanvas();
    void fitCanvas();
    void showProperties();
    void applyProperties();
    void touched();
    QRectF canvasArea() const;

    Design m_design;
    bool m_label;
    DesignSample m_sample;
    bool m_changed = false;
    bool m_pageItems = false;
    int m_selected = -1;
    bool m_loading = false;

    QGraphicsScene* m_scene = nullptr;
    QGraphicsView* m_view = nullptr;
    std::vector<DesignerItem*> m_boxes;
    QComboBox* m_section = nullptr;

    QDoubleSpinBox *m_x = nullptr, *m_y = nullptr, *m_w = nullptr, *m_h = nullptr;
    QLineEdit* m_text = nullptr;
    QLineEdit* m_when = nullptr;
    QFontComboBox* m_font = nullptr;
    QDoubleSpinBox* m_size = nullptr;
    QCheckBox *m_bold = nullptr, *m_italic = nullptr;
    QComboBox* m_align = nullptr;
    QDoubleSpinBox* m_pen = nullptr;
    QListWidget* m_fields = nullptr;
    QWidget* m_props = nullptr;

    QLabel* m_previewLabel = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_previewTimer = nullptr;
    QImage m_preview;
    QString m_previewError;
};

// The expression a field is inserted as: trimmed text, a date as text, a
// number without leading blanks ("[Trim(d->Call)]", "[DToC(d->QsoDate)]").
QString fieldExpression(const QString& alias, const store::FieldInfo& field);

// The designer on format record `rec` of `frm`: for a format without a design
// it first offers "Formato vacio" or a copy of another format's design; when
// the designer closes with changes it asks "Desea guardar cambios" and saves
// into FORMATO. `log` gives the QSOs of the preview. True when saved.
bool openDesigner(store::WorkArea& frm, quint32 rec, store::WorkArea* log, QWidget* parent = nullptr);

} // namespace qsl
