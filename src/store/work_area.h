#pragma once
// A work area: one table open under an alias, with its own record pointer,
// controlling order, scope, filter and locks. This is how the rest of the
// program reads and writes tables:
//
//     store::WorkArea* log = nullptr;
//     if (!ws.use("Log" + book, {.alias = "Log"}, &log))          // shared, first tag as order
//         ...;
//     log->setOrder("Call");
//     log->setScope(Value::text(u"EA1XX"_s), Value::text(u"EA1XX"_s));
//     for (log->goTop(); !log->eof(); log->skip())
//         show(log->str("CALL"), log->date("QSODATE"));
//
//     if (log->append())                  // blank record, locked (Busy: someone holds the table)
//     {
//         log->put("CALL", u"EA4ZZ"_s);
//         log->put("QSODATE", QDate::currentDate());
//         log->unlock();                  // writes the record and its keys in every tag
//     }
//
// Operations return a Status: a refused lock is StatusCode::Busy, never an
// exception; the caller decides whether to retry or to ask the user.
//
// Deleted records are invisible to every navigation, search and count while
// the process-wide setting (Workspace::setDeletedHidden) is on, as it is by default.

#include "cdx_file.h"
#include "status.h"
#include "table_file.h"
#include "value.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>

namespace store {

class Workspace;
class WorkArea;

// Keeps a table's index steady for a read-only walk (a count, an export, an
// award tally) so that its steps skip the index's change check; see
// CdxFile::ReadHold for what other programs see meanwhile. Changes made by
// this program during the walk are allowed and seen. Harmless without an index.
//
//     store::ReadWalk walk(*log);
//     for (log->goTop(); !log->eof(); log->skip())
//         ...
class ReadWalk {
public:
    explicit ReadWalk(WorkArea& a);
    ~ReadWalk();
    ReadWalk(const ReadWalk&) = delete;
    ReadWalk& operator=(const ReadWalk&) = delete;
private:
    std::shared_ptr<TableFile> m_table;
};

class WorkArea {
public:
    ~WorkArea();
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;

    const QString& alias() const { return m_alias; }
    TableFile& table() { return *m_table; }
    const TableFile& table() const { return *m_table; }
    bool shared() const { return m_table->shared(); }
    bool readOnly() const { return m_readOnly; }

    // ---- structure
    int fieldCount() const { return int(m_table->header().fields.size()); }
    const DbfField& field(int i) const { return m_table->header().fields[size_t(i)]; }
    int fieldPos(const QString& name) const;        // 0-based, -1 when absent

    // ---- navigation (each returns the first error met; position stays sensible)
    Status goTop();
    Status goBottom();
    Status skip(int n = 1);
    Status goTo(quint32 rec);
    // Seeks the value in the controlling order. Text keys match by prefix.
    // Not found: eof, or with soft the next greater key. last: the last match.
    Status seek(const Value& key, bool soft = false, bool last = false);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool found() const { return m_found; }
    quint32 recNo() const { return m_rec; }
    quint32 recCount();
    quint32 keyCount();
    quint32 keyNo();
    // Record numbers of every visible record in the controlling order, scope and
    // filter, as a grid shows them; read from the index alone when it can be.
    Status visibleRecords(std::vector<quint32>* out);

    // ---- order, scope, filter
    int tagCount() const { return m_table->tagCount(); }
    QByteArray tagName(int i) const;                // 0-based
    Status setOrder(const QString& tag);            // empty: natural record order
    Status setOrder(int n);                         // 0 natural, 1.. tags in creation order
    int order() const { return m_order + 1; }
    QByteArray orderName() const;
    QByteArray orderKeyExpr() const;
    // Current record's key in the controlling order (text of the key expression).
    Value orderKeyValue();
    void setScope(const Value& top, const Value& bottom);
    void setScopeTop(const Value& top);
    void setScopeBottom(const Value& bottom);
    void clearScope();
    Status setFilter(const QString& expr);
    void setFilter(std::function<bool(WorkArea&)> fn);
    void clearFilter();

    // ---- fields of the current record
    Value value(int i);
    Value value(const QString& name);
    QString str(const QString& name);               // fixed width, as stored
    double num(const QString& name);
    QDate date(const QString& name);
    bool logical(const QString& name);
    QByteArray memo(const QString& name, bool* binary = nullptr);   // raw bytes (text memos: Windows-1252)
    QString memoText(const QString& name);
    Status readMemo(const QString& name, QByteArray* data, bool* binary = nullptr);   // with the error, if any
    bool deleted() const { return !m_eof && m_buf.size() && m_buf[0] == '*'; }
    // Evaluates an expression on the current record.
    Status eval(const QString& expr, Value* out);

