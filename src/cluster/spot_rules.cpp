#include "spot_rules.h"

#include "store/aliases.h"
#include "store/workspace.h"

#include <QFileInfo>
#include <QHash>

namespace cluster {

namespace {

bool cfgFlag(const char* field)
{
    store::WorkArea* cfg = store::Workspace::instance().area(store::alias::kCfg);
    return cfg && !cfg->eof() && cfg->fieldPos(QLatin1String(field)) >= 0 && cfg->logical(QLatin1String(field));
}

QString one(const QString& letter)
{
    return letter.isEmpty() ? QStringLiteral(" ") : letter.left(1);
}

// Seeks the keys in order in CfgSpot's "Sts" order; on success the table
// stands on the rule found. The area keeps its order.
store::WorkArea* firstRule(const QStringList& keys)
{
    store::WorkArea* rules = store::Workspace::instance().area(store::alias::kCfgSpot);
    if (!rules)
        return nullptr;
    const int order = rules->order();
    if (rules->setOrder(QStringLiteral("Sts")).isOk()) {
        for (const QString& k : keys) {
            rules->seek(store::Value::text(k));
            if (rules->found()) {
                rules->setOrder(order);
                return rules;
            }
        }
    }
    rules->setOrder(order);
    return nullptr;
}

struct Keys {
    QString e, m, b, x, i;
    explicit Keys(const SpotStatus& s) : e(one(s.ent)), m(one(s.mode)), b(one(s.band)), x(one(s.bandMode)), i(one(s.iota)) {}
};

const QString B = QStringLiteral(" ");

SpotColour colourOf(const QStringList& keys)
{
    SpotColour c;
    if (store::WorkArea* r = firstRule(keys)) {
        c.fore = int(r->num(QStringLiteral("COLFOR")));
        c.back = int(r->num(QStringLiteral("COLBCK")));
        c.found = true;
    }
    return c;
}

SpotColour cell(const SpotStatus& s, const QStringList& keys)
{
    if (!cfgFlag("CCOLACT"))
        return {};
    const SpotColour c = colourOf(keys);
    return c.found ? c : SPOTCOL(s);
}

} // namespace

SpotColour SPOTCOL(const SpotStatus& s)
{
    if (!cfgFlag("CCOLACT"))
        return {};
    const Keys k(s);
    return colourOf({u'*' + k.e + k.m + k.b + k.x, u'*' + k.e + B + B + B, u'*' + B + k.m + B + B,
                     u'*' + B + B + k.b + B, u'*' + B + B + B + k.x});
}

SpotColour SPOTCOLBAND(const SpotStatus& s)
{
    const Keys k(s);
    return cell(s, {B + B + B + k.b + B + B, B + B + B + B + k.x + B});
}

SpotColour SPOTCOLMODE(const SpotStatus& s)
{
    const Keys k(s);
    return cell(s, {B + B + k.m + B + B + B, B + B + B + B + k.x + B});
}

SpotColour SPOTCOLIOTA(const SpotStatus& s)
{
    const Keys k(s);
    return cell(s, {B + B + B + B + B + k.i});
}

QString SPOTSND(const SpotStatus& s)
{
    if (!cfgFlag("CSNDACT"))
        return {};
    const Keys k(s);
    store::WorkArea* r = firstRule({u'*' + k.e + k.m + k.b + k.x, u'*' + k.e + B + B + B + B, u'*' + B + k.m + B + B + B,
                                    u'*' + B + B + k.b + B + B, u'*' + B + B + B + k.x + B, B + B + k.m + B + B + B,
                                    B + B + B + B + k.x + B, B + B + B + B + B + k.i});
    if (!r)
        return {};
    const QString file = r->str(QStringLiteral("SND")).trimmed();
    return !file.isEmpty() && QFileInfo(file).isFile() ? file : QString();
}

QString ALPHA(const QString& call)
{
    static const QHash<QChar, QString> words = {
        {u'a', "alpha"},   {u'b', "bravo"},  {u'c', "charlie"}, {u'd', "delta"},  {u'e', "echo"},    {u'f', "foxtrot"},
        {u'g', "golf"},    {u'h', "hotel"},  {u'i', "india"},   {u'j', "juliet"}, {u'k', "kilo"},    {u'l', "lima"},
        {u'm', "mike"},    {u'n', "november"}, {u'o', "oscar"}, {u'p', "papa"},   {u'q', "quebec"},  {u'r', "radio"},
        {u's', "sierra"},  {u't', "tango"},  {u'u', "uniform"}, {u'v', "victor"}, {u'w', "whiskie"}, {u'x', "x-ray"},
        {u'y', "yanky"},   {u'z', "zulu"},   {u'1', "one"},     {u'2', "two"},    {u'3', "three"},   {u'4', "four"},
        {u'5', "five"},    {u'6', "six"},    {u'7', "seven"},   {u'8', "eight"},  {u'9', "nine"}};
    QString out;
    for (QChar c : call.trimmed()) {
        const auto w = words.constFind(c.toLower());
        if (w != words.constEnd())
            out += u' ' + *w + u' ';
        else
            out += c + QStringLiteral(" ");
    }
    return out;
}

} // namespace cluster
