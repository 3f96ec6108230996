#include "qsl/shipped_designs.h"

namespace qsl {

QString shippedCardDesign()
{
    return QStringLiteral(R"D(ORLANQSL 1
# Tarjeta QSL de 140 x 90 mm, un QSO por tarjeta
PAGE 140 90
BOX x=4 y=4 w=132 h=82 pen=0.4
TEXT x=8 y=7 w=124 h=12 font="DejaVu Sans" size=26 style=B align=C text="[IIF(Empty(f->Nombre), Trim(d->Operator), Trim(f->Nombre))]"
TEXT x=8 y=19 w=124 h=5 font="DejaVu Sans" size=9 align=C text="[Trim(f->Dir1)]"
TEXT x=8 y=24 w=124 h=5 font="DejaVu Sans" size=9 align=C text="[Trim(f->Dir2)]"
TEXT x=8 y=32 w=80 h=8 font="DejaVu Sans" size=16 style=B text="Para: [Trim(d->Call)]"
TEXT x=88 y=32 w=44 h=8 font="DejaVu Sans" size=10 align=R text="via [Trim(d->QslVia)]" when=".NOT. Empty(d->QslVia)"
BOX x=8 y=42 w=124 h=16 pen=0.3
LINE x=8 y=48 w=124 h=0 pen=0.2
TEXT x=9 y=42.5 w=24 h=5 font="DejaVu Sans" size=8 style=B align=C text="Fecha"
TEXT x=33 y=42.5 w=16 h=5 font="DejaVu Sans" size=8 style=B align=C text="UTC"
TEXT x=49 y=42.5 w=20 h=5 font="DejaVu Sans" size=8 style=B align=C text="Banda"
TEXT x=69 y=42.5 w=20 h=5 font="DejaVu Sans" size=8 style=B align=C text="Modo"
TEXT x=89 y=42.5 w=16 h=5 font="DejaVu Sans" size=8 style=B align=C text="RST"
TEXT x=105 y=42.5 w=26 h=5 font="DejaVu Sans" size=8 style=B align=C text="QSL"
TEXT x=9 y=49 w=24 h=8 font="DejaVu Sans" size=10 align=C text="[DToC(d->QsoDate)]"
TEXT x=33 y=49 w=16 h=8 font="DejaVu Sans" size=10 align=C text="[d->TimeOn]"
TEXT x=49 y=49 w=20 h=8 font="DejaVu Sans" size=10 align=C text="[Trim(d->Band)]"
TEXT x=69 y=49 w=20 h=8 font="DejaVu Sans" size=10 align=C text="[Trim(d->Mode)]"
TEXT x=89 y=49 w=16 h=8 font="DejaVu Sans" size=10 align=C text="[Trim(d->RstSent)]"
TEXT x=105 y=49 w=26 h=8 font="DejaVu Sans" size=10 style=B align=C text="[IIF(d->QslRcvd=""Y"",""TNX"",""PSE"")]"
TEXT x=8 y=60 w=62 h=5 font="DejaVu Sans" size=8 text="Operador: [Trim(d->Operator)]" when=".NOT. Empty(d->Operator)"
TEXT x=70 y=60 w=62 h=5 font="DejaVu Sans" size=8 align=R text="Locator: [Trim(d->Qra)]" when=".NOT. Empty(d->Qra)"
TEXT x=8 y=66 w=124 h=5 font="DejaVu Sans" size=8 text="[Trim(d->Comment)]"
TEXT x=8 y=72 w=124 h=5 font="DejaVu Sans" size=9 style=I align=C text="[Trim(f->Txt1)]"
TEXT x=8 y=78 w=124 h=5 font="DejaVu Sans" size=9 style=I align=C text="[Trim(f->Txt2)]"
)D");
}

QString shippedLabelDesign()
{
    QString s = QStringLiteral(R"D(ORLANQSL 1
# Hoja A4 de 3 x 8 etiquetas de 70 x 37 mm, tres QSO por etiqueta
PAGE 210 297
GRID cols=3 rows=8 width=70 height=37 left=0 top=0.5 hgap=0 vgap=0
TEXT x=4 y=2 w=40 h=6 font="DejaVu Sans" size=11 style=B text="Para: [Trim(d->Call)]"
TEXT x=44 y=2 w=22 h=6 font="DejaVu Sans" size=7 align=R text="via [Trim(d->QslVia)]" when=".NOT. Empty(d->QslVia)"
TEXT x=4 y=8.5 w=16 h=3.5 font="DejaVu Sans" size=6 style=B text="Fecha"
TEXT x=20 y=8.5 w=9 h=3.5 font="DejaVu Sans" size=6 style=B text="UTC"
TEXT x=29 y=8.5 w=11 h=3.5 font="DejaVu Sans" size=6 style=B text="Banda"
TEXT x=40 y=8.5 w=10 h=3.5 font="DejaVu Sans" size=6 style=B text="Modo"
TEXT x=50 y=8.5 w=7 h=3.5 font="DejaVu Sans" size=6 style=B text="RST"
TEXT x=57 y=8.5 w=9 h=3.5 font="DejaVu Sans" size=6 style=B text="QSL"
LINE x=4 y=12.2 w=62 h=0 pen=0.15
)D");
    for (int n = 1; n <= 3; ++n) {
        const QString y = QString::number(12.5 + (n - 1) * 4.2);
        const QString when = QStringLiteral(" when=\".NOT. Empty(d->QsoDate%1)\"").arg(n);
        auto item = [&](const QString& x, const QString& w, const QString& text) {
            s += QStringLiteral("TEXT x=%1 y=%2 w=%3 h=4 font=\"DejaVu Sans\" size=7 text=\"%4\"%5\n")
                     .arg(x, y, w, text.arg(n), when);
        };
        item(QStringLiteral("4"), QStringLiteral("16"), QStringLiteral("[DToC(d->QsoDate%1)]"));
        item(QStringLiteral("20"), QStringLiteral("9"), QStringLiteral("[d->TimeOn%1]"));
        item(QStringLiteral("29"), QStringLiteral("11"), QStringLiteral("[Trim(d->Band%1)]"));
        item(QStringLiteral("40"), QStringLiteral("10"), QStringLiteral("[Trim(d->Mode%1)]"));
        item(QStringLiteral("50"), QStringLiteral("7"), QStringLiteral("[Trim(d->RstSent%1)]"));
        item(QStringLiteral("57"), QStringLiteral("9"), QStringLiteral("[Trim(d->Qsl%1)]"));
    }
    s += QStringLiteral(
        "TEXT x=4 y=26 w=62 h=4 font=\"DejaVu Sans\" size=6 style=I text=\"[Trim(d->Name)]\"\n"
        "TEXT x=4 y=30.5 w=62 h=4 font=\"DejaVu Sans\" size=7 align=C text=\"[Trim(f->Txt1)]\"\n");
    return s;
}

} // namespace qsl
