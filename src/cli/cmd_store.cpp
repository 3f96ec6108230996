// Commands on the tables of a home: init, reorganize, check, crypt, keygen.
#include "commands.h"

#include "app/tappl.h"
#include "store/access.h"
#include "store/home.h"
#include "store/reorga.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QDir>
#include <QElapsedTimer>

namespace {

using app::TAppl;
using cli::out;

using cli::LineMeter;

QString activeBook()
{
    store::Workspace w;
    w.setDataDir(store::Workspace::instance().dataDir());
    store::WorkArea* b = nullptr;
    if (!w.use(QStringLiteral("libros"), {.alias = QStringLiteral("libros"), .readOnly = true}, &b))
        return {};
    QString first;
    for (b->goTop(); !b->eof(); b->skip()) {
        if (first.isEmpty())
            first = b->str(QStringLiteral("NOMBRE")).trimmed();
        if (b->logical(QStringLiteral("ACTIVO")))
            return b->str(QStringLiteral("NOMBRE")).trimmed();
    }
    return first;
}

int init(const QStringList& args, TAppl& appl)
{
    const int c = int(args.indexOf(QStringLiteral("--call")));
    const QString call = c >= 0 && c + 1 < args.size() ? args[c + 1].trimmed().toUpper() : QString();
    if (call.isEmpty()) {
        out() << "Falta el indicativo: orlanlog-cli init --call INDICATIVO\n";
        return 2;
    }
    const QString shipped = store::shippedTablesDir();
    store::Status s = store::createHome(appl.cDirLocal, appl.cDirDat, call, shipped);
    if (!s) {
        out() << "ERROR " << s.text() << '\n';
        return 1;
    }
    out() << "Carpeta preparada: " << appl.cDirLocal << " (libro de guardia " << call << ")\n";
    if (shipped.isEmpty())
        out() << "No se han encontrado las tablas de referencia del programa: las tablas de referencia quedan vacías\n";
    else
        out() << "Tablas de referencia del programa: " << shipped << '\n';
    return 0;
}

int reorganize(const QStringList&, TAppl&)
{
    QElapsedTimer timer;
    timer.start();
    LineMeter meter;
    const bool done = store::REORGA(meter);
    // what failed, or was left, has been told through the messages
    out() << (done ? "Regeneración de indices concluida" : "La reorganización no ha concluido") << " ("
          << timer.elapsed() << " ms)\n";
    return done ? 0 : 1;
}

int check(const QStringList&, TAppl& appl)
{
    QElapsedTimer timer;
    timer.start();
    QStringList lines;
    const int bad = store::checkHome(appl.cDirLocal, appl.cDirDat, &lines);
    for (const QString& l : lines)
        out() << l << '\n';
    out() << (bad ? QStringLiteral("%1 tablas con errores").arg(bad) : QStringLiteral("Todas las tablas están correctas"))
          << " (" << timer.elapsed() << " ms)\n";
    return bad ? 1 : 0;
}

int crypt(const QStringList&, TAppl&)
{
    const QString list = store::CRYPT();
    for (const QString& l : list.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        out() << l << '\n';
    return 0;
}

int keygen(const QStringList&, TAppl&)
{
    const QString book = activeBook();
    if (book.isEmpty() || !store::NETUSE(QStringLiteral("Log") + book, true, 1, QStringLiteral("Log"))) {
        out() << "No hay libro de guardia activo\n";
        return 1;
    }
    out() << "Próxima clave del libro " << book << ": " << store::KEYGEN() << '\n';
    return 0;
}

const cli::CommandRegistration r1({"init", "init --call INDICATIVO", "prepara una carpeta con todas las tablas y un primer libro", init});
const cli::CommandRegistration r2({"reorganize", "reorganize", "compacta las tablas y regenera todos los índices", reorganize});
const cli::CommandRegistration r3({"check", "check", "comprueba cada etiqueta de cada tabla con sus registros", check});
const cli::CommandRegistration r4({"crypt", "crypt", "repara el primer byte de las tablas de la carpeta de datos", crypt});
const cli::CommandRegistration r5({"keygen", "keygen", "muestra la próxima clave de QSO del libro activo", keygen});

} // namespace
