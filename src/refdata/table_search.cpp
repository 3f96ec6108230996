#include "table_search.h"

#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <QFile>
#include <QtEndian>

namespace refdata {

namespace {

// Makes the work area that was current at construction current again.
class KeepCurrentArea {
public:
    KeepCurrentArea()
    {
        if (store::WorkArea* a = store::Workspace::instance().current())
            m_alias = a->alias();
    }
    ~KeepCurrentArea()
    {
        if (!m_alias.isEmpty())
            store::Workspace::instance().select(m_alias);
    }

private:
    QString m_alias;
};

} // namespace

std::optional<qint64> BUSPAR(const QString& tablePath, const QString& alias, QString* searchText,
                             const std::function<void()>& showFound, qint64 startOffset)
{
    KeepCurrentArea keep;
    store::Workspace& ws = store::Workspace::instance();
    ws.select(alias);

    if (startOffset <= 0) {
        startOffset = 0;
        QString typed = searchText->trimmed();
        if (!ui::messages().input(QStringLiteral("Entre la cadena, o parte de la cadena a buscar "),
                                  QStringLiteral("Buscar..."), &typed))
            return std::nullopt;
        *searchText = typed;
    }

    QByteArray data;
    QFile f(tablePath);
    if (f.open(QIODevice::ReadOnly))
        data = f.readAll();
    if (data.isEmpty()) {
        ui::messages().info(QStringLiteral("No hay datos donde buscar"), QStringLiteral("File Error"));
        return std::nullopt;
    }

    const QString text = searchText->trimmed().toUpper();
    *searchText = text.leftJustified(30);
    const QByteArray needle = store::cp1252::fromUnicode(text);

    // Records begin after the header; a text found among the field names
    // belongs to no record.
    const qint64 headerLen = data.size() >= 12 ? qFromLittleEndian<quint16>(data.constData() + 8) : 0;
    const qint64 recordLen = data.size() >= 12 ? qFromLittleEndian<quint16>(data.constData() + 10) : 0;
    const qint64 at = needle.isEmpty() || recordLen == 0 ? -1 : data.indexOf(needle, std::max(startOffset, headerLen));
    if (at < 0) {
        ui::messages().alert(QStringLiteral("No se ha encontrado la cadena"));
        return std::nullopt;
    }
    if (store::WorkArea* area = ws.area(alias)) {
        area->goTo(quint32((at - headerLen) / recordLen + 1));
        if (showFound)
            showFound();
    }
    return at + 1;
}

} // namespace refdata
