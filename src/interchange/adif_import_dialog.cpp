#include "adif_import_dialog.h"

#include "store/work_area.h"
#include "store/workspace.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace interchange {

AdifImportDialog::AdifImportDialog(const QString& appTitle, const QString& workDir, QWidget* parent)
    : QDialog(parent), m_appTitle(appTitle), m_workDir(workDir)
{
    setObjectName(QStringLiteral("IMPADIF"));
    setWindowTitle(QStringLiteral("Importar ADIF"));
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

    auto* fileBox = new QGroupBox(QStringLiteral("Fichero a importar"), this);
    auto* fileLay = new QHBoxLayout(fileBox);
    m_path = new QLineEdit(fileBox);
    m_path->setObjectName(QStringLiteral("602"));
    auto* chooser = new QPushButton(QStringLiteral("..."), fileBox);
    chooser->setObjectName(QStringLiteral("4000"));
    fileLay->addWidget(m_path);
    fileLay->addWidget(chooser);
    lay->addWidget(fileBox);
    m_dup = new QCheckBox(QStringLiteral("Comprobar dubplicados. No importarlos"), this);
    m_dup->setObjectName(QStringLiteral("603"));
    lay->addWidget(m_dup);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);

    store::Workspace& ws = store::Workspace::instance();
    for (const char* alias : {"LibBrw", "libros"}) {
        if (store::WorkArea* b = ws.area(QString::fromLatin1(alias)); b && !b->eof()) {
            m_book = b->str(QStringLiteral("NOMBRE")).trimmed();
            m_oprDef = b->str(QStringLiteral("OPRDEF")).trimmed();
            m_operator->setText((m_oprDef.isEmpty() ? m_book : m_oprDef).toUpper().leftJustified(10, QLatin1Char(' ')));
            break;
        }
    }
    if (store::WorkArea* log = ws.area(QStringLiteral("Log"))) {
        const quint32 rec = log->recNo();
        const bool eof = log->eof();
        log->goBottom();
        if (!log->eof())
            m_locator->setText(log->str(QStringLiteral("QRA")).trimmed());
        if (!eof)
            log->goTo(rec);
    }
    connect(m_operator, &QLineEdit::textEdited, this, [this](const QString& t) {
        const int c = m_operator->cursorPosition();
        m_operator->setText(t.toUpper());
        m_operator->setCursorPosition(c);
    });
    connect(m_path, &QLineEdit::textChanged, this, [this](const QString& t) { m_ok->setEnabled(!t.trimmed().isEmpty()); });
    m_ok->setEnabled(false);
    connect(chooser, &QPushButton::clicked, this, [this] {
        const QString cur = m_path->text().trimmed();
        const QString start = cur.isEmpty() ? m_workDir : QFileInfo(cur).absolutePath();
        const QString f = QFileDialog::getOpenFileName(this, m_appTitle + QStringLiteral(" Seleccione carpeta y nombre de fichero"),
                                                       QDir(start).filePath(m_book.toLower() + QStringLiteral(".adi")),
                                                       QStringLiteral("ADIF (*.adi)"));
        if (!f.isEmpty())
            m_path->setText(f);
    });
}

AdifImportOptions AdifImportDialog::options() const
{
    AdifImportOptions o;
    o.path = m_path->text().trimmed();
    o.operatorCall = m_operator->text().trimmed().toUpper();
    o.locator = m_locator->text().trimmed().toUpper();
    o.dupCheck = m_dup->isChecked();
    o.defaultOperator = m_oprDef;
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
