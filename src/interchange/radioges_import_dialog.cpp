#include "radioges_import_dialog.h"

namespace interchange {

RadiogesImportDialog::RadiogesImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent)
    : QsoImportDialog(appTitle, workDir, QStringLiteral("Importar contactos desde RADIOGES"), QStringLiteral(".mdb"),
                      QStringLiteral("Radioges (*.mdb *.MDB)"), parent)
{
}

RadiogesImportOptions RadiogesImportDialog::options() const
{
    RadiogesImportOptions o;
    fill(&o);
    return o;
}

bool radiogesImportDialog(const QString& appTitle, const QString& workDir, RadiogesImportOptions* out, QWidget* parent)
{
    RadiogesImportDialog dlg(appTitle, workDir, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *out = dlg.options();
    return true;
}

} // namespace interchange
