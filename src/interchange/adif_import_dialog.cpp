#include "adif_import_dialog.h"

namespace interchange {

AdifImportDialog::AdifImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent)
    : QsoImportDialog(appTitle, workDir, QStringLiteral("Importar ADIF"), QStringLiteral(".adi"),
                      QStringLiteral("ADIF (*.adi)"), parent)
{
}

AdifImportOptions AdifImportDialog::options() const
{
    AdifImportOptions o;
    fill(&o);
    return o;
}

bool adifImportDialog(const QString& appTitle, const QString& workDir, AdifImportOptions* out, QWidget* parent)
{
    AdifImportDialog dlg(appTitle, workDir, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const QString appl = out->appl;
    *out = dlg.options();
    out->appl = appl;
    return true;
}

} // namespace interchange
