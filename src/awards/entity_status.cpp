#include "entity_status.h"

#include "book_area.h"

#include "refdata/session_areas.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/table_file.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace awards {

namespace {

const QString kPanelLog = QStringLiteral("LogDpl2");

store::Workspace& ws() { return store::Workspace::instance(); }

QString upperTrimmed(const QByteArray& b)
{
    return QString::fromLatin1(store::cp1252::upper(b.trimmed()));
}

bool emptyEntity(const QString& e)
{
    const QString t = e.trimmed();
    return t.isEmpty() || t == QLatin1String("0");
}

} // namespace

EntityPanelState::EntityPanelState() = default;

EntityPanelState::~EntityPanelState()
{
    ws().close(kPanelLog);
}

bool EntityPanelState::lotwConfirms()
{
    store::WorkArea* cfg = refdata::detail::sessionArea(store::alias::kCfg);
    if (cfg && cfg->eof())
        cfg->goTop();
    return cfg && !cfg->eof() && cfg->fieldPos(QStringLiteral("LOTWCFM")) >= 0 && cfg->logical(QStringLiteral("LOTWCFM"));
}

store::WorkArea* EntityPanelState::logArea()
{
    const QString path = sessionBook().log;
    store::WorkArea* a = ws().area(kPanelLog);
    if (a && a->table().path() == path)
        return a;
    ws().close(kPanelLog);
    a = nullptr;
    if (path.isEmpty() || !ws().use(path, {.alias = kPanelLog, .readOnly = true}, &a).isOk())
        return nullptr;
    return a;
}

QString EntityPanelState::modeKey(const QString& mode) const
{
    if (m_status.def.mixed)
        return QStringLiteral("MIXED");
    if (m_status.def.digital && digitalModes().contains(mode.trimmed().toUpper()))
        return QStringLiteral("DIG");
    return mode.trimmed().toUpper();
}

