#include "award_status.h"

#include "book_area.h"

#include "refdata/names.h"
#include "refdata/session_areas.h"
#include "store/aliases.h"
#include "store/codepage.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QHash>
#include <QMap>

#include <algorithm>

namespace awards {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

const QString kLogAlias = QStringLiteral("LogDpl");
const QString kRefsAlias = QStringLiteral("DplLogDpl");

using detail::OpenTable;

QByteArray trimmedUpper(const QByteArray& b)
{
    return store::cp1252::upper(b.trimmed());
}

bool emptyReference(const QByteArray& ref)
{
    const QByteArray t = ref.trimmed();
    return t.isEmpty() || std::all_of(t.begin(), t.end(), [](char c) { return c == '0'; });
}

// Status cells and counters of one award as the QSOs arrive.
class Tally {
public:
    explicit Tally(int bandCount) : m_bands(bandCount) {}

    // One QSO: its reference, mode key, band column and confirmation.
    void add(const QByteArray& ref, const QString& mode, int band, bool confirmed, const QString& desc = QString())
    {
        const QByteArray key = ref + '\x01' + mode.toLatin1();
        auto it = m_index.constFind(key);
        int r;
        if (it == m_index.cend()) {
            r = int(rows.size());
            rows.push_back({ref, mode, QByteArray(m_bands, ' '), desc});
            m_index.insert(key, r);
        }
        else
            r = *it;
        char& cell = rows[size_t(r)].cells[band];
        if (cell == 'C' || (cell == 'T' && !confirmed))
            return;
        Totals& t = totals[mode];
        if (t.worked.empty()) {
            t.worked.assign(size_t(m_bands), 0);
            t.confirmed.assign(size_t(m_bands), 0);
        }
        if (cell == ' ')
            ++t.worked[size_t(band)];
        if (confirmed)
            ++t.confirmed[size_t(band)];
        cell = confirmed ? 'C' : 'T';
    }

