// Making and dropping tags: a new tag's tree is built bottom-up from its
// sorted keys in one pass; the directory lists the tags.
#include "cdx_file.h"
#include "cdx_internal.h"

#include <deque>

namespace store {

using namespace cdx;

namespace {
// A blank record, for deciding the kind and length of a key.
class BlankRecord : public ExprContext {
public:
    explicit BlankRecord(const std::vector<FieldInfo>& f) : m_f(f) {}
    Value field(int i) const override
    {
        const FieldInfo& fi = m_f[size_t(i)];
        switch (fi.type) {
        case 'N': case 'F': return Value::number(0);
        case 'D': return Value::dateJd(0);
        case 'L': return Value::logical(false);
        case 'M': return Value::text(QByteArray());
        default: return Value::text(QByteArray(fi.len, ' '));
        }
    }
    quint32 recNo() const override { return 0; }
    bool deleted() const override { return false; }
private:
    const std::vector<FieldInfo>& m_f;
};

} // namespace

// ---------------------------------------------------------------- tags

Status CdxFile::prepareTag(const TagSpec& def, const std::vector<FieldInfo>& fields, std::unique_ptr<CdxTag>* out)
{
    auto t = std::make_unique<CdxTag>();
    t->m_spec = def;
    t->m_name = upperName(def.name);
    t->m_spec.name = t->m_name;
    if (t->m_name.isEmpty())
        return {StatusCode::Invalid, QStringLiteral("La etiqueta necesita un nombre")};
    QString err;
    t->m_key = Expression::compile(def.keyExpr, fields, &err);
    if (!t->m_key)
        return {StatusCode::BadExpression,
                QStringLiteral("Expresión de clave no válida en la etiqueta %1: %2").arg(QString::fromLatin1(t->m_name), err)};
    if (!def.forExpr.trimmed().isEmpty()) {
        t->m_for = Expression::compile(def.forExpr, fields, &err);
        if (!t->m_for)
            return {StatusCode::BadExpression,
                    QStringLiteral("Condición FOR no válida en la etiqueta %1: %2").arg(QString::fromLatin1(t->m_name), err)};
        if (t->m_for->resultType() != Value::Type::Logical)
            return {StatusCode::BadExpression,
                    QStringLiteral("La condición FOR de la etiqueta %1 no es lógica").arg(QString::fromLatin1(t->m_name))};
    }
    BlankRecord blank(fields);
    const Value v = t->m_key->eval(blank);
    switch (v.type()) {
    case Value::Type::Char:
        t->m_keyLen = int(v.bytes().size());
        t->m_pad = v.isBinaryKey() ? '\0' : ' ';
        break;
    case Value::Type::Number:
    case Value::Type::Date:
        t->m_keyLen = 8;
        t->m_pad = '\0';
        break;
    case Value::Type::Logical:
        t->m_keyLen = 1;
        t->m_pad = ' ';
        break;
    case Value::Type::Nil:
        return {StatusCode::BadExpression,
                QStringLiteral("La expresión de clave de la etiqueta %1 no da un valor").arg(QString::fromLatin1(t->m_name))};
    }
    if (t->m_keyLen < 1 || t->m_keyLen > kMaxKeyLen)
        return {StatusCode::BadExpression,
                QStringLiteral("La clave de la etiqueta %1 mide %2 caracteres (de 1 a %3)")
                    .arg(QString::fromLatin1(t->m_name)).arg(t->m_keyLen).arg(kMaxKeyLen)};
    *out = std::move(t);
    return {};
}

Status CdxFile::bulkLoad(CdxTag* t, const std::vector<std::pair<QByteArray, quint32>>& keys)
{
    struct Ref { QByteArray key; quint32 rec; quint32 page; };
    quint32 maxRec = 0;
    for (auto& k : keys)
        maxRec = qMax(maxRec, k.second);

    // Leaves, filled as far as they go. The size is counted with the entry
    // width of the largest record number, which no page can exceed.
    const int keyLen = t->m_keyLen;
    const char pad = t->m_pad;
    LeafFill fill(keyLen, pad, maxRec);
    std::vector<Node> leaves;
    Node cur;
    auto startLeaf = [&]() {
        cur = Node();
        cur.keyLen = keyLen;
        cur.attr = Leaf;
        fill.restart();
    };
    startLeaf();
    for (const auto& [key, rec] : keys) {
        const char* k = key.constData();
        if (!fill.add(cur.count() ? cur.key(cur.count() - 1) : nullptr, k)) {
            leaves.push_back(std::move(cur));
            startLeaf();
            fill.add(nullptr, k);
        }
        cur.insert(cur.count(), k, rec);
    }
    leaves.push_back(std::move(cur));

    std::vector<Ref> level;
    for (auto& leaf : leaves)
        if (Status s = allocPage(&leaf.offset); !s)
            return s;
    for (size_t j = 0; j < leaves.size(); ++j) {
        Node& leaf = leaves[j];
        leaf.left = j ? leaves[j - 1].offset : kNoPage;
        leaf.right = j + 1 < leaves.size() ? leaves[j + 1].offset : kNoPage;
        if (leaves.size() == 1)
            leaf.attr = Leaf | Root;
        uchar page[kPageSize];
        if (!encodeLeaf(leaf, pad, page))
            return {StatusCode::Invalid, QStringLiteral("Página de índice desbordada")};
        if (Status s = m_file.writeAt(leaf.offset, page, kPageSize); !s)
            return s;
        if (leaf.count() > 0)
            level.push_back({leaf.keyAt(leaf.count() - 1), leaf.recs.back(), leaf.offset});
        else
            level.push_back({QByteArray(keyLen, pad), 0, leaf.offset});
    }

    // Interior levels until one page remains.
    const int cap = interiorCapacity(t->m_keyLen);
    while (level.size() > 1) {
        std::vector<Ref> up;
        const bool top = int(level.size()) <= cap;
        quint32 prev = kNoPage;
        std::vector<Node> nodes;
        for (size_t j = 0; j < level.size(); j += size_t(cap)) {
            Node in;
            in.keyLen = t->m_keyLen;
            in.attr = top ? (Interior | Root) : Interior;
            if (Status s = allocPage(&in.offset); !s)
                return s;
            in.left = prev;
            for (size_t k = j; k < qMin(level.size(), j + size_t(cap)); ++k)
                in.insert(in.count(), level[k].key.constData(), level[k].rec, level[k].page);
            if (!nodes.empty())
                nodes.back().right = in.offset;
            prev = in.offset;
            up.push_back({in.keyAt(in.count() - 1), in.recs.back(), in.offset});
            nodes.push_back(std::move(in));
        }
        for (auto& in : nodes) {
            uchar page[kPageSize];
            encodeInterior(in, page);
            if (Status s = m_file.writeAt(in.offset, page, kPageSize); !s)
                return s;
        }
        level.swap(up);
    }
    t->m_root = level.front().page;
    t->m_cache.clear();
    touch(t);
    return {};
}

Status CdxFile::insertDirectory(const QByteArray& name, quint32 header)
{
    const QByteArray k = dirKey(name);
    return insertKey(m_dir.get(), k.constData(), header);
}

Status CdxFile::removeDirectory(const QByteArray& name)
{
    const QByteArray k = dirKey(name);
    for (auto& t : m_tags)
        if (t->m_name == upperName(name))
            return removeKey(m_dir.get(), k.constData(), t->m_header);
    return {};
}

Status CdxFile::freeTree(CdxTag* t)
{
    std::deque<quint32> todo{t->m_root};
    std::vector<quint32> pages;
    while (!todo.empty()) {
        const quint32 off = todo.front();
        todo.pop_front();
        Node* n = nullptr;
        if (!node(t, off, &n))
            continue;   // a damaged tree: what cannot be read is not reused
        pages.push_back(off);
        if (!n->isLeaf())
            for (quint32 c : n->childs)
                todo.push_back(c);
        if (pages.size() > 10000000)
            break;
    }
    for (quint32 off : pages)
        if (Status s = freePage(t, off); !s)
            return s;
    t->m_cache.clear();
    return {};
}

Status CdxFile::createTag(const TagSpec& def, const std::vector<FieldInfo>& fields,
                          std::vector<std::pair<QByteArray, quint32>>* sortedKeys, CdxTag** out)
{
    std::unique_ptr<CdxTag> t;
    if (Status s = prepareTag(def, fields, &t); !s)
        return s;
    WriteSection sec(*this);
    if (!sec)
        return sec.status();
    if (tagIndex(t->m_name) >= 0)
        if (Status s = deleteTag(t->m_name); !s)
            return s;
    // Headers always go at the end, so header order stays creation order.
    t->m_header = quint32(m_fileEnd);
    m_fileEnd += kTagHeaderSize;
    static const uchar zero[kTagHeaderSize] = {};
    if (Status s = m_file.writeAt(t->m_header, zero, kTagHeaderSize); !s)
        return s;
    if (Status s = bulkLoad(t.get(), *sortedKeys); !s)
        return s;
    if (Status s = writeTagHeader(t.get(), true); !s)
        return s;
    if (Status s = insertDirectory(t->m_name, t->m_header); !s)
        return s;
    m_fields = fields;
    CdxTag* raw = t.get();
    m_tags.push_back(std::move(t));
    if (out)
        *out = raw;
    return {};
}

Status CdxFile::deleteTag(const QByteArray& name)
{
    WriteSection sec(*this);
    if (!sec)
        return sec.status();
    const int i = tagIndex(name);
    if (i < 0)
        return {StatusCode::NotFound, QStringLiteral("No existe la etiqueta %1").arg(QString::fromLatin1(name))};
    CdxTag* t = m_tags[size_t(i)].get();
    if (Status s = removeDirectory(t->m_name); !s)
        return s;
    if (Status s = freeTree(t); !s)
        return s;
    m_tags.erase(m_tags.begin() + i);
    m_dirDirty = true;
    return {};
}

Status CdxFile::clearAll()
{
    WriteSection sec(*this);
    if (!sec)
        return sec.status();
    for (auto& t : m_tags) {
        if (Status s = freeTree(t.get()); !s)
            return s;
        std::vector<std::pair<QByteArray, quint32>> none;
        if (Status s = bulkLoad(t.get(), none); !s)
            return s;
    }
    return {};
}

} // namespace store