int EntityPanelState::DPLVIS(const QString& entityIn, bool force)
{
    const QString entity = entityIn.trimmed().rightJustified(3, u' ');
    store::WorkArea* log = logArea();
    if (!force && entity == m_lastEntity && log)
        return 0;
    m_lastEntity = entity;
    m_status = EntityStatus{};
    m_status.entity = entity;
    m_status.definitionFound = findDefinition(kEntityPanelCode, &m_status.def);
    if (!m_status.definitionFound)
        m_status.def = defaultEntityPanelDefinition();
    if (!log || emptyEntity(entity))
        return 0;
    AwardDef def = m_status.def;
    def.entities = {entity};
    const Selection sel(def);
    const bool lotwCfm = lotwConfirms();
    const int fp = def.field.isEmpty() ? -1 : log->fieldPos(def.field);
    if (fp < 0)
        return 0;
    // band columns and mode keys by the bytes the QSOs hold, worked out once per distinct value
    QHash<QByteArray, int> bandColumn;
    for (int i = 0; i < def.bands.size(); ++i)
        bandColumn.insert(def.bands[i].toLatin1(), i);
    QStringList modeKeys;
    QHash<QByteArray, int> modeOf;     // -1: the award does not take the mode
    auto modeIndex = [&](const QByteArray& raw) {
        auto it = modeOf.constFind(raw);
        if (it != modeOf.cend())
            return *it;
        const QString mode = upperTrimmed(raw);
        int index = -1;
        if (sel.modes.contains(mode) || sel.digitalMode(mode)) {
            const QString key = sel.modeKey(mode);
            index = int(modeKeys.indexOf(key));
            if (index < 0) {
                modeKeys << key;
                index = int(modeKeys.size()) - 1;
            }
        }
        modeOf.insert(raw, index);
        return index;
    };
    const int pBand = log->fieldPos(QStringLiteral("BAND"));
    const int pMode = log->fieldPos(QStringLiteral("MODE"));
    const int pQsl = log->fieldPos(QStringLiteral("QSLRCVD"));
    const int pLotw = log->fieldPos(QStringLiteral("LOTWRCVD"));
    // the cells as paper part ('\0', 'T', 'C') and electronic part while the QSOs are read
    struct Tally {
        QByteArray ref;
        int mode;
        std::vector<char> paper;
        std::vector<bool> electronic;
    };
    std::vector<Tally> tallies;
    // The whole table read a megabyte at a time, the entity compared in the
    // record's bytes: a few milliseconds for a hundred thousand QSOs, whatever
    // share of them the entity has (a walk through the entity's index entries
    // reads record by record and costs more than that for a large one).
    auto fieldAt = [log](int pos) { return pos >= 0 ? std::pair<int, int>(log->field(pos).offset, log->field(pos).len) : std::pair<int, int>(-1, 0); };
    const auto [entOff, entLen] = fieldAt(log->fieldPos(QStringLiteral("CODENT")));
    const auto [bandOff, bandLen] = fieldAt(pBand);
    const auto [modeOff, modeLen] = fieldAt(pMode);
    const auto [qslOff, qslLen] = fieldAt(pQsl);
    const auto [lotwOff, lotwLen] = fieldAt(pLotw);
    const auto [refOff, refLen] = fieldAt(fp);
    const bool refText = log->field(fp).type == 'C';
    const QByteArray wanted = entity.toLatin1();
    if (entOff < 0 || entLen != wanted.size() || bandOff < 0 || modeOff < 0 || qslOff < 0)
        return 0;
    const bool hidden = store::Workspace::deletedHidden();
    store::TableFile& table = log->table();
    table.refreshCount();
    table.forEachRecord(table.recCount(), [&](quint32 rec, const char* r) {
        if ((hidden && r[0] == '*') || std::memcmp(r + entOff, wanted.constData(), size_t(entLen)) != 0)
            return;
        const QByteArray bandBytes = QByteArray(r + bandOff, bandLen).trimmed();
        auto column = bandColumn.constFind(bandBytes);
        if (column == bandColumn.cend()) {
            column = bandColumn.constFind(store::cp1252::upper(bandBytes));
            if (column == bandColumn.cend())
                return;
        }
        const int mode = modeIndex(QByteArray(r + modeOff, modeLen));
        if (mode < 0)
            return;
        ++m_status.qsos;
        QByteArray ref;
        if (refText)
            ref = QByteArray(r + refOff, refLen);
        else {
            log->goTo(rec);
            ref = log->value(fp).toString().toLatin1();
        }
        Tally* t = nullptr;
        for (Tally& x : tallies)
            if (x.mode == mode && x.ref == ref) {
                t = &x;
                break;
            }
        if (!t) {
            tallies.push_back({ref, mode, std::vector<char>(size_t(def.bands.size()), '\0'),
                               std::vector<bool>(size_t(def.bands.size()), false)});
            t = &tallies.back();
        }
        const bool card = r[qslOff] == 'Y';
        const bool lotw = lotwOff >= 0 && r[lotwOff] == 'Y';
        char& paper = t->paper[size_t(*column)];
        if (lotwCfm) {
            if (paper != 'C')
                paper = card || lotw ? 'C' : 'T';
        }
        else if (paper != 'C' || !t->electronic[size_t(*column)]) {
            if (paper != 'C')
                paper = card ? 'C' : 'T';
            if (lotw)
                t->electronic[size_t(*column)] = true;
        }
    });
    for (const Tally& t : tallies) {
        EntityRow row{t.ref, modeKeys[t.mode], {}, std::vector<bool>(size_t(def.bands.size()), false)};
        for (size_t b = 0; b < t.paper.size(); ++b) {
            QString cell = t.paper[b] ? QString(QChar::fromLatin1(t.paper[b])) : QString();
            if (t.electronic[b]) {
                if (cell == QLatin1String("T"))
                    cell.clear();
                cell += u'L';
            }
            row.cells << cell;
        }
        m_status.rows.push_back(std::move(row));
    }
    std::sort(m_status.rows.begin(), m_status.rows.end(), [](const EntityRow& a, const EntityRow& b) {
        return a.ref != b.ref ? a.ref < b.ref : a.mode < b.mode;
    });
    if (!m_call.isEmpty())
        DPLCALL(m_call);
    return m_status.qsos;
}

