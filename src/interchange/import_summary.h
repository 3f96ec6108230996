#pragma once
// The message that ends an import: how many QSOs came in, and a line for each
// kind of record the user has to know about (refused, or stored cut).

#include <QString>

namespace interchange {

struct ImportSummary {
    int imported = 0;
    int badDateTime = 0;     // refused: a QSO date or time that is no real date or time
    int badCall = 0;         // refused: what stands where the call goes is no call
    int longModes = 0;       // stored with an unknown mode cut to the field
};

// "Se han importado N registros", then one line (CR LF before it) for each
// count above that is not zero.
QString importMessage(const ImportSummary& s);

// The line for n records refused for their date or time.
QString badDateTimeLine(int n);

} // namespace interchange
