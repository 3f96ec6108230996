#include "adif_export_dialog.h"

#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"

#include "store/work_area.h"
#include "store/workspace.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace interchange {

namespace {

// A list filled from a table: empty entry first, shown field, value field as data.
QComboBox* tableList(QWidget* parent, const char* id, const char* alias, const char* value, const char* shown)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(id));
    c->addItem(QString(), QString());
    if (store::WorkArea* a = store::Workspace::instance().area(QString::fromLatin1(alias))) {
        const quint32 rec = a->recNo();
        const bool eof = a->eof();
        for (a->goTop(); !a->eof(); a->skip())
            c->addItem(a->str(QString::fromLatin1(shown)).trimmed(), a->str(QString::fromLatin1(value)));
        if (!eof)
            a->goTo(rec);
    }
    return c;
}

QComboBox* yesNoList(QWidget* parent, const char* id)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(id));
    c->addItems({QStringLiteral(" "), QStringLiteral("SI"), QStringLiteral("NO")});
    return c;
}

} // namespace

AdifExportDialog::AdifExportDialog(const QString& appTitle, const QString& proposedPath, QWidget* parent)
    : QDialog(parent), m_appTitle(appTitle)
{
    setObjectName(QStringLiteral("EXPADIF"));
    setWindowTitle(QStringLiteral("Exportar formato ADIF"));
    auto* lay = new QVBoxLayout(this);
    auto* range = new QGroupBox(QStringLiteral("Rango de fechas a exportar"), this);
    auto* rf = new QFormLayout(range);
    m_from = ui::dateEdit(range, QStringLiteral("600"));
    m_to = ui::dateEdit(range, QStringLiteral("601"));
    rf->addRow(QStringLiteral("Desde"), m_from);
    rf->addRow(QStringLiteral("Hasta"), m_to);
    lay->addWidget(range);

    auto* form = new QFormLayout;
    m_band = tableList(this, "604", "Band", "CodBan", "Banda");
    m_mode = tableList(this, "603", "Modo", "CodMod", "Modo");
    m_qslRcvd = yesNoList(this, "610");
    m_qslSent = yesNoList(this, "611");
    m_oper = new QLineEdit(this);
    m_oper->setObjectName(QStringLiteral("614"));
    m_confirmed = ui::dateEdit(this, QStringLiteral("605"));
    form->addRow(QStringLiteral("Banda      "), m_band);
    form->addRow(QStringLiteral("Modo       "), m_mode);
    form->addRow(QStringLiteral("QSL Rec    "), m_qslRcvd);
    form->addRow(QStringLiteral("QSL Env    "), m_qslSent);
    form->addRow(QStringLiteral("Operador   "), m_oper);
    form->addRow(QStringLiteral("Confirmado"), m_confirmed);
    lay->addLayout(form);

    m_path = ui::addPathChooser(lay, QStringLiteral("Fecichero Destino"), QStringLiteral("602"), [this](const QString& current) {
        return ui::chooseFile(this, ui::ChooseMode::Save, QStringLiteral("adif"),
                              m_appTitle + QStringLiteral(" Seleccione carpeta y nombre de fichero"), current, QString(),
                              QStringLiteral("Adif (*.adi)"), QDir::homePath());
    });
    m_path->setText(proposedPath);
    m_ok = ui::addOkCancel(this, lay, m_path);
    ui::keepUpperCase(m_oper);
}

void AdifExportDialog::accept()
{
    if (ui::datesReadable({m_from, m_to, m_confirmed}))
        QDialog::accept();
}

AdifSelection AdifExportDialog::selection() const
{
    AdifSelection s;
    s.from = ui::dialogDate(m_from->text());
    s.to = ui::dialogDate(m_to->text());
    s.band = m_band->currentData().toString();
    s.mode = m_mode->currentData().toString();
    s.qslRcvd = m_qslRcvd->currentText().trimmed();
    s.qslSent = m_qslSent->currentText().trimmed();
    s.oper = m_oper->text().trimmed();
    s.confirmed = ui::dialogDate(m_confirmed->text());
    return s;
}

QString AdifExportDialog::path() const
{
    return m_path->text().trimmed();
}

bool adifExportCommand(const AdifIdentity& id, const QString& workDir, const QString& book, QWidget* parent)
{
    AdifExportDialog dlg(id.name + QLatin1Char(' ') + id.ver,
                         QDir(ui::lastFolder(QStringLiteral("adif"), workDir)).filePath(adifFileName(book)), parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    ADIFEXP(dlg.path(), dlg.selection(), id);
    return true;
}

void adifSpoolCommand(const AdifIdentity& id, const QString& workDir, const QString& book, QWidget* parent)
{
    const QString f = ui::chooseFile(parent, ui::ChooseMode::Save, QStringLiteral("adif"),
                                     id.name + QLatin1Char(' ') + id.ver + QStringLiteral(" Seleccione carpeta y nombre de fichero"),
                                     QString(), adifFileName(book), QStringLiteral("Adif (*.adi)"), workDir);
    ADIEXPSPOOL(f, id);
}

} // namespace interchange
