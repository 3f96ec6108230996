// The Cabrillo import dialog.
#include "cabrillo_import_dialog.h"

namespace interchange {

CabrilloImportDialog::CabrilloImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent)
    : QsoImportDialog(appTitle, workDir, QStringLiteral("Importar Formato Cabrillo"), QStringLiteral(".cbr"),
                      QStringLiteral("Cabrillo (*.cbr);;Txt (*.txt);;Todos (*.*)"), parent)
{
}

CabrilloImportOptions CabrilloImportDialog::options() const
{
    CabrilloImportOptions o;
    o.path = path();
    o.operatorCall = operatorCall();
    o.locator = locator();
    o.checkDuplicates = dupCheck();
    return o;
}

bool cabrilloImportDialog(const QString& appTitle, const QString& workDir, CabrilloImportOptions* out, QWidget* parent)
{
    CabrilloImportDialog dlg(appTitle, workDir, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *out = dlg.options();
    return true;
}

} // namespace interchange
