#pragma once
// A fresh program home whose log book holds n generated QSOs, imported from
// an ADIF file made for it in work; the session's tables open.

#include "bench_home.h"

#include "interchange/adif_import.h"
#include "core/messages.h"

#include <cstdio>

namespace bench {

// The number of QSOs in the book, or -1 when the home could not be made.
inline int filledBook(const QString& work, int n)
{
    QDir().mkpath(work);
    const QString file = work + QStringLiteral("/fill.adi");
    writeAdif(file, n);
    if (!freshHome(work + QStringLiteral("/home"))) {
        std::fprintf(stderr, "no se pudo preparar la carpeta\n");
        return -1;
    }
    interchange::AdifImportOptions o;
    o.path = file;
    o.operatorCall = QStringLiteral("EA1XX");
    ui::SilentMeter meter;
    const int filled = interchange::ADIFIMP(meter, o).imported;
    std::printf("book: %d QSOs\n", filled);
    return filled;
}

} // namespace bench
