// Finding keys in a tag's tree and changing it: searches, cursors, scans, the
// shape check, and the insertions and removals with their page splits.
#include "cdx_file.h"
#include "cdx_internal.h"

#include <cstring>

namespace store {

using namespace cdx;

// ---------------------------------------------------------------- tree search

int CdxFile::cmpEntry(const CdxTag* t, const char* a, quint32 ra, const char* b, int len, quint32 rb) const
{
    const int c = t->compare(a, b, len);
    if (c != 0 || rb == 0)
        return c;
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

// Walks from the root to the leaf entry where the key belongs; path, when
// given, receives every page and entry on the way.
Status CdxFile::descend(CdxTag* t, const char* key, int len, quint32 rec, bool upper, Path* path, CdxCursor* at)
{
    if (path)
        path->clear();
    quint32 off = t->m_root;
    // Entry i "qualifies" when it is >= target (lower bound) or > target (upper bound).
    const quint32 cmpRec = upper ? 0 : rec;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        Node* n = nullptr;
        if (Status s = node(t, off, &n); !s)
            return s;
        int lo = 0, hi = n->count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            const int c = cmpEntry(t, n->key(mid), n->recs[size_t(mid)], key, len, cmpRec);
            if (upper ? c > 0 : c >= 0)
                hi = mid;
            else
                lo = mid + 1;
        }
        if (n->isLeaf()) {
            if (path)
                path->emplace_back(off, lo);
            at->page = off;
            at->index = lo;
            return {};
        }
        if (n->count() == 0)
            return corrupt(this->path(), QStringLiteral("página interior vacía"));
        const int i = qMin(lo, n->count() - 1);
        if (path)
            path->emplace_back(off, i);
        off = n->childs[size_t(i)];
    }
    return corrupt(this->path(), QStringLiteral("el árbol es demasiado profundo (¿ciclo?)"));
}

Status CdxFile::bound(CdxTag* t, const char* key, int len, quint32 rec, bool upper, CdxCursor* c)
{
    if (Status s = descend(t, key, len, rec, upper, nullptr, c); !s)
        return s;
    Node* n = nullptr;
    if (Status s = node(t, c->page, &n); !s)
        return s;
    if (c->index >= n->count()) {
        c->index = n->count() - 1;
        return step(t, c, true);
    }
    return {};
}

Status CdxFile::lowerBound(const Section&, CdxTag* t, const char* key, int len, quint32 rec, CdxCursor* c)
{
    return bound(t, key, len, rec, false, c);
}

Status CdxFile::upperBound(const Section&, CdxTag* t, const char* key, int len, CdxCursor* c)
{
    return bound(t, key, len, 0, true, c);
}

Status CdxFile::edge(const Section&, CdxTag* t, bool high, CdxCursor* c) { return edgeKey(t, high, c); }

Status CdxFile::edgeKey(CdxTag* t, bool high, CdxCursor* c)
{
    quint32 off = t->m_root;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        Node* n = nullptr;
        if (Status s = node(t, off, &n); !s)
            return s;
        if (n->isLeaf()) {
            c->page = off;
            if (n->count() == 0) {
                // an empty leaf (a damaged tree): step on along the chain
                c->index = high ? 0 : -1;
                return step(t, c, !high);
            }
            c->index = high ? n->count() - 1 : 0;
            return {};
        }
        if (n->count() == 0)
            return corrupt(path(), QStringLiteral("página interior vacía"));
        off = high ? n->childs.back() : n->childs.front();
    }
    return corrupt(path(), QStringLiteral("el árbol es demasiado profundo (¿ciclo?)"));
}

Status CdxFile::next(const Section&, CdxTag* t, CdxCursor* c) { return step(t, c, true); }
Status CdxFile::prev(const Section&, CdxTag* t, CdxCursor* c) { return step(t, c, false); }

Status CdxFile::step(CdxTag* t, CdxCursor* c, bool forward)
{
    Node* n = nullptr;
    for (int guard = 0; guard < 1000000; ++guard) {
        if (Status s = node(t, c->page, &n); !s)
            return s;
        const int to = forward ? c->index + 1 : c->index - 1;
        if (to >= 0 && to < n->count()) {
            c->index = to;
            return {};
        }
        const quint32 sibling = forward ? n->right : n->left;
        if (sibling == kNoPage || sibling == 0) {
            *c = CdxCursor();
            return {};
        }
        c->page = sibling;
        if (forward) {
            c->index = -1;
        } else {
            if (Status s = node(t, c->page, &n); !s)
                return s;
            c->index = n->count();
        }
    }
    return corrupt(path(), QStringLiteral("cadena de páginas circular"));
}

