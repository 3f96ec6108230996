#include "manual.h"
#include "commands.h"

#include "core/version.h"

#include <QMap>

#include <algorithm>

namespace cli {

namespace {

// One example a command; the commands not listed get their usage line.
const QMap<QString, QString>& examples()
{
    static const QMap<QString, QString> e = {
        {"add-qso", "orlanlog-cli add-qso EA3ABC --date 20240501 --time 12:34 --freq 14.205 --mode SSB --rst-sent 59"},
        {"award", "orlanlog-cli award DXCC --entities active"},
        {"backup", "orlanlog-cli backup ~/copias"},
        {"books", "orlanlog-cli books"},
        {"chart", "orlanlog-cli chart entities --top 10 --rest --from 20240101 --to 20241231"},
        {"check", "orlanlog-cli check"},
        {"cluster", "orlanlog-cli cluster dxc.example.org 7300 --login EA4ZZ --seconds 60"},
        {"create-book", "orlanlog-cli create-book CONCURSOS --descr \"Concursos de HF\""},
        {"crypt", "orlanlog-cli crypt"},
        {"delete-book", "orlanlog-cli delete-book CONCURSOS"},
        {"dist", "orlanlog-cli dist IN80DO JN45NL"},
        {"download-reference", "orlanlog-cli download-reference"},
        {"export-adif", "orlanlog-cli export-adif libro.adi --from 20240101 --to 20241231"},
        {"export-cabrillo", "orlanlog-cli export-cabrillo concurso.log --contest CQ-WW-SSB --call EA4ZZ"},
        {"import-adif", "orlanlog-cli import-adif libro.adi --dupcheck"},
        {"import-cabrillo", "orlanlog-cli import-cabrillo concurso.log --dupcheck"},
        {"import-cty", "orlanlog-cli import-cty cty.dat"},
        {"import-lotw", "orlanlog-cli import-lotw lotwreport.adi"},
        {"import-mdb", "orlanlog-cli import-mdb radioges.mdb --dupcheck --operator EA4ZZ"},
        {"init", "orlanlog-cli --home ~/guardia init --call EA4ZZ"},
        {"keygen", "orlanlog-cli keygen"},
        {"lookup", "orlanlog-cli lookup EA3ABC --service hamqth"},
        {"map", "orlanlog-cli map path --html camino.html --from IN80DO --to JN45NL"},
        {"mdb-tables", "orlanlog-cli mdb-tables radioges.mdb LibroGuardia"},
        {"migrate", "orlanlog-cli migrate"},
        {"print-qsl", "orlanlog-cli print-qsl --pdf etiquetas.pdf --pending"},
        {"qsl-format", "orlanlog-cli qsl-format add labels \"Etiquetas 3x8\""},
        {"qsl-rx", "orlanlog-cli qsl-rx EA3ABC --queue"},
        {"qsl-spool", "orlanlog-cli qsl-spool dedup"},
        {"qsl-tx", "orlanlog-cli qsl-tx EA3ABC --via B"},
        {"reorganize", "orlanlog-cli reorganize"},
        {"report", "orlanlog-cli report worked-not-confirmed --pdf pendientes.pdf --band 20M --band 40M"},
        {"resolve", "orlanlog-cli resolve EA4ZZ VP8ABC 20240501"},
        {"restore", "orlanlog-cli restore ~/copias/20261208OrlanLog.q7z"},
        {"rig", "orlanlog-cli rig --rigctld localhost:4532 set 14205 USB"},
        {"select", "orlanlog-cli select --band 20M --qsl-rcvd NO --xlsx pendientes.xlsx"},
        {"spots", "orlanlog-cli spots trafico.txt"},
        {"sun", "orlanlog-cli sun IN80DO 20240621"},
        {"transfer", "orlanlog-cli transfer --to CONCURSOS --from 20240101"},
        {"update-cty", "orlanlog-cli update-cty"},
        {"use-book", "orlanlog-cli use-book CONCURSOS"},
    };
    return e;
}

// Text as roff wants it: backslashes and leading dots escaped, minus signs kept as such.
QString roff(QString s)
{
    s.replace(u'\\', QStringLiteral("\\e"));
    s.replace(u'-', QStringLiteral("\\-"));
    if (s.startsWith(u'.') || s.startsWith(u'\''))
        s.prepend(QStringLiteral("\\&"));
    return s;
}

std::vector<Command> sorted()
{
    std::vector<Command> cmds = commands();
    std::sort(cmds.begin(), cmds.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    return cmds;
}

} // namespace

QString manualPage()
{
    QString m;
    // no date: the page is the same whenever it is built
    m += QStringLiteral(".TH ORLANLOG\\-CLI 1 \"\" \"orlanlog %1\" \"Órdenes de usuario\"\n").arg(QStringLiteral(ORLANLOG_VERSION));
    m += QStringLiteral(".SH NOMBRE\norlanlog\\-cli \\- libro de guardia para radioaficionados, sin ventanas\n");
    m += QStringLiteral(".SH SINOPSIS\n.B orlanlog\\-cli\n[\\fB\\-\\-home\\fR \\fIDIR\\fR] \\fIORDEN\\fR [\\fIopciones\\fR]\n");
    m += QStringLiteral(".SH DESCRIPCIÓN\n"
                        "Trabaja sobre la carpeta de datos de " ORLANLOG_NAME " con el mismo código que el programa de escritorio: "
                        "libros de guardia, QSO, confirmaciones QSL, diplomas, intercambio ADIF y Cabrillo, cluster, equipo, "
                        "informes y mantenimiento de las tablas. Puede usarse mientras el programa u otra orden trabajan "
                        "sobre la misma carpeta.\n"
                        ".PP\nLas fechas se escriben AAAAMMDD; las frecuencias, en MHz o kHz según la orden.\n");
    m += QStringLiteral(".SH OPCIONES\n.TP\n.BI \\-\\-home \" DIR\"\n"
                        "Carpeta de datos; sin ella se usa \\fBORLANLOG_HOME\\fR o \\fI~/.local/share/orlanlog/\\fR.\n"
                        ".TP\n.B \\-\\-help\nLista las órdenes.\n");
    m += QStringLiteral(".SH ÓRDENES\n");
    for (const Command& c : sorted()) {
        const QString usage = c.usage.section(u' ', 1);
        m += QStringLiteral(".TP\n\\fB%1\\fR %2\n%3.\n").arg(roff(c.name), roff(usage), roff(c.help));
        const QString example = examples().value(c.name, QStringLiteral("orlanlog-cli ") + c.usage);
        m += QStringLiteral(".RS\n.PP\nEjemplo:\n.nf\n%1\n.fi\n.RE\n").arg(roff(example));
    }
    m += QStringLiteral(".SH ENTORNO\n.TP\n.B ORLANLOG_HOME\nCarpeta de datos por omisión.\n"
                        ".TP\n.B ORLANLOG_OFFLINE\nCon el valor 1 no se hace ninguna consulta a internet.\n");
    m += QStringLiteral(".SH ESTADO DE SALIDA\n0 si la orden se cumplió, 1 si falló (el motivo se escribe), "
                        "2 si la orden o sus opciones no son válidas.\n");
    m += QStringLiteral(".SH VÉASE TAMBIÉN\n.BR orlanlog (1)\n");
    return m;
}

QString bashCompletion()
{
    QStringList names;
    for (const Command& c : sorted())
        names << c.name;
    return QStringLiteral(
               "# bash completion for orlanlog-cli\n"
               "_orlanlog_cli()\n"
               "{\n"
               "    local cur prev i cmd=\"\"\n"
               "    cur=\"${COMP_WORDS[COMP_CWORD]}\"\n"
               "    prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
               "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
               "        case \"${COMP_WORDS[i]}\" in\n"
               "            --home) ((i++)) ;;\n"
               "            -*) ;;\n"
               "            *) cmd=\"${COMP_WORDS[i]}\"; break ;;\n"
               "        esac\n"
               "    done\n"
               "    if [[ \"$prev\" == --home ]]; then\n"
               "        COMPREPLY=($(compgen -d -- \"$cur\"))\n"
               "        return\n"
               "    fi\n"
               "    if [[ -z \"$cmd\" ]]; then\n"
               "        COMPREPLY=($(compgen -W \"--home --help %1\" -- \"$cur\"))\n"
               "        return\n"
               "    fi\n"
               "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
               "}\n"
               "complete -o filenames -F _orlanlog_cli orlanlog-cli\n")
        .arg(names.join(u' '));
}

} // namespace cli
