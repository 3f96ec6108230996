#include "qso_import_dialog.h"
#include "adif_import.h"

#include "import_defaults.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace interchange {

QsoImportDialog::QsoImportDialog(const QString& appTitle, const QString& workDir, const QString& title,
                                 const QString& extension, const QString& filter, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("IMPADIF"));
    setWindowTitle(title);
    auto* lay = new QVBoxLayout(this);
    auto* defaults = new QGroupBox(QStringLiteral("Valores por defecto"), this);
    defaults->setObjectName(QStringLiteral("4003"));
    auto* form = new QFormLayout(defaults);
    m_operator = new QLineEdit(defaults);
    m_operator->setObjectName(QStringLiteral("600"));
    m_locator = new QLineEdit(defaults);
    m_locator->setObjectName(QStringLiteral("601"));
    form->addRow(QStringLiteral("Operador   "), m_operator);
    form->addRow(QStringLiteral("Locator"), m_locator);
    lay->addWidget(defaults);

    const ImportDefaults d = importDefaults();
    m_oprDef = d.oprDef;
    m_operator->setText(d.operatorCall.leftJustified(10, QLatin1Char(' ')));
    m_locator->setText(d.locator);
    ui::keepUpperCase(m_operator);

    // The chooser starts in the folder of the file named, else where a file of
    // this kind was last chosen, else in the working folder, proposing the book's name.
    // (a Radioges database is named after its book: "LibroDe" + the name)
    const bool radioges = extension == QLatin1String(".mdb");
    const QString proposed = (radioges ? QStringLiteral("LibroDe") : QString()) + d.book.toLower() + extension;
    const QString kind = extension == QLatin1String(".cbr") ? QStringLiteral("cabrillo")
                         : radioges                        ? QStringLiteral("radioges")
                                                           : QStringLiteral("adif");
    m_path = ui::addPathChooser(lay, QStringLiteral("Fichero a importar"), QStringLiteral("602"),
                                [this, appTitle, workDir, proposed, filter, kind](const QString& current) {
                                    return ui::chooseFile(this, ui::ChooseMode::Open, kind,
                                                          appTitle + QStringLiteral(" Seleccione carpeta y nombre de fichero"),
                                                          current, proposed, filter, workDir);
                                });
    m_dup = new QCheckBox(QStringLiteral("Comprobar dubplicados. No importarlos"), this);
    m_dup->setObjectName(QStringLiteral("603"));
    lay->addWidget(m_dup);
    ui::addOkCancel(this, lay, m_path);
}

QString QsoImportDialog::path() const { return m_path->text().trimmed(); }
QString QsoImportDialog::operatorCall() const { return m_operator->text().trimmed().toUpper(); }
QString QsoImportDialog::locator() const { return m_locator->text().trimmed().toUpper(); }
bool QsoImportDialog::dupCheck() const { return m_dup->isChecked(); }

void QsoImportDialog::fill(QsoImportOptions* o) const
{
    o->path = path();
    o->operatorCall = operatorCall();
    o->locator = locator();
    o->dupCheck = dupCheck();
    o->defaultOperator = oprDef();
}

} // namespace interchange