void EntityPanelState::DPLCALL(const QString& callIn)
{
    const QString call = callIn.trimmed().toUpper();
    m_call = call;
    for (EntityRow& r : m_status.rows)
        std::fill(r.worked.begin(), r.worked.end(), false);
    store::WorkArea* log = logArea();
    if (!log || call.size() <= 3 || m_status.rows.empty())
        return;
    const Selection sel(m_status.def);
    QHash<QString, int> bandColumn;
    for (int i = 0; i < m_status.def.bands.size(); ++i)
        bandColumn.insert(m_status.def.bands[i], i);
    const int pCall = log->fieldPos(QStringLiteral("CALL"));
    const int pBand = log->fieldPos(QStringLiteral("BAND"));
    const int pMode = log->fieldPos(QStringLiteral("MODE"));
    store::ReadWalk hold(*log);
    log->setOrder(QStringLiteral("Call"));
    const store::Value key = store::Value::text(call);
    log->setScope(key, key);
    for (log->goTop(); !log->eof(); log->skip()) {
        if (upperTrimmed(log->value(pCall).bytes()) != call)
            continue;
        const auto column = bandColumn.constFind(upperTrimmed(log->value(pBand).bytes()));
        if (column == bandColumn.cend())
            continue;
        const QString mode = upperTrimmed(log->value(pMode).bytes());
        for (EntityRow& r : m_status.rows) {
            const bool same = r.mode == QLatin1String("MIXED") || (r.mode == QLatin1String("DIG") ? sel.digitalMode(mode) : r.mode == mode);
            if (same)
                r.worked[size_t(*column)] = true;
        }
    }
    log->clearScope();
}

std::pair<int, int> EntityPanelState::position(const QString& band, const QString& mode) const
{
    const int column = int(m_status.def.bands.indexOf(band.trimmed().toUpper()));
    const QString mk = modeKey(mode);
    for (size_t r = 0; r < m_status.rows.size(); ++r)
        if (m_status.rows[r].mode == mk)
            return {int(r), column};
    return {-1, column};
}

CellList DXCCWRKD(const QString& entityIn, const QString& modeKey, const QString& bandIn, const BookFiles& book)
{
    CellList list;
    detail::OpenTable table(book.log, QStringLiteral("DxccWrkdWalk"));
    store::WorkArea* log = table.area();
    if (!log)
        return list;
    const QString entity = entityIn.trimmed().rightJustified(3, u' ');
    QString band = bandIn.trimmed().toUpper();
    if (!band.isEmpty() && !band.endsWith(u'M'))
        band += u'M';     // a heading of three characters: "160" is 160M
    const QSet<QString> digital = modeKey == QLatin1String("DIG") ? digitalModes() : QSet<QString>();
    const bool lotwCfm = EntityPanelState::lotwConfirms();
    const int pBand = log->fieldPos(QStringLiteral("BAND"));
    const int pMode = log->fieldPos(QStringLiteral("MODE"));
    const int pQsl = log->fieldPos(QStringLiteral("QSLRCVD"));
    const int pLotw = log->fieldPos(QStringLiteral("LOTWRCVD"));
    store::ReadWalk hold(*log);
    log->setOrder(QStringLiteral("CodEnt"));
    const store::Value key = store::Value::text(entity);
    log->setScope(key, key);
    for (log->goTop(); !log->eof(); log->skip()) {
        if (!band.isEmpty() && upperTrimmed(log->value(pBand).bytes()) != band)
            continue;
        const QString mode = upperTrimmed(log->value(pMode).bytes());
        if (modeKey == QLatin1String("DIG") ? !digital.contains(mode) : modeKey != QLatin1String("MIXED") && mode != modeKey)
            continue;
        list.records.push_back(log->recNo());
        if (log->value(pQsl).bytes().startsWith('Y') || (lotwCfm && pLotw >= 0 && log->value(pLotw).bytes().startsWith('Y')))
            ++list.confirmed;
    }
    return list;
}

QString entityCellTitle(const QString& entityName, const QString& band, const QString& mode, const CellList& list)
{
    const int n = int(list.records.size());
    const double pct = n ? list.confirmed * 100.0 / n : 0.0;
    return entityName.trimmed() + u' ' + band + u' ' + mode + QStringLiteral(" Trabjados ") + QString::number(n)
           + QStringLiteral(" , Confirmados ") + QString::number(list.confirmed)
           + QString::number(pct, 'f', 2).rightJustified(7, u' ') + u'%';
}

} // namespace awards