Status CdxFile::entry(const Section&, CdxTag* t, const CdxCursor& c, const char** key, quint32* rec)
{
    Node* n = nullptr;
    if (Status s = node(t, c.page, &n); !s)
        return s;
    if (c.index < 0 || c.index >= n->count())
        return {StatusCode::Invalid, QStringLiteral("Posición de índice no válida")};
    if (key)
        *key = n->key(c.index);
    if (rec)
        *rec = n->recs[size_t(c.index)];
    return {};
}

bool CdxFile::contains(const Section&, CdxTag* t, const char* key, int len, quint32* rec)
{
    return containsKey(t, key, len, rec);
}

bool CdxFile::containsKey(CdxTag* t, const char* key, int len, quint32* rec)
{
    CdxCursor c;
    if (!bound(t, key, len, 0, false, &c) || !c.valid())
        return false;
    Node* n = nullptr;
    if (!node(t, c.page, &n) || c.index < 0 || c.index >= n->count())
        return false;
    if (t->compare(n->key(c.index), key, len) != 0)
        return false;
    if (rec)
        *rec = n->recs[size_t(c.index)];
    return true;
}

Status CdxFile::scan(const Section&, CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out)
{
    return scanKeys(t, out);
}

Status CdxFile::scanKeys(CdxTag* t, std::vector<std::pair<QByteArray, quint32>>* out)
{
    out->clear();
    CdxCursor c;
    if (Status s = edgeKey(t, false, &c); !s)
        return s;
    while (c.valid()) {
        Node* n = nullptr;
        if (Status s = node(t, c.page, &n); !s)
            return s;
        for (int i = c.index; i < n->count(); ++i)
            out->emplace_back(n->keyAt(i), n->recs[size_t(i)]);
        if (out->size() > 100000000)
            return corrupt(path(), QStringLiteral("cadena de páginas circular"));
        c.index = n->count() - 1;
        if (Status s = step(t, &c, true); !s)
            return s;
    }
    return {};
}

Status CdxFile::verifyTree(const Section&, CdxTag* t, quint32 maxRec, std::vector<QString>* problems)
{
    const size_t before = problems->size();
    auto report = [&](const QString& p) {
        if (problems->size() - before < 20)   // the first ones say enough
            problems->push_back(p);
    };
    std::unordered_map<quint32, bool> seen;
    std::vector<quint32> leaves;
    int leafDepth = -1;
    // (page, depth, parent key and record the page's last entry must equal)
    struct Visit {
        quint32 page;
        int depth;
        QByteArray lastKey;
        quint32 lastRec;
    };
    std::vector<Visit> stack{{t->m_root, 0, QByteArray(), 0}};
    while (!stack.empty()) {
        const Visit v = std::move(stack.back());
        stack.pop_back();
        if (v.depth >= kMaxDepth)
            return corrupt(path(), QStringLiteral("árbol de la etiqueta %1 demasiado profundo").arg(QString::fromLatin1(t->m_name)));
        if (!seen.emplace(v.page, true).second) {
            report(QStringLiteral("la página %1 aparece dos veces en el árbol").arg(v.page));
            continue;
        }
        Node* n = nullptr;
        if (Status s = node(t, v.page, &n); !s)
            return s;
        if (n->count() == 0 && (v.depth > 0 || !n->isLeaf()))
            report(QStringLiteral("página %1 vacía").arg(v.page));
        for (int i = 1; i < n->count(); ++i)
            if (cmpEntry(t, n->key(i - 1), n->recs[size_t(i - 1)], n->key(i), t->m_keyLen, n->recs[size_t(i)]) > 0) {
                report(QStringLiteral("claves fuera de orden en la página %1, entrada %2").arg(v.page).arg(i + 1));
                break;
            }
        if (v.depth > 0 && n->count() > 0) {
            const int last = n->count() - 1;
            if (std::memcmp(n->key(last), v.lastKey.constData(), size_t(t->m_keyLen)) != 0 || n->recs[size_t(last)] != v.lastRec)
                report(QStringLiteral("la clave de la página interior no es la última de su página %1").arg(v.page));
        }
        if (n->isLeaf()) {
            if (leafDepth < 0)
                leafDepth = v.depth;
            else if (leafDepth != v.depth)
                report(QStringLiteral("la hoja %1 está a otra profundidad").arg(v.page));
            for (int i = 0; i < n->count(); ++i)
                if (n->recs[size_t(i)] == 0 || n->recs[size_t(i)] > maxRec) {
                    report(QStringLiteral("la hoja %1 apunta al registro %2, que no existe").arg(v.page).arg(n->recs[size_t(i)]));
                    break;
                }
            leaves.push_back(v.page);
            continue;
        }
        // children in reverse, so the leftmost is walked first
        for (int i = n->count() - 1; i >= 0; --i)
            stack.push_back({n->childs[size_t(i)], v.depth + 1, QByteArray(n->key(i), t->m_keyLen), n->recs[size_t(i)]});
    }
    for (size_t i = 0; i < leaves.size(); ++i) {
        Node* n = nullptr;
        if (Status s = node(t, leaves[i], &n); !s)
            return s;
        const quint32 left = i ? leaves[i - 1] : kNoPage;
        const quint32 right = i + 1 < leaves.size() ? leaves[i + 1] : kNoPage;
        if (n->left != left || n->right != right) {
            report(QStringLiteral("la cadena de hojas no sigue el árbol en la página %1").arg(leaves[i]));
            break;
        }
    }
    return {};
}

