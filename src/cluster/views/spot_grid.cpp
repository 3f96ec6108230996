#include "spot_grid.h"

#include "cluster/spot_rules.h"
#include "cluster/spot_status.h"
#include "refdata/names.h"
#include "store/work_area.h"
#include "ui/q7browse.h"
#include "ui/stored_colour.h"

#include <QLocale>

namespace cluster {

namespace {

SpotStatus statusOf(store::WorkArea& a)
{
    SpotStatus s;
    s.ent = a.str(QStringLiteral("STSENT"));
    s.band = a.str(QStringLiteral("STSBAND"));
    s.mode = a.str(QStringLiteral("STSMODE"));
    s.bandMode = a.str(QStringLiteral("STSBANDMOD"));
    if (a.fieldPos(QStringLiteral("STSIOTA")) >= 0)
        s.iota = a.str(QStringLiteral("STSIOTA"));
    return s;
}

QColor fore(const SpotColour& c) { return ui::storedColour(c.fore); }
QColor back(const SpotColour& c) { return c.back < 0 ? QColor() : ui::storedColour(c.back); }

ui::BrowseColumn field(const char* header, const char* name, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    ui::BrowseColumn c;
    c.header = QString::fromUtf8(header);
    const QString f = QString::fromLatin1(name);
    c.text = [f](store::WorkArea& a) { return a.str(f).trimmed(); };
    c.align = align;
    return c;
}

// A status letter column, narrow.
ui::BrowseColumn letter(const char* header, const char* name)
{
    ui::BrowseColumn c = field(header, name, Qt::AlignCenter);
    c.width = 34;
    return c;
}

void colourCell(ui::BrowseColumn* c, SpotColour (*rule)(const SpotStatus&))
{
    c->foreground = [rule](store::WorkArea& a) { return fore(rule(statusOf(a))); };
    c->background = [rule](store::WorkArea& a) { return back(rule(statusOf(a))); };
}

} // namespace

void setUpSpotGrid(ui::tQ7Browse* grid, SpotGridKind kind)
{
    const bool tab = kind == SpotGridKind::Tab;
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    ui::BrowseColumn call = field("Indicativo", "CALL");
    call.width = 90;
    grid->addColumn(call);
    grid->addColumn(field("Hora", "TIME"));
    ui::BrowseColumn freq;
    if (tab) {
        freq.header = QStringLiteral("Frecuencia");
        freq.text = [es](store::WorkArea& a) { return es.toString(a.num(QStringLiteral("FREQ2")), 'f', 1); };
    } else {
        freq.header = QStringLiteral("Frec");
        freq.text = [](store::WorkArea& a) { return QString::number(a.num(QStringLiteral("FREQ")), 'f', 3); };
    }
    freq.align = Qt::AlignRight | Qt::AlignVCenter;
    freq.width = 80;
    colourCell(&freq, SPOTCOLBAND);
    grid->addColumn(freq);
    ui::BrowseColumn mode = field("Modo", "MODE");
    colourCell(&mode, SPOTCOLMODE);
    grid->addColumn(mode);
    ui::BrowseColumn comment = field("Comentario", "COMENT");
    comment.width = 210;
    colourCell(&comment, SPOTCOLIOTA);
    grid->addColumn(comment);
    ui::BrowseColumn entity;
    entity.header = QStringLiteral("Entidad");
    entity.text = [](store::WorkArea& a) { return refdata::NOMENT(a.str(QStringLiteral("CODENT"))).trimmed(); };
    entity.width = 150;
    grid->addColumn(entity);
    if (tab) {
        ui::BrowseColumn qtf = field("QTF", "QTF", Qt::AlignRight | Qt::AlignVCenter);
        qtf.width = 44;
        grid->addColumn(qtf);
        ui::BrowseColumn qrb = field("QRB", "QRB", Qt::AlignRight | Qt::AlignVCenter);
        qrb.width = 64;
        grid->addColumn(qrb);
    }
    ui::BrowseColumn origin = field("Origen", "ORIGEN");
    origin.width = 90;
    grid->addColumn(origin);
    grid->addColumn(letter("Ent", "STSENT"));
    grid->addColumn(letter("Mod", "STSMODE"));
    grid->addColumn(letter("Ban", "STSBAND"));
    grid->addColumn(letter("BM", "STSBANDMOD"));
    if (tab)
        grid->addColumn(letter("IOTA", "STSIOTA"));
    grid->setRowColors([](store::WorkArea& a) {
        const SpotColour c = SPOTCOL(statusOf(a));
        return std::pair{fore(c), back(c)};
    });
    grid->setFrozenColumns(3);
}

} // namespace cluster
