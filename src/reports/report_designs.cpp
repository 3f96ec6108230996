// The designs of the two entity reports: A4 portrait lists, one QSO or entity
// a row, the heading, the selection and the column titles on every page.
#include "reports/entity_reports.h"

namespace reports {

namespace {

// Title, selection, date and page number, shared by both lists.
const char* const kHeading = R"D(SECTION page
TEXT x=12 y=10 w=150 h=8 font="DejaVu Sans" size=14 style=B text="[Trim(f->Titulo)]"
TEXT x=150 y=10 w=48 h=8 font="DejaVu Sans" size=9 align=R text="[DToC(f->Fecha)]"
TEXT x=12 y=18 w=186 h=5 font="DejaVu Sans" size=9 text="[Trim(f->Seleccion)]"
TEXT x=12 y=284 w=186 h=5 font="DejaVu Sans" size=8 align=C text="Página [LTrim(Str(Pagina))] de [LTrim(Str(Paginas))]"
TEXT x=12 y=40 w=186 h=6 font="DejaVu Sans" size=10 style=I align=C text="No hay entidades que cumplan la selección." when="Empty(d->CodEnt)"
LINE x=12 y=30.5 w=186 h=0 pen=0.3
)D";

} // namespace

QString entityReportDesign(EntityReport kind)
{
    if (kind == EntityReport::WorkedNotConfirmed)
        return QStringLiteral(R"D(ORLANQSL 1
# Entidades trabajadas y no confirmadas: una fila por QSO
PAGE 210 297
GRID cols=1 rows=49 width=186 height=5 left=12 top=32 hgap=0 vgap=0
TEXT x=0 y=0 w=9 h=5 font="DejaVu Sans" size=8 text="[d->CodEnt]"
TEXT x=10 y=0 w=47 h=5 font="DejaVu Sans" size=8 text="[Trim(d->Entidad)]"
TEXT x=58 y=0 w=19 h=5 font="DejaVu Sans" size=8 text="[DToC(d->QsoDate)]"
TEXT x=78 y=0 w=11 h=5 font="DejaVu Sans" size=8 text="[d->TimeOn]"
TEXT x=90 y=0 w=25 h=5 font="DejaVu Sans" size=8 style=B text="[Trim(d->Call)]"
TEXT x=116 y=0 w=13 h=5 font="DejaVu Sans" size=8 text="[Trim(d->Band)]"
TEXT x=130 y=0 w=13 h=5 font="DejaVu Sans" size=8 text="[Trim(d->Mode)]"
TEXT x=144 y=0 w=19 h=5 font="DejaVu Sans" size=8 text="[DToC(d->QslSDate)]" when=".NOT. Empty(d->QslSDate)"
TEXT x=164 y=0 w=6 h=5 font="DejaVu Sans" size=8 align=R text="[LTrim(Str(d->nQslTx))]" when="d->nQslTx > 0"
TEXT x=172 y=0 w=14 h=5 font="DejaVu Sans" size=8 text="Buró" when="d->QslMode = ""B"""
TEXT x=172 y=0 w=14 h=5 font="DejaVu Sans" size=8 text="Directa" when="d->QslMode = ""D"""
TEXT x=172 y=0 w=14 h=5 font="DejaVu Sans" size=8 text="Electr." when="d->QslMode = ""E"""
)D") + QString::fromUtf8(kHeading) + QStringLiteral(R"D(TEXT x=12 y=25 w=9 h=5 font="DejaVu Sans" size=8 style=B text="Ent."
TEXT x=22 y=25 w=47 h=5 font="DejaVu Sans" size=8 style=B text="Entidad"
TEXT x=70 y=25 w=19 h=5 font="DejaVu Sans" size=8 style=B text="Fecha"
TEXT x=90 y=25 w=11 h=5 font="DejaVu Sans" size=8 style=B text="Hora"
TEXT x=102 y=25 w=25 h=5 font="DejaVu Sans" size=8 style=B text="Indicativo"
TEXT x=128 y=25 w=13 h=5 font="DejaVu Sans" size=8 style=B text="Banda"
TEXT x=142 y=25 w=13 h=5 font="DejaVu Sans" size=8 style=B text="Modo"
TEXT x=156 y=25 w=19 h=5 font="DejaVu Sans" size=8 style=B text="QSL enviada"
TEXT x=176 y=25 w=6 h=5 font="DejaVu Sans" size=8 style=B align=R text="Nº"
TEXT x=184 y=25 w=14 h=5 font="DejaVu Sans" size=8 style=B text="Vía"
)D");
    return QStringLiteral(R"D(ORLANQSL 1
# Entidades no trabajadas: una fila por entidad, por orden de nombre
PAGE 210 297
GRID cols=1 rows=49 width=186 height=5 left=12 top=32 hgap=0 vgap=0
TEXT x=0 y=0 w=14 h=5 font="DejaVu Sans" size=9 text="[d->CodEnt]"
TEXT x=16 y=0 w=120 h=5 font="DejaVu Sans" size=9 text="[Trim(d->Entidad)]"
TEXT x=140 y=0 w=46 h=5 font="DejaVu Sans" size=9 style=I text="Eliminada" when=".NOT. d->lActivo"
)D") + QString::fromUtf8(kHeading) + QStringLiteral(R"D(TEXT x=12 y=25 w=14 h=5 font="DejaVu Sans" size=9 style=B text="Código"
TEXT x=28 y=25 w=120 h=5 font="DejaVu Sans" size=9 style=B text="Entidad"
TEXT x=152 y=25 w=46 h=5 font="DejaVu Sans" size=9 style=B text="Estado"
)D");
}

} // namespace reports
