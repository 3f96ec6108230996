#include "qsl/views/format_window.h"

#include "qsl/views/designer_window.h"

#include "app/tappl.h"
#include "core/messages.h"
#include "qsl/format_file.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/file_chooser.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace qsl {

namespace {

using A = store::WorkArea;

const QString kLabels = QStringLiteral("FrmQslLbl");
const QString kCards = QStringLiteral("FrmQslQsl");

A* areaNamed(const QString& name) { return store::Workspace::instance().area(name); }

// A second view of FrmQsl under its own alias, in the order given.
A* formatView(const QString& name, const QString& order)
{
    A* a = areaNamed(name);
    if (!a) {
        const QString back = store::Workspace::instance().current() ? store::Workspace::instance().current()->alias() : QString();
        if (store::NETUSE(QStringLiteral("FrmQsl"), true, 1, name))
            a = areaNamed(name);
        if (!back.isEmpty())
            store::Workspace::instance().select(back);
    }
    if (a) {
        a->setOrder(order);
        a->goTop();
    }
    return a;
}

QString workDir() { return app::oAppl ? app::oAppl->cDirLocal : QDir::currentPath() + QLatin1Char('/'); }

const char* const kOptional[] = {"Nombre", "Dirección 1", "Dirección 2", "Texto libre 1", "Texto libre 2"};

} // namespace

FormatWindow* FormatWindow::open(QWidget* parent)
{
    A* labels = formatView(kLabels, QStringLiteral("Lbl"));
    A* cards = formatView(kCards, QStringLiteral("Qsl"));
    if (!labels || !cards)
        return nullptr;
    return new FormatWindow(labels, cards, parent);
}

FormatWindow::FormatWindow(A* labels, A* cards, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WrkRptQsl"));
    setWindowTitle(QStringLiteral("Formatos de QSL"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_bar = new QToolBar(this);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct {
        const char* id;
        const char* caption;
        const char* icon;
        void (FormatWindow::*run)();
    } buttons[] = {{"add", "Añadir", "list-add", &FormatWindow::add},
                   {"edit", "Modificar", "document-edit", &FormatWindow::edit},
                   {"delete", "Eliminar", "edit-delete", &FormatWindow::remove},
                   {"export", "Exportar", "document-export", &FormatWindow::exportFormat},
                   {"import", "Importar", "document-import", &FormatWindow::importFormat},
                   {"designer", "Editor", "document-print-preview", &FormatWindow::designer}};
    for (const auto& b : buttons) {
        QAction* a = m_bar->addAction(QIcon::fromTheme(QString::fromLatin1(b.icon)), QString::fromUtf8(b.caption), this, b.run);
        a->setObjectName(QString::fromLatin1(b.id));
    }
    lay->addWidget(m_bar);
    m_pages = new QTabWidget(this);
    m_labels = makePage(labels);
    m_cards = makePage(cards);
    m_pages->addTab(m_labels, QStringLiteral("Etiquetas"));
    m_pages->addTab(m_cards, QStringLiteral("QSl"));
    lay->addWidget(m_pages, 1);
}

ui::GridPanel* FormatWindow::makePage(A* area)
{
    auto* p = new ui::GridPanel(area, this);
    p->bar()->hide();
    p->browse()->addColumn({.header = QStringLiteral("Descripción"),
                            .text = [](A& a) { return a.str(QStringLiteral("DESC")).trimmed(); },
                            .align = Qt::AlignLeft | Qt::AlignVCenter,
                            .width = p->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('n')))});
    p->browse()->setSelectionMode(QAbstractItemView::SingleSelection);
    p->browse()->horizontalHeader()->setStretchLastSection(true);
    p->onEdit([this] { edit(); });
    p->onCreate([this] { add(); });
    p->onDelete([this] { remove(); });
    p->browse()->refresh();
    p->showCurrent();
    return p;
}

ui::GridPanel* FormatWindow::currentPanel() const { return m_pages->currentIndex() == 0 ? m_labels : m_cards; }

QAction* FormatWindow::action(const QString& id) const { return m_bar->findChild<QAction*>(id); }