    struct Row {
        QByteArray ref;
        QString mode;
        QByteArray cells;
        QString desc;
        char five = ' ', total = ' ';
    };
    struct Totals {
        std::vector<int> worked, confirmed;
        int fiveWorked = 0, fiveConfirmed = 0, totalWorked = 0, totalConfirmed = 0;
    };
    std::vector<Row> rows;
    QMap<QString, Totals> totals;      // by mode key, in its order

private:
    int m_bands;
    QHash<QByteArray, int> m_index;
};

// The five-band and total columns of every row, with their counters.
void postProcess(Tally& t, bool fiveBands)
{
    for (Tally::Row& r : t.rows) {
        const int c = int(r.cells.count('C'));
        const int w = int(r.cells.count('T'));
        Tally::Totals& tot = t.totals[r.mode];
        if (fiveBands) {
            if (c >= 5) {
                r.five = 'C';
                ++tot.fiveWorked;
                ++tot.fiveConfirmed;
            }
            else if (c + w >= 5) {
                r.five = 'T';
                ++tot.fiveWorked;
            }
        }
        if (c >= 1) {
            r.total = 'C';
            ++tot.totalWorked;
            ++tot.totalConfirmed;
        }
        else if (w >= 1) {
            r.total = 'T';
            ++tot.totalWorked;
        }
    }
}

QString describe(const AwardDef& def, const QByteArray& refBytes)
{
    const QString ref = store::cp1252::toUnicode(refBytes);
    const QString code = ref.trimmed();
    const QString& f = def.field;
    if (f == QLatin1String("CONT"))
        return code + u' ' + refdata::NOMCON(code);
    if (f == QLatin1String("DXCC"))
        return refdata::NOMDXCC(code).trimmed();
    if (f == QLatin1String("IOTA"))
        return ref + u' ' + refdata::NOMIOTA(code).trimmed();
    if (f == QLatin1String("CODPRV")) {
        for (const QString& e : def.entities) {
            const QString name = refdata::NOMPRV(e, ref).trimmed();
            if (!name.isEmpty() && name != QLatin1String("!!"))
                return u'(' + code + QStringLiteral(") ") + name;
        }
        return u'(' + code + QStringLiteral(") ");
    }
    if (f == QLatin1String("CNTY"))
        return u'(' + code + u')';
    return ref;
}

QString counter(int n, int width)
{
    return QString::number(n).rightJustified(width, u' ');
}

// The rows of the tally in the order the status table's description tag gives
// them: ordinary rows by description (ties by reference and mode key, so the
// order never depends on the order of the QSOs), then the totals rows.
void finish(Tally& t, AwardStatus* out, bool standard)
{
    const bool post = standard && out->bands.size() > 1;
    out->hasFiveBands = standard && out->def.fiveBands;
    out->hasTotal = post;
    if (post)
        postProcess(t, out->def.fiveBands);
    if (standard) {
        QHash<QByteArray, QString> names;
        for (Tally::Row& r : t.rows) {
            auto it = names.constFind(r.ref);
            if (it == names.cend())
                it = names.insert(r.ref, describe(out->def, r.ref));
            r.desc = *it;
        }
    }
    const int n = int(out->bands.size());
    std::vector<StatusRow> ordinary;
    ordinary.reserve(t.rows.size());
    for (const Tally::Row& r : t.rows) {
        StatusRow s{r.ref, r.desc.left(20), r.mode, {}, false};
        for (int b = 0; b < n; ++b)
            s.cells << QString(QChar::fromLatin1(r.cells[b])).trimmed();
        if (out->hasFiveBands)
            s.cells << QString(QChar::fromLatin1(r.five)).trimmed();
        if (out->hasTotal)
            s.cells << QString(QChar::fromLatin1(r.total)).trimmed();
        ordinary.push_back(std::move(s));
    }
    auto descKey = [](const QString& d) { return store::cp1252::fromUnicode(d.leftJustified(20, u' ', true)); };
    std::sort(ordinary.begin(), ordinary.end(), [&](const StatusRow& a, const StatusRow& b) {
        const int c = store::cp1252::collate(descKey(a.desc), descKey(b.desc));
        if (c != 0)
            return c < 0;
        if (a.ref != b.ref)
            return a.ref < b.ref;
        return a.mode < b.mode;
    });
    out->rows = std::move(ordinary);
    const QByteArray zs(out->refWidth, 'z');
    std::vector<StatusRow> worked, confirmed;
    for (auto it = t.totals.cbegin(); it != t.totals.cend(); ++it) {
        StatusRow w{zs, kWorkedTotals, it.key(), {}, true};
        StatusRow c{zs, kConfirmedTotals, it.key(), {}, true};
        for (int b = 0; b < n; ++b) {
            w.cells << counter(it->worked[size_t(b)], 3);
            c.cells << counter(it->confirmed[size_t(b)], 3);
        }
        if (out->hasFiveBands) {
            w.cells << counter(it->fiveWorked, 3);
            c.cells << counter(it->fiveConfirmed, 3);
        }
        if (out->hasTotal) {
            w.cells << counter(it->totalWorked, 4);
            c.cells << counter(it->totalConfirmed, 4);
        }
        worked.push_back(std::move(w));
        confirmed.push_back(std::move(c));
    }
    // "·Trabajados" sorts before "··Confirmados"; equal descriptions keep the order they were written in
    for (StatusRow& r : worked)
        out->rows.push_back(std::move(r));
    for (StatusRow& r : confirmed)
        out->rows.push_back(std::move(r));
}

// Entity codes (as stored) whose situation is `sit`.
QSet<QByteArray> entitiesWithSituation(char sit)
{
    QSet<QByteArray> codes;
    store::WorkArea* ent = refdata::detail::sessionArea(store::alias::kEnt);
    if (!ent)
        return codes;
    const quint32 at = ent->recNo();
    const int code = ent->fieldPos(QStringLiteral("CODENT"));
    const int situation = ent->fieldPos(QStringLiteral("SIT"));
    for (ent->goTop(); !ent->eof(); ent->skip()) {
        const QByteArray s = ent->value(situation).bytes().trimmed().toUpper();
        if (s.size() == 1 && s[0] == sit)
            codes.insert(ent->value(code).bytes());
    }
    ent->goTo(at);
    return codes;
}

// Runs visit on every QSO of the entity set.
bool walkBook(store::WorkArea* log, const AwardDef& def, EntitySet set, const std::function<void()>& visit)
{
    store::ReadWalk hold(*log);
    if (set == EntitySet::All && !def.entities.isEmpty()) {
        if (!log->setOrder(QStringLiteral("CodEnt")).isOk())
            return false;
        for (const QString& e : def.entities) {
            const store::Value key = store::Value::text(e.rightJustified(3, u' '));
            log->setScope(key, key);
            for (log->goTop(); !log->eof(); log->skip())
                visit();
        }
        log->clearScope();
        return true;
    }
    log->setOrder(QString());
    if (set == EntitySet::All) {
        for (log->goTop(); !log->eof(); log->skip())
            visit();
        return true;
    }
    const QSet<QByteArray> wanted = entitiesWithSituation(set == EntitySet::Active ? kActiveSituation : kDeletedSituation);
    const int codent = log->fieldPos(QStringLiteral("CODENT"));
    for (log->goTop(); !log->eof(); log->skip())
        if (wanted.contains(log->value(codent).bytes()))
            visit();
    return true;
}

QString unreadable(const QString& path)
{
    return QStringLiteral("No se puede leer el libro de guardia %1").arg(path);
}

} // namespace

