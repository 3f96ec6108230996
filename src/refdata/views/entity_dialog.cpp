#include "entity_dialog.h"

#include "refdata/entity_maintenance.h"
#include "refdata/views/prefix_dialog.h"
#include "refdata/views/zone_box.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace refdata {

namespace {

QString dateText(const store::Value& v)
{
    const QDate d = v.isDate() ? v.toDate() : QDate();
    return d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : QString();
}

QCheckBox* checkBox(QWidget* parent, const QString& id, const QString& text, store::RecordBuffer* buffer, const QString& field)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(id);
    box->setChecked(buffer->get(field).toBool());
    QObject::connect(box, &QCheckBox::toggled, box, [buffer, field](bool on) { buffer->set(field, store::Value::logical(on)); });
    return box;
}

} // namespace

struct EntityDialog::Form {
    store::WorkArea* entities;
    store::WorkArea* prefixes;
    bool isNew;
    store::RecordBuffer buffer;
    QString code;
    QLineEdit* from = nullptr;
    QLineEdit* to = nullptr;
    ui::GridPanel* list = nullptr;
    Form(store::WorkArea* e, store::WorkArea* p, bool n) : entities(e), prefixes(p), isNew(n), buffer(e) {}
};

EntityDialog::EntityDialog(store::WorkArea* entities, store::WorkArea* prefixes, store::WorkArea* islands, bool isNew,
                           QWidget* parent)
    : QDialog(parent), m_form(new Form(entities, prefixes, isNew))
{
    setObjectName(QStringLiteral("ENTEDT"));
    setWindowTitle(isNew ? QStringLiteral("Alta de Entidad") : QStringLiteral("Editar entidad"));
    Form& f = *m_form;
    if (!isNew)
        f.buffer.load();
    f.code = f.buffer.get(QStringLiteral("CODENT")).toString();
    store::RecordBuffer* buf = &f.buffer;

    auto* lay = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    lay->addLayout(columns);
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(12);
    columns->addLayout(right, 2);

    QLineEdit* dxcc = ui::addField(left, QStringLiteral("601"), QStringLiteral("Cod Adif"), buf, QStringLiteral("DXCC"),
                                   {.picture = QStringLiteral("999"), .leave = adifNumberText});
    ui::fitChars(dxcc, 5);
    QLineEdit* pfx = ui::addField(left, QStringLiteral("602"), QStringLiteral("Prefijo"), buf, QStringLiteral("PFX"), {.upper = true});
    pfx->setMaxLength(10);
    ui::fitChars(pfx, 12);
    QLineEdit* name = ui::addField(left, QStringLiteral("603"), QStringLiteral("Entidad"), buf, QStringLiteral("NOMBRE"));
    name->setMaxLength(40);
    ui::fitChars(name, 34);
    left->addRow(QStringLiteral("CQ Z"), zoneBox(this, QStringLiteral("604"), buf, QStringLiteral("CQZ"), zoneList(40)));
    left->addRow(QStringLiteral("ITU Z"), zoneBox(this, QStringLiteral("605"), buf, QStringLiteral("ITUZ"), zoneList(90)));
    left->addRow(QStringLiteral("Continente"), zoneBox(this, QStringLiteral("606"), buf, QStringLiteral("CONT"), continentCodes()));
    QLineEdit* qra = ui::addField(left, QStringLiteral("607"), QStringLiteral("QRA"), buf, QStringLiteral("QRA"),
                                  {.picture = QStringLiteral("AA99AA"), .upper = true});
    ui::fitChars(qra, 8);

    QLineEdit* hours = ui::addField(right, QStringLiteral("608"), QStringLiteral("Dif.Horaria"), buf, QStringLiteral("DHORA"));
    hours->setMaxLength(5);
    ui::fitChars(hours, 7);
    right->addRow(QStringLiteral("Situación"), zoneBox(this, QStringLiteral("609"), buf, QStringLiteral("SIT"),
                                                        {QStringLiteral("A"), QStringLiteral("B")},
                                                        {QStringLiteral("Alta"), QStringLiteral("Baja")}));
    f.from = ui::dateEdit(this, QStringLiteral("610"));
    f.from->setText(dateText(buf->get(QStringLiteral("FALTA"))));
    right->addRow(QStringLiteral("Alta"), f.from);
    f.to = ui::dateEdit(this, QStringLiteral("611"));
    f.to->setText(dateText(buf->get(QStringLiteral("FBAJA"))));
    right->addRow(QStringLiteral("Baja"), f.to);

    QStringList iotaValues{QString()}, iotaShown{QString()};
    if (islands) {
        for (islands->goTop(); !islands->eof(); islands->skip()) {
            iotaValues << islands->str(QStringLiteral("IOTA"));
            iotaShown << islands->str(QStringLiteral("NOMBRE2")).trimmed();
        }
    }
    QComboBox* iota = zoneBox(this, QStringLiteral("612"), buf, QStringLiteral("IOTA"), iotaValues, iotaShown);
    iota->setMaximumWidth(fontMetrics().averageCharWidth() * 34);
    right->addRow(QStringLiteral("IOTA"), iota);
    right->addRow(QString(), checkBox(this, QStringLiteral("613"), QStringLiteral("Valido para DXCC"), buf, QStringLiteral("LDXCC")));
    right->addRow(QString(), checkBox(this, QStringLiteral("614"), QStringLiteral("Valido para EADX"), buf, QStringLiteral("LEADX")));

    if (!isNew && prefixes) {
        holdPrefixesOf(*prefixes, f.code);
        auto* group = new QGroupBox(QStringLiteral("Prefijos de la entidad"), this);
        auto* g = new QVBoxLayout(group);
        f.list = new ui::GridPanel(prefixes, group);
        f.list->setObjectName(QStringLiteral("prefixes"));
        f.list->bar()->hide();
        ui::tQ7Browse* grid = f.list->browse();
        grid->addField(QStringLiteral("PFX"), QStringLiteral("Prefijo/indicativo"));
        grid->addField(QStringLiteral("CQZ"), QStringLiteral("CQ Z"));
        grid->addField(QStringLiteral("ITUZ"), QStringLiteral("ITU"));
        grid->addField(QStringLiteral("QRA"), QStringLiteral("Locator"));
        grid->addColumn({.header = QStringLiteral("Importado\r\nCTY"),
                         .text = [](store::WorkArea& a) { return a.logical(QStringLiteral("CTY")) ? QStringLiteral("Si") : QString(); }});
        grid->refresh();
        grid->setMinimumHeight(fontMetrics().height() * 8);
        f.list->onEdit([this] { editPrefix(); });
        f.list->onCreate([this] { newPrefix(); });
        f.list->onDelete([this] { deletePrefix(); });
        g->addWidget(f.list);
        auto* row = new QHBoxLayout;
        const struct {
            const char* id;
            const char* text;
            void (EntityDialog::*act)();
        } buttons[] = {{"4001", "Nuevo", &EntityDialog::newPrefix},
                       {"4002", "Editar", &EntityDialog::editPrefix},
                       {"4003", "Eliminar", &EntityDialog::deletePrefix}};
        for (const auto& b : buttons) {
            auto* button = new QPushButton(QString::fromUtf8(b.text), group);
            button->setObjectName(QString::fromLatin1(b.id));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, b.act);
            row->addWidget(button);
        }
        row->addStretch(1);
        g->addLayout(row);
        lay->addWidget(group, 1);
    }

    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        if (ui::datesReadable({m_form->from, m_form->to}))
            accept();
    });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(box);
}