void FormatWindow::refreshAll()
{
    for (ui::GridPanel* p : {m_labels, m_cards}) {
        p->browse()->refresh();
        p->showCurrent();
    }
    currentPanel()->browse()->setFocus();
}

void FormatWindow::add()
{
    ui::GridPanel* p = currentPanel();
    FormatDialog d(p->area(), true, p == m_labels, this);
    d.exec();
    refreshAll();
}

void FormatWindow::edit()
{
    ui::GridPanel* p = currentPanel();
    if (p->area()->eof())
        return;
    FormatDialog d(p->area(), false, p == m_labels, this);
    d.exec();
    refreshAll();
}

void FormatWindow::remove()
{
    A* a = currentPanel()->area();
    if (a->eof())
        return;
    if (!ui::messages().noYes(QStringLiteral("Se va a eliminar fromato QSL \r\nEsta seguro")))
        return;
    if (a->lockRecord().isOk()) {
        a->deleteRecord();
        a->unlock();
    }
    a->skip();
    if (a->eof())
        a->goBottom();
    refreshAll();
}

void FormatWindow::exportFormat()
{
    A* a = currentPanel()->area();
    if (!a->eof())
        QSLFRMEXP(*a, this);
    refreshAll();
}

void FormatWindow::importFormat()
{
    QSLFRMIMP(*currentPanel()->area(), this);
    refreshAll();
}

void FormatWindow::designer()
{
    A* a = currentPanel()->area();
    if (!a->eof())
        openDesigner(*a, a->recNo(), store::Workspace::instance().area(store::alias::kLog), this);
    refreshAll();
}

// ---------------------------------------------------------------- FRMQSL

