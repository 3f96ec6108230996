// The wait box and the progress box as the user sees them: what was painted
// while the work ran, and how the meter stands when the work ends.
#include "ui/gui_messages.h"

#include <QApplication>
#include <QDialog>
#include <QExposeEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace ui {
namespace {

// Records the texts of the labels and the meters (in percent) as they are
// painted. Like a window manager, it lets a new window be exposed only a
// while after it was shown.
struct Screen : QObject {
    Screen() { qApp->installEventFilter(this); }
    ~Screen() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            if (auto* l = qobject_cast<QLabel*>(o))
                labels << l->text();
            else if (auto* b = qobject_cast<QProgressBar*>(o))
                meters << b->value() * 100 / qMax(1, b->maximum());
        }
        if (e->type() == QEvent::Expose && !exposing) {
            auto* w = qobject_cast<QWindow*>(o);
            if (w && !w->isVisible())   // a window going away is not held back
                return false;
            QTimer::singleShot(100, this, [this, w = QPointer<QWindow>(w)] {
                if (!w)
                    return;
                exposing = true;
                QExposeEvent late(QRegion(QRect(QPoint(), w->size())));
                QCoreApplication::sendEvent(w, &late);
                exposing = false;
            });
            return true;
        }
        return false;
    }
    static QWidget* shown(const char* name)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }
    QStringList labels;
    QList<int> meters;
    bool exposing = false;
};

class GuiMessagesTest : public ::testing::Test {
protected:
    GuiMessages msgs{nullptr, QStringLiteral("Orlan Win Log 1.92")};
    Screen screen;
};

TEST_F(GuiMessagesTest, WaitBoxIsPaintedBeforeTheWorkStarts)
{
    QStringList seen;
    QString title;
    msgs.wait(QStringLiteral("Exportando a formato cabrillo"), QStringLiteral("Espere ..."), [&] {
        seen = screen.labels;
        if (QWidget* w = Screen::shown("WAIT"))
            title = w->windowTitle();
    });
    EXPECT_TRUE(seen.contains("Exportando a formato cabrillo")) << seen.join('|').toStdString();
    EXPECT_EQ(title, "Espere ...");
    EXPECT_EQ(Screen::shown("WAIT"), nullptr);
}

TEST_F(GuiMessagesTest, MeterIsPaintedFirstAndShowsTheEndBeforeClosing)
{
    QStringList seen;
    QString cancel;
    const bool cancelled = msgs.meter(
        [&](Meter& m) {
            seen = screen.labels;
            if (QWidget* w = Screen::shown("MSGMETER"))
                cancel = w->findChild<QPushButton*>()->text();
            m.setTotal(1000);
            m.setPosition(120);   // a short job: over before the meter moves again
        },
        QStringLiteral("Importando..."));
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(seen.contains("Importando...")) << seen.join('|').toStdString();
    EXPECT_EQ(cancel, "&Cancelar");
    ASSERT_FALSE(screen.meters.isEmpty());
    EXPECT_EQ(screen.meters.last(), 100);
    EXPECT_EQ(Screen::shown("MSGMETER"), nullptr);
}

TEST_F(GuiMessagesTest, MeterBehindAMessageShowsTheLastPosition)
{
    // The closing message of an import comes from inside the work, with the box behind it.
    int behind = -1;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                behind = screen.meters.isEmpty() ? -1 : screen.meters.last();
                box->accept();
            }
    });
    answer.start(10);
    msgs.meter([&](Meter& m) {
        m.setTotal(1000);
        m.setPosition(120);
        m.setPosition(1000);
        msgs.info(QStringLiteral("Se han importado 3 registros"));
    });
    EXPECT_EQ(behind, 100);

    // A cancelled job is not shown as done.
    screen.meters.clear();
    EXPECT_TRUE(msgs.meter([&](Meter& m) {
        m.setTotal(1000);
        m.setPosition(120);
        Screen::shown("MSGMETER")->findChild<QPushButton*>()->click();
        EXPECT_TRUE(m.cancelled());
    }));
    ASSERT_FALSE(screen.meters.isEmpty());
    EXPECT_EQ(screen.meters.last(), 12);
}

} // namespace
} // namespace ui

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