EntityDialog::~EntityDialog()
{
    if (m_form->list)
        releasePrefixes(*m_form->prefixes);
    delete m_form;
}

ui::GridPanel* EntityDialog::prefixList() const { return m_form->list; }

bool EntityDialog::run()
{
    const int result = exec();
    Form& f = *m_form;
    if (f.list) {
        // the prefix table goes back to what everybody else expects before anything else runs
        delete f.list;
        f.list = nullptr;
        releasePrefixes(*f.prefixes);
    }
    if (result != QDialog::Accepted)
        return false;
    f.buffer.set(QStringLiteral("FALTA"), store::Value::date(ui::dialogDate(f.from->text())));
    f.buffer.set(QStringLiteral("FBAJA"), store::Value::date(ui::dialogDate(f.to->text())));
    bool changed = false;
    if (f.isNew) {
        store::RecordBuffer blank(f.entities);
        for (int i = 0; i < f.buffer.count() && !changed; ++i)
            changed = !(f.buffer.at(i) == blank.at(i));
    } else {
        changed = f.buffer.modified();
    }
    return changed && saveEntity(*f.entities, f.buffer, f.isNew);
}

void EntityDialog::newPrefix()
{
    Form& f = *m_form;
    if (!f.list)
        return;
    PrefixDialog d(f.prefixes, true, f.code, this);
    QWidget* grid = f.list->browse();
    d.move(grid->mapToGlobal(QPoint(0, grid->height() / 2)));
    if (d.run())
        f.list->showCurrent();
}

void EntityDialog::editPrefix()
{
    Form& f = *m_form;
    if (!f.list || f.prefixes->eof())
        return;
    ui::tQ7Browse* grid = f.list->browse();
    PrefixDialog d(f.prefixes, false, f.code, this);
    const QRect row = grid->visualRect(grid->currentIndex());
    d.move(grid->viewport()->mapToGlobal(row.isValid() ? row.topLeft() : QPoint(0, 0)));
    if (d.run())
        f.list->showCurrent();
}

void EntityDialog::deletePrefix()
{
    Form& f = *m_form;
    if (!f.list || f.prefixes->eof())
        return;
    if (!ui::messages().noYes(QStringLiteral("Se va a eliminar el prefijo ") + f.prefixes->str(QStringLiteral("PFX")).trimmed()
                              + QStringLiteral("\r\nEsta seguro")))
        return;
    store::Workspace::instance().select(f.prefixes->alias());
    if (!store::RECLOCK(0))
        return;
    f.prefixes->deleteRecord();
    f.prefixes->unlock();
    f.prefixes->skip(-1);
    if (f.prefixes->bof() || f.prefixes->eof())
        f.prefixes->goTop();
    f.list->showCurrent();
}

} // namespace refdata
