// The import and export dialogs: controls by id, defaults, the Ok button.
#include "adif_test_support.h"

#include "interchange/adif_export_dialog.h"
#include "interchange/adif_import_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

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
    EXPECT_EQ(adifDialogDate(QStringLiteral("01-03-98")), QDate(1998, 3, 1));
}

} // namespace
