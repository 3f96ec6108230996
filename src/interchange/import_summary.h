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
    bool interrupted = false;    // an error stopped the run: the rest of the file was not imported
    bool indexUnwritten = false; // the QSOs are in the table, but the index could not be written
};

// "Se han importado N registros", then one line (CR LF before it) for each
// count above that is not zero, and last, when the run did not complete, what
// was done and what was not.
QString importMessage(const ImportSummary& s);

// The last line of a run an error stopped after n records were done ("importado",
// "actualizado"): those are in the book, the rest of the file is not.
QString interruptedLine(int n, const char* done = "importados");
// The last line when the records were stored but the index could not be written.
QString indexUnwrittenLine();

// The line for n records refused for their date or time.
QString badDateTimeLine(int n);

} // namespace interchange