// ---------------------------------------------------------------- tree changes

Status CdxFile::fixParents(CdxTag* t, Path& path, int level)
{
    for (int l = level; l > 0; --l) {
        Node* child = nullptr;
        Node* parent = nullptr;
        if (Status s = node(t, path[size_t(l)].first, &child); !s)
            return s;
        if (child->count() == 0)
            return {};
        if (Status s = node(t, path[size_t(l - 1)].first, &parent); !s)
            return s;
        const int idx = path[size_t(l - 1)].second;
        const int last = child->count() - 1;
        if (std::memcmp(parent->key(idx), child->key(last), size_t(t->m_keyLen)) == 0
            && parent->recs[size_t(idx)] == child->recs[size_t(last)])
            return {};
        parent->setKey(idx, child->key(last), child->recs[size_t(last)]);
        if (Status s = writeNode(t, parent); !s)
            return s;
        if (idx != parent->count() - 1)
            return {};
    }
    return {};
}

Status CdxFile::splitIfNeeded(CdxTag* t, Path& path, int level)
{
    Node* n = nullptr;
    if (Status s = node(t, path[size_t(level)].first, &n); !s)
        return s;
    const bool fits = n->isLeaf() ? leafBytes(*n, t->m_pad) >= 0 : n->count() <= interiorCapacity(t->m_keyLen);
    if (fits) {
        if (Status s = writeNode(t, n); !s)
            return s;
        return fixParents(t, path, level);
    }
    quint32 newOff = 0;
    if (Status s = allocPage(&newOff); !s)
        return s;
    Node fresh;
    fresh.offset = newOff;
    fresh.keyLen = t->m_keyLen;
    fresh.attr = quint16(n->attr & ~Root);
    auto ins = t->m_cache.emplace(newOff, std::move(fresh));
    Node* m = &ins.first->second;
    if (Status s = node(t, path[size_t(level)].first, &n); !s)
        return s;
    n->moveTail(n->count() / 2, m);
    m->left = n->offset;
    m->right = n->right;
    if (n->right != kNoPage && n->right != 0) {
        Node* r = nullptr;
        if (Status s = node(t, n->right, &r); !s)
            return s;
        r->left = newOff;
        if (Status s = writeNode(t, r); !s)
            return s;
    }
    n->right = newOff;

    if (n->isRoot()) {
        quint32 rootOff = 0;
        if (Status s = allocPage(&rootOff); !s)
            return s;
        n->attr = quint16(n->attr & ~Root);
        Node root;
        root.offset = rootOff;
        root.keyLen = t->m_keyLen;
        root.attr = Interior | Root;
        root.insert(0, n->key(n->count() - 1), n->recs.back(), n->offset);
        root.insert(1, m->key(m->count() - 1), m->recs.back(), m->offset);
        auto rins = t->m_cache.emplace(rootOff, std::move(root));
        if (Status s = writeNode(t, n); !s)
            return s;
        if (Status s = writeNode(t, m); !s)
            return s;
        if (Status s = writeNode(t, &rins.first->second); !s)
            return s;
        t->m_root = rootOff;
        touch(t);
        return {};
    }
    if (Status s = writeNode(t, n); !s)
        return s;
    if (Status s = writeNode(t, m); !s)
        return s;
    Node* parent = nullptr;
    if (Status s = node(t, path[size_t(level - 1)].first, &parent); !s)
        return s;
    const int idx = path[size_t(level - 1)].second;
    parent->setKey(idx, n->key(n->count() - 1), n->recs.back());
    parent->insert(idx + 1, m->key(m->count() - 1), m->recs.back(), newOff);
    return splitIfNeeded(t, path, level - 1);
}