QString badFieldMessage()
{
    return QStringLiteral("El diploma seleccionado, esta mal configurado\r\nQuizas deba marcarlo como diploma no Estandar");
}

QStringList AwardStatus::columns() const
{
    QStringList c = bands;
    if (hasFiveBands)
        c << QStringLiteral("CincoB");
    if (hasTotal)
        c << QStringLiteral("Total");
    return c;
}

BookFiles sessionBook()
{
    BookFiles b;
    if (store::WorkArea* log = ws().area(store::alias::kLog))
        b.log = log->table().path();
    if (store::WorkArea* refs = ws().area(store::alias::kDplLog))
        b.refs = refs->table().path();
    return b;
}

BookFiles namedBook(const QString& name)
{
    const QString n = name.trimmed();
    if (n.isEmpty())
        return {};
    return {ws().tablePath(QStringLiteral("Log") + n), ws().tablePath(QStringLiteral("Dpl") + n)};
}

QSet<QString> digitalModes()
{
    QSet<QString> codes;
    store::WorkArea* modo = refdata::detail::sessionArea(store::alias::kModo);
    if (!modo)
        return codes;
    const quint32 at = modo->recNo();
    for (modo->goTop(); !modo->eof(); modo->skip())
        if (modo->logical(QStringLiteral("DIG")))
            codes.insert(modo->str(QStringLiteral("CODMOD")).trimmed().toUpper());
    modo->goTo(at);
    return codes;
}

Selection::Selection(const AwardDef& def)
    : bands(def.bands.cbegin(), def.bands.cend()), modes(def.modes.cbegin(), def.modes.cend()), mixed(def.mixed)
{
    if (def.digital)
        digital = digitalModes();
}

QString Selection::modeKey(const QString& mode) const
{
    if (mixed)
        return QStringLiteral("MIXED");
    if (digitalMode(mode))
        return QStringLiteral("DIG");
    return mode;
}

// Where a QSO of the book counts in an award's table: its band's column, its
// mode key and whether it is confirmed; false when the award takes neither
// its band nor its mode.
class QsoCell {
public:
    QsoCell(store::WorkArea* log, const AwardDef& def)
        : m_log(log), m_sel(def), m_band(log->fieldPos(QStringLiteral("BAND"))),
          m_mode(log->fieldPos(QStringLiteral("MODE"))), m_qsl(log->fieldPos(QStringLiteral("QSLRCVD")))
    {
        for (int i = 0; i < def.bands.size(); ++i)
            m_column.insert(def.bands[i], i);
    }
    bool read(int* column, QString* modeKey, bool* confirmed) const
    {
        const QString band = QString::fromLatin1(trimmedUpper(m_log->value(m_band).bytes()));
        const QString mode = QString::fromLatin1(trimmedUpper(m_log->value(m_mode).bytes()));
        if (!m_sel.takes(band, mode))
            return false;
        const auto at = m_column.constFind(band);
        if (at == m_column.cend())
            return false;
        *column = *at;
        *modeKey = m_sel.modeKey(mode);
        *confirmed = m_log->value(m_qsl).bytes().startsWith('Y');
        return true;
    }

private:
    store::WorkArea* m_log;
    Selection m_sel;
    int m_band, m_mode, m_qsl;
    QHash<QString, int> m_column;
};

