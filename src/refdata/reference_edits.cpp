#include "reference_edits.h"

#include "session_areas.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/record_buffer.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "core/messages.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace refdata {

using store::Value;
using store::WorkArea;

namespace {

QString text(WorkArea& a, const char* field) { return a.eof() ? QString() : a.str(QString::fromLatin1(field)).trimmed(); }

// Loads the current record (an existing one), puts the given fields and writes them.
bool save(WorkArea& a, bool isNew, std::initializer_list<std::pair<const char*, Value>> fields)
{
    if (!isNew && a.eof())
        return false;
    store::RecordBuffer buffer(&a);
    if (!isNew)
        buffer.load();
    for (const auto& [name, value] : fields)
        buffer.set(QString::fromLatin1(name), value);
    return store::saveBuffer(buffer, isNew);
}

bool deleteAfterAsking(WorkArea& a, const QString& question)
{
    if (a.eof() || !ui::messages().noYes(question))
        return false;
    store::Workspace::instance().select(a.alias());
    if (!store::RECLOCK(0))
        return false;
    const store::Status deleted = a.deleteRecord();
    const store::Status written = a.unlock();
    if (!deleted || !written) {
        ui::messages().stop(!deleted ? deleted.text() : written.text());
        return false;
    }
    return true;
}

} // namespace

KnownStation readKnownStation(WorkArea& a) { return {text(a, "CALL"), text(a, "NOTA")}; }

IotaReference readIotaReference(WorkArea& a) { return {text(a, "IOTA"), text(a, "NOMBRE"), text(a, "CODENT")}; }

BandEntry readBand(WorkArea& a) { return {text(a, "CODBAN"), text(a, "BANDA")}; }

ModeEntry readMode(WorkArea& a)
{
    return {text(a, "CODMOD"), text(a, "MODO"), text(a, "RSTDEF"), !a.eof() && a.logical(QStringLiteral("DIG"))};
}

bool saveKnownStation(WorkArea& a, const KnownStation& e, bool isNew)
{
    return save(a, isNew, {{"CALL", Value::text(e.call)}, {"NOTA", Value::text(e.note)}});
}

bool saveIotaReference(WorkArea& a, const IotaReference& e, bool isNew)
{
    const QString reference = isNew ? e.reference : text(a, "IOTA");
    QString entity = e.entity.trimmed();
    if (!entity.isEmpty())
        entity = entity.rightJustified(3, QLatin1Char(' '));   // entity codes are kept right-aligned
    return save(a, isNew,
                {{"IOTA", Value::text(reference)},
                 {"NOMBRE", Value::text(e.name)},
                 {"CODENT", Value::text(entity)},
                 {"NOMBRE2", Value::text(iotaSearchText(reference, e.name))}});
}

bool saveBand(WorkArea& a, const BandEntry& e, bool isNew)
{
    return save(a, isNew, {{"CODBAN", Value::text(e.code)}, {"BANDA", Value::text(e.name)}});
}

bool saveMode(WorkArea& a, const ModeEntry& e, bool isNew)
{
    return save(a, isNew,
                {{"CODMOD", Value::text(e.code)},
                 {"MODO", Value::text(e.name)},
                 {"RSTDEF", Value::text(e.rst)},
                 {"DIG", Value::logical(e.digital)}});
}

std::vector<EntityChoice> entityChoices()
{
    std::vector<EntityChoice> out;
    WorkArea* ent = detail::sessionArea(store::alias::kEnt);
    if (!ent)
        return out;
    const quint32 rec = ent->eof() ? 0 : ent->recNo();
    std::vector<std::pair<QByteArray, EntityChoice>> byName;
    {
        store::ReadWalk walk(*ent);
        for (ent->goTop(); !ent->eof(); ent->skip()) {
            const QByteArray name = detail::trimmedBlanks(ent->value(QStringLiteral("NOMBRE")).bytes());
            byName.push_back({name, {ent->str(QStringLiteral("CODENT")), store::cp1252::toUnicode(name)}});
        }
    }
    std::stable_sort(byName.begin(), byName.end(),
                     [](const auto& a, const auto& b) { return store::cp1252::collate(a.first, b.first) < 0; });
    for (auto& [key, choice] : byName)
        out.push_back(std::move(choice));
    if (rec)
        ent->goTo(rec);
    return out;
}

QString iotaSearchText(const QString& reference, const QString& name)
{
    return reference.left(2) + reference.mid(3, 3) + QLatin1Char(' ') + name.trimmed();
}

bool deleteKnownStation(WorkArea& a)
{
    return deleteAfterAsking(a, QStringLiteral("Se va a eliminar el registro ") + text(a, "CALL")
                                    + QStringLiteral("\r\nEsta seguro"));
}

bool deleteIotaReference(WorkArea& a)
{
    return deleteAfterAsking(a, QStringLiteral("Se va a eliminar la referenncia ") + text(a, "IOTA")
                                    + QStringLiteral("\r\nEsta seguro"));
}

} // namespace refdata
