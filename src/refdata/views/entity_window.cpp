#include "entity_window.h"

#include "refdata/table_search.h"
#include "refdata/views/entity_dialog.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/grid_print.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QDir>

namespace refdata {

namespace {

const QString kEntMan = QStringLiteral("EntMan");

QString dateText(store::WorkArea& a, const char* field)
{
    const QDate d = a.date(QString::fromLatin1(field));
    return d.isValid() ? d.toString(QStringLiteral("dd-MM-yyyy")) : QString();
}

} // namespace

EntityPanel* EntityPanel::open(QWidget* parent)
{
    store::Workspace& ws = store::Workspace::instance();
    if (store::WorkArea* a = ws.area(kEntMan))
        return new EntityPanel(a, parent);
    if (!store::NETUSE(QStringLiteral("ENT"), true, 3, kEntMan))
        return nullptr;
    return new EntityPanel(ws.area(kEntMan), parent);
}

EntityPanel::EntityPanel(store::WorkArea* entities, QWidget* parent) : ui::GridPanel(entities, parent), m_entities(entities)
{
    setObjectName(QStringLiteral("ManEnt"));
    addButton(QStringLiteral("new"), QStringLiteral("Nueva"), QStringLiteral("Alta nueva entidad"),
              {QStringLiteral("document-new"), QStringLiteral("list-add")}, [this] { newEntity(); });
    addButton(QStringLiteral("edit"), QStringLiteral("Editar"), QStringLiteral("Editar registro"),
              {QStringLiteral("document-edit"), QStringLiteral("document-properties")}, [this] { editEntity(); });
    addButton(QStringLiteral("search"), QStringLiteral("Buscar"), QStringLiteral("Buscar"),
              {QStringLiteral("edit-find"), QStringLiteral("system-search")}, [this] { search(); });
    m_again = addButton(QStringLiteral("again"), QStringLiteral("Siguiente"), QStringLiteral("Buscar siguiente"),
                        {QStringLiteral("go-down-search"), QStringLiteral("go-down"), QStringLiteral("go-next")},
                        [this] { searchAgain(); });
    m_again->setEnabled(false);
    addButton(QStringLiteral("print"), QStringLiteral("Imprimir"), QStringLiteral("imprimir"),
              {QStringLiteral("document-print"), QStringLiteral("printer")}, [this] { print(); });

    ui::tQ7Browse* grid = browse();
    using A = store::WorkArea;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    grid->addField(QStringLiteral("DXCC"), QStringLiteral("Dxcc"));
    grid->addColumn({.header = QStringLiteral("Cod"), .text = [](A& a) { return a.str(QStringLiteral("CODENT")).trimmed(); },
                     .align = right});
    grid->addField(QStringLiteral("PFX"), QStringLiteral("Pfx"));
    grid->addField(QStringLiteral("NOMBRE"), QStringLiteral("Entidad"));
    grid->addColumn({.header = QStringLiteral("Waz"), .text = [](A& a) { return a.str(QStringLiteral("CQZ")).trimmed(); },
                     .align = right});
    grid->addField(QStringLiteral("CONT"), QStringLiteral("Cont"));
    grid->addField(QStringLiteral("QRA"), QStringLiteral("Locator"));
    grid->addColumn({.header = QStringLiteral("Diferencia\r\nHoraria"),
                     .text = [](A& a) { return a.str(QStringLiteral("DHORA")).trimmed(); }, .align = right});
    const int dateWidth = grid->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00000")) + 8;
    grid->addColumn({.header = QStringLiteral("Fecha\r\nAlta"), .text = [](A& a) { return dateText(a, "FALTA"); }, .align = right,
                     .width = dateWidth});
    grid->addColumn({.header = QStringLiteral("Fecha\r\nBaja"), .text = [](A& a) { return dateText(a, "FBAJA"); }, .align = right,
                     .width = dateWidth});
    grid->setFrozenColumns(2);
    // entities that no longer count are grey
    grid->setRowColors([](A& a) {
        const bool ended = a.date(QStringLiteral("FBAJA")).isValid();
        return std::pair<QColor, QColor>(ended ? QColor(128, 128, 128) : QColor(Qt::black), QColor(Qt::white));
    });
    entities->goTop();
    grid->refresh();

    onEdit([this] { editEntity(); });
    onCreate([this] { newEntity(); });
    onDelete([] { ui::messages().alert(QStringLiteral("No pueden eliminarse entidades")); });
    onSearch([this] { search(); });
}

EntityPanel::~EntityPanel()
{
    // the grid reads the table until it goes: it goes first
    delete browse();
    store::Workspace::instance().close(kEntMan);
}

void EntityPanel::newEntity()
{
    store::Workspace& ws = store::Workspace::instance();
    EntityDialog d(m_entities, ws.area(store::alias::kPfx), ws.area(store::alias::kIota), true, this);
    if (d.run())
        showCurrent();
}

void EntityPanel::editEntity()
{
    if (m_entities->eof())
        return;
    store::Workspace& ws = store::Workspace::instance();
    EntityDialog d(m_entities, ws.area(store::alias::kPfx), ws.area(store::alias::kIota), false, this);
    d.run();
    showCurrent();
}

void EntityPanel::search()
{
    const QString file = store::Workspace::instance().tablePath(QStringLiteral("ENT"));
    const std::optional<qint64> at = BUSPAR(file, kEntMan, &m_text, [this] { browse()->showRecord(m_entities->recNo()); });
    m_next = at.value_or(0);
    m_again->setEnabled(at.has_value());
}

void EntityPanel::searchAgain()
{
    if (m_next <= 0)
        return;
    const QString file = store::Workspace::instance().tablePath(QStringLiteral("ENT"));
    const std::optional<qint64> at = BUSPAR(file, kEntMan, &m_text, [this] { browse()->showRecord(m_entities->recNo()); }, m_next);
    if (at)
        m_next = *at;
}

void EntityPanel::print() { ui::previewGrid(browse(), QStringLiteral("Entidades DXCC"), this); }

} // namespace refdata
