// The import and export dialogs: controls by id, defaults, the Ok button.
#include "adif_test_support.h"

#include "interchange/adif_export_dialog.h"
#include "interchange/adif_import_dialog.h"
#include "interchange/cabrillo_export_dialog.h"
#include "ui/dialog_helpers.h"
#include "core/scripted_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

using namespace interchange;
using namespace interchange::adiftest;

namespace {

QApplication* app()
{
    static int argc = 1;
    static char name[] = "adif_dialog_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = qApp ? nullptr : new QApplication(argc, argv);
    (void)a;
    return qobject_cast<QApplication*>(qApp);
}

class AdifDialogs : public AdifHome {};

TEST_F(AdifDialogs, ImportDialogDefaultsAndOk)
{
    ASSERT_NE(app(), nullptr);
    addQso(log(), QStringLiteral("EA1AA"), QDate(2024, 1, 1));
    log()->lockRecord();
    log()->put("QRA", "IN73DM");
    log()->unlock();
    AdifImportDialog d(QStringLiteral("Orlan Win Log 1.92"), program);
    EXPECT_EQ(d.objectName(), QStringLiteral("IMPADIF"));
    auto* op = d.findChild<QLineEdit*>(QStringLiteral("600"));
    auto* loc = d.findChild<QLineEdit*>(QStringLiteral("601"));
    auto* path = d.findChild<QLineEdit*>(QStringLiteral("602"));
    auto* dup = d.findChild<QCheckBox*>(QStringLiteral("603"));
    auto* ok = d.findChild<QPushButton*>(QStringLiteral("1"));
    ASSERT_TRUE(op && loc && path && dup && ok);
    EXPECT_EQ(op->text(), QStringLiteral("EA1XX     "));        // OPRDEF, padded to 10
    EXPECT_EQ(loc->text(), QStringLiteral("IN73DM"));
    EXPECT_FALSE(dup->isChecked());
    EXPECT_FALSE(ok->isEnabled());
    path->setText(QStringLiteral("/tmp/x.adi"));
    EXPECT_TRUE(ok->isEnabled());
    dup->setChecked(true);
    const AdifImportOptions o = d.options();
    EXPECT_EQ(o.operatorCall, QStringLiteral("EA1XX"));
    EXPECT_TRUE(o.dupCheck);
    EXPECT_EQ(o.path, QStringLiteral("/tmp/x.adi"));
}

TEST_F(AdifDialogs, ExportDialogSelection)
{
    ASSERT_NE(app(), nullptr);
    AdifExportDialog d(QStringLiteral("Orlan Win Log 1.92"), program + QStringLiteral("ea1xx.adi"));
    EXPECT_EQ(d.objectName(), QStringLiteral("EXPADIF"));
    d.findChild<QLineEdit*>(QStringLiteral("600"))->setText(QStringLiteral("31-01-2024"));
    d.findChild<QComboBox*>(QStringLiteral("610"))->setCurrentIndex(2);
    d.findChild<QLineEdit*>(QStringLiteral("614"))->setText(QStringLiteral("EA1XX"));
    auto* ok = d.findChild<QPushButton*>(QStringLiteral("1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isEnabled());
    d.findChild<QLineEdit*>(QStringLiteral("602"))->setText(QStringLiteral("  "));
    EXPECT_FALSE(ok->isEnabled());
    const AdifSelection s = d.selection();
    EXPECT_EQ(s.from, QDate(2024, 1, 31));
    EXPECT_FALSE(s.to.isValid());
    EXPECT_EQ(s.qslRcvd, QStringLiteral("NO"));
    EXPECT_EQ(s.oper, QStringLiteral("EA1XX"));
}

// Dates typed in the export dialogs: the usual Spanish forms are read, and what
// cannot be read is refused instead of widening the selection to the whole log.
TEST_F(AdifDialogs, DatesAreReadInTheirSpanishFormsOrRefused)
{
    ASSERT_NE(app(), nullptr);
    EXPECT_EQ(ui::dialogDate("26102024"), QDate(2024, 10, 26));
    EXPECT_EQ(ui::dialogDate("26/10/2024"), QDate(2024, 10, 26));
    EXPECT_EQ(ui::dialogDate(" 26-10-2024 "), QDate(2024, 10, 26));
    EXPECT_EQ(ui::dialogDate("1-3-98"), QDate(1998, 3, 1));
    EXPECT_EQ(ui::dialogDate("01-01-19"), QDate(1919, 1, 1));   // two-digit years: epoch 1919
    EXPECT_EQ(ui::dialogDate("01-01-18"), QDate(2018, 1, 1));
    EXPECT_EQ(ui::dialogDate("20241027"), QDate(2024, 10, 27));   // aaaammdd when it is no ddmmaaaa
    for (const char* bad : {"31-02-24", "2024-10-26x", "26.10", "hoy", "261024 1", "32102024", "26-10-20245"})
        EXPECT_FALSE(ui::dialogDate(bad).isValid()) << bad;

    ui::ScriptedMessages msgs;
    ui::setMessages(&msgs);
    for (const char* name : {"EXPADIF", "EXPCABRILLO"}) {
        std::unique_ptr<QDialog> d;
        if (QByteArray(name) == "EXPADIF")
            d = std::make_unique<AdifExportDialog>(QStringLiteral("Orlan Win Log 1.92"), program + QStringLiteral("ea1xx.adi"));
        else
            d = std::make_unique<CabrilloExportDialog>(QStringLiteral("Orlan Win Log 1.92"), program);
        auto* from = d->findChild<QLineEdit*>(QStringLiteral("600"));
        auto* to = d->findChild<QLineEdit*>(QStringLiteral("601"));
        EXPECT_EQ(from->placeholderText(), QStringLiteral("dd-mm-aaaa")) << name;
        EXPECT_EQ(to->placeholderText(), QStringLiteral("dd-mm-aaaa")) << name;
        from->setText(QStringLiteral("26102024"));
        to->setText(QStringLiteral("31-13-2024"));
        d->show();
        d->accept();
        EXPECT_TRUE(d->isVisible()) << name << ": a date it cannot read keeps the dialog open";
        EXPECT_TRUE(msgs.take().join('\n').startsWith(QStringLiteral("stop: Fecha no válida: \"31-13-2024\""))) << name;
        to->setText(QStringLiteral("27/10/2024"));
        d->accept();
        EXPECT_EQ(d->result(), int(QDialog::Accepted)) << name;
        EXPECT_TRUE(msgs.take().isEmpty()) << name;
    }
    ui::setMessages(nullptr);
}

} // namespace