Status CdxFile::insert(const WriteSection&, CdxTag* t, const char* key, quint32 rec)
{
    return insertKey(t, key, rec);
}

Status CdxFile::remove(const WriteSection&, CdxTag* t, const char* key, quint32 rec)
{
    return removeKey(t, key, rec);
}

// Descends to where (key, rec) belongs, the way down kept in m_path: the
// leaf, the position in it, and whether the entry there is (key, rec) itself.
Status CdxFile::findEntry(CdxTag* t, const char* key, quint32 rec, Node** leaf, int* pos, bool* present)
{
    CdxCursor at;
    if (Status s = descend(t, key, t->m_keyLen, rec, false, &m_path, &at); !s)
        return s;
    if (Status s = node(t, at.page, leaf); !s)
        return s;
    *pos = at.index;
    *present = *pos < (*leaf)->count() && (*leaf)->recs[size_t(*pos)] == rec
               && std::memcmp((*leaf)->key(*pos), key, size_t(t->m_keyLen)) == 0;
    return {};
}

Status CdxFile::insertKey(CdxTag* t, const char* key, quint32 rec)
{
    if (t->m_spec.unique && containsKey(t, key, t->m_keyLen, nullptr))
        return {};
    Node* leaf = nullptr;
    int pos = 0;
    bool present = false;
    if (Status s = findEntry(t, key, rec, &leaf, &pos, &present); !s || present)
        return s;   // already there
    leaf->insert(pos, key, rec);
    return splitIfNeeded(t, m_path, int(m_path.size()) - 1);
}

Status CdxFile::removeKey(CdxTag* t, const char* key, quint32 rec)
{
    Node* leaf = nullptr;
    int pos = 0;
    bool present = false;
    if (Status s = findEntry(t, key, rec, &leaf, &pos, &present); !s || !present)
        return s;   // not in the tag (FOR condition, unique duplicate, or already gone)
    Path& path = m_path;
    leaf->erase(pos);

    int level = int(path.size()) - 1;
    Node* n = leaf;
    while (n->count() == 0 && !n->isRoot()) {
        // Unlink the empty page from its siblings and from its parent.
        auto relink = [&](quint32 sibling, quint32 Node::*link, quint32 to) -> Status {
            if (sibling == kNoPage || sibling == 0)
                return {};
            Node* m = nullptr;
            if (Status s = node(t, sibling, &m); !s)
                return s;
            m->*link = to;
            return writeNode(t, m);
        };
        if (Status s = relink(n->left, &Node::right, n->right); !s)
            return s;
        if (Status s = relink(n->right, &Node::left, n->left); !s)
            return s;
        if (Status s = freePage(t, n->offset); !s)
            return s;
        --level;
        Node* parent = nullptr;
        if (Status s = node(t, path[size_t(level)].first, &parent); !s)
            return s;
        parent->erase(path[size_t(level)].second);
        if (path[size_t(level)].second > 0 && path[size_t(level)].second >= parent->count())
            path[size_t(level)].second = parent->count() - 1;
        n = parent;
    }
    if (n->count() == 0 && n->isRoot()) {
        n->attr = Leaf | Root;
        n->childs.clear();
        n->left = n->right = kNoPage;
        return writeNode(t, n);
    }
    if (Status s = writeNode(t, n); !s)
        return s;
    return fixParents(t, path, level);
}

} // namespace store
