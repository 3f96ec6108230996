// The Cabrillo export dialog and command.
#include "cabrillo_export_dialog.h"

#include "cabrillo_editor.h"
#include "import_defaults.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"
#include "core/messages.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace interchange {

namespace {

QLineEdit* edit(QWidget* parent, const char* id, int maxLength = 0)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(id));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QComboBox* combo(QWidget* parent, const char* id, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(id));
    c->addItems(items);
    c->setCurrentIndex(0);
    return c;
}

} // namespace

CabrilloExportDialog::CabrilloExportDialog(const QString& appTitle, const QString& workDir, QWidget* parent)
    : QDialog(parent), m_appTitle(appTitle)
{
    setObjectName(QStringLiteral("EXPCABRILLO"));
    setWindowTitle(QStringLiteral("Exportar a Cabrillo"));
    auto* lay = new QVBoxLayout(this);

    auto* range = new QGroupBox(QStringLiteral("Rango de fechas a exportar"), this);
    auto* rangeForm = new QFormLayout(range);
    m_from = ui::dateEdit(range, QStringLiteral("600"));
    m_to = ui::dateEdit(range, QStringLiteral("601"));
    rangeForm->addRow(QStringLiteral("Desde"), m_from);
    rangeForm->addRow(QStringLiteral("Hasta"), m_to);
    lay->addWidget(range);

    auto* form = new QFormLayout;
    m_contest = combo(this, "603", cabrilloContests());
    m_category = combo(this, "604", cabrilloCategories());
    m_band = combo(this, "605", cabrilloBands());
    m_power = combo(this, "606", cabrilloPowers());
    m_call = edit(this, "607", 10);
    ui::keepUpperCase(m_call);
    m_name = edit(this, "608", 20);
    form->addRow(QStringLiteral("Concurso"), m_contest);
    form->addRow(QStringLiteral("Categoria"), m_category);
    form->addRow(QStringLiteral("Banda"), m_band);
    form->addRow(QStringLiteral("Potencia"), m_power);
    form->addRow(QStringLiteral("Indicativo"), m_call);
    form->addRow(QStringLiteral("Nombre"), m_name);
    lay->addLayout(form);

    auto* address = new QGroupBox(QStringLiteral("Dirección"), this);
    auto* addressLay = new QVBoxLayout(address);
    auto* soap = new QGroupBox(QStringLiteral("SoapBox"), this);
    auto* soapLay = new QVBoxLayout(soap);
    m_address[0] = edit(address, "609", 35);
    m_address[1] = edit(address, "610", 35);
    m_soapbox[0] = edit(soap, "611", 50);
    m_soapbox[1] = edit(soap, "612", 50);
    addressLay->addWidget(m_address[0]);
    addressLay->addWidget(m_address[1]);
    soapLay->addWidget(m_soapbox[0]);
    soapLay->addWidget(m_soapbox[1]);
    lay->addWidget(address);
    lay->addWidget(soap);

    m_path = ui::addPathChooser(lay, QStringLiteral("Destino"), QStringLiteral("602"), [this](const QString& current) {
        return ui::chooseFile(this, ui::ChooseMode::Save, QStringLiteral("cabrillo"),
                              m_appTitle + QStringLiteral(" Seleccione carpeta y nombre de fichero"), current, QString(),
                              QStringLiteral("Cabrillo (*.cbr)"), QDir::homePath());
    });
    m_ok = ui::addOkCancel(this, lay, m_path);

    // Defaults: the book's operator (else its name) and "<book>.cbr" in the working folder.
    const ImportDefaults d = importDefaults();
    const QString book = d.book;
    if (!d.operatorCall.isEmpty())
        m_call->setText(d.operatorCall.leftJustified(10, QLatin1Char(' ')).left(10));
    if (!book.isEmpty())
        m_path->setText(QDir(ui::lastFolder(QStringLiteral("cabrillo"), workDir)).filePath(book.toLower() + QStringLiteral(".cbr")));
}

void CabrilloExportDialog::accept()
{
    if (ui::datesReadable({m_from, m_to}))
        QDialog::accept();
}

CabrilloExport CabrilloExportDialog::job() const
{
    CabrilloExport e;
    e.header.createdBy = m_appTitle;
    e.header.contest = m_contest->currentText();
    e.header.category = m_category->currentText();
    e.header.band = m_band->currentText();
    e.header.power = m_power->currentText();
    e.header.call = m_call->text().toUpper();
    e.header.name = m_name->text();
    e.header.address1 = m_address[0]->text();
    e.header.address2 = m_address[1]->text();
    e.header.soapbox1 = m_soapbox[0]->text();
    e.header.soapbox2 = m_soapbox[1]->text();
    e.from = ui::dialogDate(m_from->text());
    e.to = ui::dialogDate(m_to->text());
    e.path = m_path->text().trimmed();
    return e;
}

int EXPCABRILLO(const QString& appName, const QString& appVersion, const QString& workDir, QWidget* parent)
{
    CabrilloExportDialog dlg(appName + QLatin1Char(' ') + appVersion, workDir, parent);
    if (dlg.exec() != QDialog::Accepted)
        return -1;
    CabrilloExport e = dlg.job();
    if (e.header.contest == QLatin1String("EA-MAJESTAD-SSB")) {
        QString prov;
        if (!ui::messages().input(QStringLiteral("Introduce tu matricula de provincia"), QStringLiteral("Matricula de provincia"),
                                  &prov, ui::InputFormat::UpperCase))
            return -1;
        e.province = prov.trimmed().toUpper().left(2);
    }
    const int n = writeCabrillo(e);
    if (n >= 0 && askEditCabrillo(n, appName))
        EDITACABRILLO(e.path, parent);
    return n;
}

} // namespace interchange
