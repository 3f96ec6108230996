// orlanlog-cli: batch work and measurement on a program home.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out << "orlanlog-cli " << ORLANLOG_VERSION << " - libro de guardia para radioaficionados\n"
        << "Uso: orlanlog-cli [--home DIR] ORDEN\n"
        << "Las órdenes de trabajo por lotes se añaden con cada parte del programa.\n";
    return 0;
}