bool DPLVISCRT(const AwardDef& def, EntitySet set, const BookFiles& book, AwardStatus* out, QString* error)
{
    *out = AwardStatus{};
    out->def = def;
    out->bands = def.bands;
    OpenTable table(book.log, kLogAlias);
    store::WorkArea* log = table.area();
    if (!log) {
        *error = unreadable(book.log);
        return false;
    }
    const int fp = def.field.isEmpty() ? -1 : log->fieldPos(def.field);
    if (fp < 0 || def.field == QLatin1String("KEY")) {
        *error = badFieldMessage();
        return false;
    }
    const store::DbfField& field = log->field(fp);
    out->refType = 'C';
    out->refWidth = int(field.len);
    const bool numeric = field.type == 'N' || field.type == 'F';
    const bool locator = def.field == QLatin1String("GRIDSQUARE");

    const QsoCell cell(log, def);
    Tally tally(int(def.bands.size()));
    auto visit = [&] {
        QByteArray ref;
        if (numeric) {
            const double n = log->value(fp).toNumber();
            if (n == 0)
                return;
            ref = QByteArray::number(n, 'f', field.dec).rightJustified(out->refWidth, ' ');
        }
        else {
            ref = log->value(fp).bytes();
            if (locator)
                ref = trimmedUpper(ref).left(4).leftJustified(out->refWidth, ' ');
            if (emptyReference(ref))
                return;
        }
        int column = 0;
        QString modeKey;
        bool confirmed = false;
        if (!cell.read(&column, &modeKey, &confirmed))
            return;
        ++out->qsos;
        tally.add(ref, modeKey, column, confirmed);
    };
    if (!walkBook(log, def, set, visit)) {
        *error = unreadable(book.log);
        return false;
    }
    finish(tally, out, true);
    return true;
}

bool DPLVISCRTNS(const AwardDef& def, EntitySet set, const BookFiles& book, AwardStatus* out, QString* error)
{
    *out = AwardStatus{};
    out->def = def;
    out->bands = def.bands;
    out->refType = 'C';
    out->refWidth = 10;
    OpenTable table(book.log, kLogAlias);
    store::WorkArea* log = table.area();
    if (!log) {
        *error = unreadable(book.log);
        return false;
    }
    // the references of this list attached to each QSO, by QSO key, in their order
    QHash<QByteArray, QByteArray> refOf;
    {
        OpenTable refsTable(book.refs, kRefsAlias);
        if (store::WorkArea* refs = refsTable.area()) {
            store::ReadWalk hold(*refs);
            refs->setOrder(QString());
            const QByteArray list = def.field.toLatin1();
            const int pKey = refs->fieldPos(QStringLiteral("KEY"));
            const int pDpl = refs->fieldPos(QStringLiteral("DPL"));
            const int pCod = refs->fieldPos(QStringLiteral("COD"));
            for (refs->goTop(); !refs->eof(); refs->skip()) {
                if (trimmedUpper(refs->value(pDpl).bytes()) != list)
                    continue;
                const QByteArray cod = refs->value(pCod).bytes().leftJustified(10, ' ', true);
                if (cod.trimmed().isEmpty())
                    continue;
                const QByteArray key = refs->value(pKey).bytes();
                if (!refOf.contains(key))
                    refOf.insert(key, cod);
            }
        }
    }
    const QsoCell cell(log, def);
    const int pKey = log->fieldPos(QStringLiteral("KEY"));
    Tally tally(int(def.bands.size()));
    QHash<QByteArray, QString> names;
    auto visit = [&] {
        const auto ref = refOf.constFind(log->value(pKey).bytes());
        if (ref == refOf.cend())
            return;
        int column = 0;
        QString modeKey;
        bool confirmed = false;
        if (!cell.read(&column, &modeKey, &confirmed))
            return;
        auto name = names.constFind(*ref);
        if (name == names.cend()) {
            const QString code = store::cp1252::toUnicode(*ref);
            name = names.insert(*ref, (code + u'-' + DPLDES(def.field, code)).left(20));
        }
        ++out->qsos;
        tally.add(*ref, modeKey, column, confirmed, *name);
    };
    if (!walkBook(log, def, set, visit)) {
        *error = unreadable(book.log);
        return false;
    }
    finish(tally, out, false);
    return true;
}

bool computeAward(const AwardDef& def, EntitySet set, const BookFiles& book, AwardStatus* out, QString* error)
{
    return def.noStandard ? DPLVISCRTNS(def, set, book, out, error) : DPLVISCRT(def, set, book, out, error);
}

} // namespace awards