    // ---- writing (shared tables: the record or the table must be locked)
    Status put(int i, const Value& v);
    Status put(const QString& name, const Value& v);
    Status put(const QString& name, const QString& s) { return put(name, Value::text(s)); }
    Status put(const QString& name, const char* s) { return put(name, Value::text(QString::fromUtf8(s))); }
    Status put(const QString& name, double n) { return put(name, Value::number(n)); }
    Status put(const QString& name, int n) { return put(name, Value::number(n)); }
    Status put(const QString& name, const QDate& d) { return put(name, Value::date(d)); }
    Status put(const QString& name, bool b) { return put(name, Value::logical(b)); }
    Status putMemo(const QString& name, const QByteArray& data, bool binary = false);
    Status append();                                 // blank record, left locked
    // Appends and runs fill on the new record while the table's append lock is
    // still held, then writes the record; no other process appends in between.
    Status append(const std::function<Status(WorkArea&)>& fill);
    Status lockRecord();                             // the current record
    Status lockRecord(quint32 rec);
    Status lockTable();
    Status unlock();                                 // writes pending changes, releases every lock
    bool isLocked() const;                           // current record locked by this area
    Status deleteRecord();
    Status recall();
    Status commit();                                 // writes pending changes now
    // Many appends in a row (imports): the append lock and the index stay
    // locked for this process and the index's changed pages are written once at
    // the end. Other users wait meanwhile, so batches are kept short (a thousand
    // records). When another user holds the append lock, no batch is begun and
    // the appends go one by one.
    Status beginBatch();
    Status endBatch();
    // Ends the batch and begins the next one, after a pause that lets the
    // other users of the table in when there are any.
    Status renewBatch();
    Status pack();                                   // exclusive use
    Status zap();                                    // exclusive use

    // ---- tags
    Status createTag(const TagSpec& def, const TableFile::Progress& progress = {});
    Status dropIndex();                              // exclusive use: no index file any more
    Status deleteTag(const QString& name);
    Status reindex();
    // Custom tags: add or remove the current record's key (default: the controlling tag).
    Status keyAdd(const QString& tag = QString());
    Status keyDel(const QString& tag = QString());

    Status close();

private:
    friend class Workspace;
    friend class ReadWalk;
    WorkArea(QString alias, std::shared_ptr<TableFile> table, bool readOnly);

    CdxTag* orderTag() const;
    Status load(quint32 rec);
    void setPhantom();
    bool visible();
    bool inScope(const CdxTag* t, const char* key) const;
    Status flush();
    Status writable();
    Status setDeleted(bool deleted);
    Status rewritten(Status done);
    Status changeKey(const QString& tag, bool add);
    using Section = CdxFile::Section;
    Status relocate(const Section& sec, CdxTag* t, CdxCursor* c, bool* exact);
    Status settleForward(const Section& sec, CdxTag* t, CdxCursor c, bool forward);
    Status enter(const CdxCursor& c, const char* key, int keyLen, quint32 rec);
    Status naturalTop(bool fromBottom);
    Status naturalStep(bool forward);
    Status orderedStep(const Section& sec, CdxTag* t, bool forward);
    Status orderedTop(const Section& sec, CdxTag* t, bool fromBottom);
    Status moveToEnd(bool fromBottom);
    template <class Body> Status inIndex(Body&& body);
    int resolveField(const QString& name) const;

    QString m_alias;
    std::shared_ptr<TableFile> m_table;
    bool m_readOnly = false;

    quint32 m_rec = 0;
    QByteArray m_buf;
    QByteArray m_before;
    bool m_dirty = false;
    bool m_newRecord = false;
    bool m_onDisk = false;           // the buffer is already written (a filled append)
    bool m_eof = true;
    bool m_bof = true;
    bool m_found = false;

    int m_order = -1;               // index into the tags, -1 natural order
    QByteArray m_orderName;
    CdxCursor m_cursor;
    quint32 m_cursorCounter = 0;
    QByteArray m_curKey;

    bool m_hasTop = false, m_hasBottom = false;
    Value m_topValue, m_bottomValue;
    // The scope's limits as keys, made for a key length and pad when first needed.
    mutable int m_scopeKeyLen = -1;
    mutable char m_scopePad = 0;
    mutable QByteArray m_topKey, m_bottomKey;
    mutable int m_topSig = 0, m_bottomSig = 0;
    // The position as it was when an index read began, for running it again.
    struct Saved {
        quint32 rec = 0;
        CdxCursor cursor;
        quint32 counter = 0;
        bool eof = true, bof = true, found = false;
        QByteArray buf, curKey;
    } m_saved;
    void savePosition();
    void restorePosition();
    std::function<bool(WorkArea&)> m_filter;
    mutable QHash<QString, int> m_fieldByName;     // names as callers spell them
    std::unique_ptr<CdxFile::WriteSection> m_batch;
};

} // namespace store
