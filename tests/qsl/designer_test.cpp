// The designer of QSL formats, offscreen: what is drawn on the canvas and
// typed into the panels becomes the design text that is saved, the preview
// follows and says what is wrong with a design, a format without a design
// starts empty or from another format's, and closing asks before saving.
#include "qsl_home.h"

#include "../gui_app.h"

#include "core/scripted_messages.h"
#include "qsl/design_sample.h"
#include "qsl/views/designer_window.h"

#include <QApplication>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace qsl;

class Designer : public qsl::testing::QslHome {
protected:
    void SetUp() override
    {
        testing_support::guiApp();
        QslHome::SetUp();
        ui::setMessages(&msgs);
    }
    void TearDown() override
    {
        ui::setMessages(nullptr);
        QslHome::TearDown();
    }
    // Closes the next modal window with its button of that id ("1" keep, "2" close).
    static void thenPress(const char* id)
    {
        QTimer::singleShot(0, [id] {
            for (int i = 0; i < 100; ++i) {
                if (QWidget* w = QApplication::activeModalWidget()) {
                    if (auto* b = w->findChild<QPushButton*>(QString::fromLatin1(id)))
                        b->click();
                    return;
                }
                QApplication::processEvents();
            }
        });
    }
    ui::ScriptedMessages msgs;
};

TEST_F(Designer, WhatIsDrawnIsWhatIsSavedAndPreviewed)
{
    qso(QStringLiteral("EA3ABC"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"));
    auto design = parseDesign(emptyDesign(false));
    ASSERT_TRUE(design);
    DesignerWindow w(*design, false, designSample(false, 1, log(), nullptr), QStringLiteral("Tarjeta"));
    w.show();
    EXPECT_FALSE(w.changed());
    w.insertField(fieldExpression(QStringLiteral("d"), {"CALL", 'C', 12, 0}));
    ASSERT_EQ(w.selected(), 0);
    w.setSelectedGeometry(QRectF(10, 10, 60, 12));
    w.addItem(ItemKind::Box);
    w.setSelectedGeometry(QRectF(5, 5, 130, 80));
    EXPECT_TRUE(w.changed());

    const auto saved = parseDesign(w.text());
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->items.size(), 2u);
    EXPECT_EQ(saved->items[0].text, QStringLiteral("[Trim(d->Call)]"));
    EXPECT_EQ(saved->items[0].mm, QRectF(10, 10, 60, 12));
    EXPECT_EQ(saved->items[1].kind, ItemKind::Box);

    // the arrow keys move the chosen item half a millimetre, with Shift five
    w.selectItem(0);
    QGraphicsView* canvas = w.findChild<QGraphicsView*>();
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(canvas, &right);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
    QApplication::sendEvent(canvas, &down);
    EXPECT_EQ(w.design().items[0].mm.topLeft(), QPointF(10.5, 15));

    // the preview is the card drawn with the book's QSO: the call in ink inside its box
    w.refreshPreview();
    EXPECT_TRUE(w.previewError().isEmpty());
    const QImage img = w.previewImage();
    ASSERT_FALSE(img.isNull());
    const double k = img.width() / 140.0;
    int ink = 0;
    for (int y = int(15 * k); y < int(27 * k); ++y)
        for (int x = int(10.5 * k); x < int(70 * k); ++x)
            ink += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(ink, 20);

    // a wrong expression is named in the preview's place, and nothing else breaks
    w.insertField(QStringLiteral("[Trim(d->NoSuchField)]"));
    w.refreshPreview();
    EXPECT_TRUE(w.previewError().contains(QStringLiteral("NoSuchField"), Qt::CaseInsensitive)) << w.previewError().toStdString();
    w.removeSelected();
    w.refreshPreview();
    EXPECT_TRUE(w.previewError().isEmpty());
}

TEST_F(Designer, PageSetUpAndPageItems)
{
    auto design = parseDesign(emptyDesign(true));
    DesignerWindow w(*design, true, designSample(true, 3, nullptr, nullptr), QStringLiteral("Etiquetas"));
    Grid g;
    g.cols = 2;
    g.rows = 7;
    g.width = 99.1;
    g.height = 38.1;
    g.left = 4.6;
    g.top = 15.1;
    g.hgap = 2.5;
    w.setPage(QSizeF(210, 297), g);
    w.showPageItems(true);
    w.addItem(ItemKind::Text);
    w.showPageItems(false);
    w.addItem(ItemKind::Line);
    const auto saved = parseDesign(w.text());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->grid.perPage(), 14);
    EXPECT_DOUBLE_EQ(saved->grid.slot(1).x(), 4.6 + 99.1 + 2.5);
    ASSERT_EQ(saved->items.size(), 2u);
    EXPECT_TRUE(saved->items[0].perPage);
    EXPECT_FALSE(saved->items[1].perPage);
}

TEST_F(Designer, ANewFormatStartsFromAnotherAndClosingAsksBeforeSaving)
{
    const quint32 card = addFormat(QStringLiteral("Tarjeta"), false, shippedCardDesign());
    const quint32 fresh = addFormat(QStringLiteral("Nueva"), false, QString());

    // no design yet: the list offers an empty start and the formats that have one
    msgs.answer(2);   // the second item: "Tarjeta"
    thenPress("1");
    ASSERT_TRUE(openDesigner(*frm(), fresh, log()));
    QStringList said = msgs.take();
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.first().contains(QStringLiteral("Elije que formato de QSL quieres como base"))) << said.join('|').toStdString();
    frm()->goTo(fresh);
    EXPECT_EQ(parseDesign(frm()->memoText(QStringLiteral("FORMATO")))->items.size(), parseDesign(shippedCardDesign())->items.size());

    // closed unchanged: nothing asked, nothing written
    thenPress("2");
    EXPECT_FALSE(openDesigner(*frm(), card, log()));
    EXPECT_TRUE(msgs.take().isEmpty());

    // closed after a change, answered no: the design stays as it was
    QTimer::singleShot(0, [] {
        for (int i = 0; i < 100; ++i) {
            if (auto* d = qobject_cast<DesignerWindow*>(QApplication::activeModalWidget())) {
                d->removeSelected();
                d->selectItem(0);
                d->removeSelected();
                d->reject();
                return;
            }
            QApplication::processEvents();
        }
    });
    msgs.answer(false);
    EXPECT_FALSE(openDesigner(*frm(), card, log()));
    EXPECT_EQ(msgs.take(), QStringList{"yesNo: Desea guardar cambios -> no"});
    frm()->goTo(card);
    EXPECT_EQ(frm()->memoText(QStringLiteral("FORMATO")), shippedCardDesign());
}

} // namespace
