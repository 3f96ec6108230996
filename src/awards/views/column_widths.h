#pragma once
// Widths of the grid columns of the award windows, in characters of the grid's font.

#include <QFontMetrics>
#include <QString>
#include <QWidget>

namespace awards {

inline int charsWide(const QWidget* w, int chars)
{
    return QFontMetrics(w->font()).horizontalAdvance(QString(chars, u'0')) + 10;
}

// Characters of a QSO column by its heading on one line (0: the grid's own guess).
inline int qsoColumnChars(const QString& heading)
{
    static const struct {
        const char* heading;
        int chars;
    } widths[] = {{"Fecha", 9},     {"Hora Inicio", 6}, {"Hora Fin", 6},   {"Indicativo", 11}, {"Pfx", 5},
                  {"Nombre", 12},   {"Banda", 5},       {"Frec", 8},       {"Modo", 6},        {"RST Tx", 4},
                  {"RST Rx", 4},    {"Entidad", 16},    {"Prv", 10},       {"QSL Via", 9},     {"QSL RX", 4},
                  {"QSL TX", 4},    {"LOTW RX", 4},     {"QSL Recibida", 9}, {"QSL Enviada", 9}, {"QTH", 12},
                  {"Cont", 4},      {"WAZ", 3},         {"ITU", 3},        {"Ref IOTA", 6},    {"Nombre IOTA", 16},
                  {"Locator", 7},   {"Edad", 4},        {"Comentario", 18}, {"Cod Ent.", 4},    {"Dist.", 6}};
    for (const auto& w : widths)
        if (heading == QLatin1String(w.heading))
            return w.chars;
    return 0;
}

} // namespace awards