FormatDialog::FormatDialog(A* frm, bool isNew, bool label, QWidget* parent) : QDialog(parent), m_frm(frm), m_new(isNew)
{
    setObjectName(QStringLiteral("FRMQSL"));
    setWindowTitle(QStringLiteral("Formatos QSL"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_desc = new QLineEdit(this);
    m_desc->setObjectName(QStringLiteral("600"));
    m_desc->setMaxLength(40);
    ui::fitChars(m_desc, 40);
    m_label = new QCheckBox(QStringLiteral("Etiqueta"), this);
    m_label->setObjectName(QStringLiteral("601"));
    m_perLabel = new QSpinBox(this);
    m_perLabel->setObjectName(QStringLiteral("602"));
    m_perLabel->setRange(0, 9);
    m_perSheet = new QSpinBox(this);
    m_perSheet->setObjectName(QStringLiteral("608"));
    m_perSheet->setRange(0, 999);
    form->addRow(QStringLiteral("Descripción:"), m_desc);
    form->addRow(QString(), m_label);
    form->addRow(QStringLiteral("QSO por etiqueta"), m_perLabel);
    form->addRow(QStringLiteral("Etiquetas por página"), m_perSheet);
    lay->addLayout(form);
    auto* group = new QGroupBox(QStringLiteral("Datos opcionales para Incluir en QSL"), this);
    auto* gform = new QFormLayout(group);
    for (int i = 0; i < 5; ++i) {
        auto* e = new QLineEdit(group);
        e->setObjectName(QString::number(603 + i));
        // the table has no such fields yet: nothing could be kept
        e->setEnabled(false);
        e->setToolTip(QString::fromUtf8(kOptional[i])
                      + QStringLiteral(": la tabla de formatos (FrmQsl) todavía no tiene este campo"));
        gform->addRow(QString::fromUtf8(kOptional[i]), e);
    }
    lay->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);

    if (m_new || m_frm->eof()) {
        m_label->setChecked(label);
        m_perLabel->setValue(label ? 1 : 0);
    } else {
        m_desc->setText(m_frm->str(QStringLiteral("DESC")).trimmed());
        m_label->setChecked(m_frm->logical(QStringLiteral("LBL")));
        m_perLabel->setValue(int(m_frm->num(QStringLiteral("QSOXLBL"))));
        m_perSheet->setValue(int(m_frm->num(QStringLiteral("ETIXPAG"))));
    }
    connect(m_label, &QCheckBox::toggled, this, [this] { updateLabelFields(); });
    updateLabelFields();
}

void FormatDialog::updateLabelFields()
{
    m_perLabel->setEnabled(m_label->isChecked());
    m_perSheet->setEnabled(m_label->isChecked());
}

QLineEdit* FormatDialog::edit(int id) const { return findChild<QLineEdit*>(QString::number(id)); }

QSpinBox* FormatDialog::spin(int id) const { return findChild<QSpinBox*>(QString::number(id)); }

void FormatDialog::accept()
{
    m_written = false;
    store::RecordBuffer buffer(m_frm);
    if (m_new)
        buffer.blank();
    else
        buffer.load();
    buffer.set(QStringLiteral("DESC"), store::Value::text(m_desc->text().trimmed()));
    buffer.set(QStringLiteral("LBL"), store::Value::logical(m_label->isChecked()));
    buffer.set(QStringLiteral("QSOXLBL"), store::Value::number(m_perLabel->value()));
    buffer.set(QStringLiteral("ETIXPAG"), store::Value::number(m_perSheet->value()));
    const bool changed = m_new ? !m_desc->text().trimmed().isEmpty()
                               : m_desc->text().trimmed() != m_frm->str(QStringLiteral("DESC")).trimmed()
                                     || m_label->isChecked() != m_frm->logical(QStringLiteral("LBL"))
                                     || m_perLabel->value() != int(m_frm->num(QStringLiteral("QSOXLBL")))
                                     || m_perSheet->value() != int(m_frm->num(QStringLiteral("ETIXPAG")));
    if (changed) {
        if (!store::saveBuffer(buffer, m_new))
            return;   // "Record in use": the dialog stays with what was typed
        m_written = true;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- export, import

void QSLFRMEXP(A& frm, QWidget* parent)
{
    const QString desc = frm.str(QStringLiteral("DESC")).trimmed();
    QDialog d(parent);
    d.setObjectName(QStringLiteral("FRMQSLIMPEXP"));
    d.setWindowTitle(QStringLiteral("Exportación formato QSL"));
    auto* lay = new QVBoxLayout(&d);
    QLineEdit* path = ui::addPathChooser(lay, QStringLiteral("Via de acceso y nombre de fichero"), QStringLiteral("path"),
                                         [&d](const QString& current) {
                                             return ui::chooseFile(&d, ui::ChooseMode::Save, QStringLiteral("q7q"),
                                                                   QStringLiteral("Exportación formato QSL"), current,
                                                                   QString(), QStringLiteral("FRMQSL |*.q7q"), workDir());
                                         });
    path->setText(exportFileName(workDir(), desc));
    ui::addOkCancel(&d, lay, path);
    if (d.exec() != QDialog::Accepted)
        return;
    QString error;
    if (qsl::exportFormat(frm, path->text().trimmed(), &error))
        ui::messages().info(path->text().trimmed() + QStringLiteral("\r\nexportado correctamente"));
    else
        ui::messages().stop(QStringLiteral("No pudo realizarse la exportacion")
                            + (error.isEmpty() ? QString() : QStringLiteral("\r\n") + error));
}

bool QSLFRMIMP(A& frm, QWidget* parent)
{
    QDialog d(parent);
    d.setObjectName(QStringLiteral("FRMQSLIMPEXP"));
    d.setWindowTitle(QStringLiteral("Importar formato QSL"));
    auto* lay = new QVBoxLayout(&d);
    QLineEdit* path = ui::addPathChooser(lay, QStringLiteral("Via de acceso y nombre de fichero"), QStringLiteral("path"),
                                         [&d](const QString& current) {
                                             return ui::chooseFile(&d, ui::ChooseMode::Open, QStringLiteral("q7q"),
                                                                   QStringLiteral("Importar formato QSL"), current,
                                                                   QString(), QStringLiteral("FRMQSL |*.q7q"), workDir());
                                         });
    ui::addOkCancel(&d, lay, path);
    if (d.exec() != QDialog::Accepted)
        return false;
    QString error;
    if (!qsl::importFormat(frm, path->text().trimmed(), &error)) {
        ui::messages().stop(error);
        return false;
    }
    return true;
}

} // namespace qsl
