#pragma once
// The pick lists of provinces, sub-divisions and award references (HLPPRV,
// HLPSUBPRV, HLPDPL) without their dialog. Made, a list puts its table's
// session work area in the order it is shown in, on the given code when the
// table has it, and limits the area to the records of one key prefix (the
// entity, the entity and province, or the award); finish() puts the area back
// in its first order and reselects the work area that was current before.
//
//     auto list = refdata::PickList::provinces(u" 89"_s, u"B   "_s);
//     ... a grid over list->area() lets the user move; typing calls list->search(text) ...
//     const QString code = list->finish(chosen);

#include <QByteArray>
#include <QString>

#include <memory>

namespace store {
class WorkArea;
}

namespace refdata {

enum class PickKind { Provinces, Subdivisions, AwardReferences };

class PickList {
public:
    // Provinces of an entity (table prv), in name order.
    static std::unique_ptr<PickList> provinces(const QString& entity, const QString& province);
    // Sub-divisions of an entity and province (subprv), in name order; of the
    // whole entity when the province is empty.
    static std::unique_ptr<PickList> subdivisions(const QString& entity, const QString& province,
                                                  const QString& subdivision);
    // References of an award (DplDet), in code order.
    static std::unique_ptr<PickList> awardReferences(const QString& award, const QString& reference);

    ~PickList();
    PickList(const PickList&) = delete;
    PickList& operator=(const PickList&) = delete;

    PickKind kind() const { return m_kind; }
    // The table's work area; null when the table cannot be opened (the list is empty).
    store::WorkArea* area() const { return m_area; }
    // The key prefix of the records shown.
    const QByteArray& scope() const { return m_scope; }
    // The fields of the two columns: the code and the name.
    const char* codeField() const;
    const char* nameField() const;

    // Moves to the first record, in the order shown, whose key begins with the
    // scope followed by the text in upper case, or the next one after it; false
    // (the area at the end) when no record of the scope is there.
    bool search(const QString& text);

    // Ends the list. With chosen, the code of the current record is the result
    // when it is not empty; otherwise the code given. Without a choice, the
    // sub-division and award tables are left at their end.
    QString finish(bool chosen);

private:
    PickList(PickKind kind, store::WorkArea* area, QString given);
    void start(const QByteArray& firstKey, bool seekFirst, const char* order);
    void restore();

    PickKind m_kind;
    store::WorkArea* m_area;
    QString m_given;
    QByteArray m_scope;
    QByteArray m_shownOrder;   // the order the list is shown in
    QString m_previousAlias;
    bool m_finished = false;
};

} // namespace refdata
