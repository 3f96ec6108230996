// Lexer and recursive-descent parser for xBase expressions, and the
// Expression front end. Precedence, from loosest to tightest:
//   .OR.   .AND.   .NOT. / !   comparisons (= == != <> # < <= > >= $)
//   + -    * / %   ^ **   unary - + !   primaries
// Malformed input of any kind ends in a Spanish error message: the parser
// never throws, bounds its recursion and rejects trees too deep to evaluate.

#include "expr_node.h"

#include "codepage.h"

#include <charconv>
#include <cstring>

namespace store {

namespace {

using Node = Expression::Node;
using NodePtr = std::unique_ptr<Node>;

constexpr int kMaxDepth = 200;    // nesting of parentheses, calls and unary operators
constexpr int kMaxHeight = 400;   // height of the compiled tree

constexpr FnInfo kFunctions[] = {
    {"UPPER", Fn::Upper, 1, 1, true},
    {"LOWER", Fn::Lower, 1, 1, true},
    {"DTOS", Fn::DToS, 1, 1, true},
    {"STOD", Fn::SToD, 1, 1, true},
    {"CTOD", Fn::CToD, 1, 1, false},      // depends on the session date format
    {"DTOC", Fn::DToC, 1, 1, false},
    {"STR", Fn::Str, 1, 3, true},
    {"VAL", Fn::Val, 1, 1, true},
    {"PADR", Fn::PadR, 2, 3, true},
    {"PADL", Fn::PadL, 2, 3, true},
    {"PADC", Fn::PadC, 2, 3, true},
    {"TRIM", Fn::Trim, 1, 1, true},
    {"RTRIM", Fn::Trim, 1, 1, true},
    {"LTRIM", Fn::LTrim, 1, 1, true},
    {"ALLTRIM", Fn::AllTrim, 1, 1, true},
    {"SUBSTR", Fn::SubStr, 2, 3, true},
    {"LEFT", Fn::Left, 2, 2, true},
    {"RIGHT", Fn::Right, 2, 2, true},
    {"LEN", Fn::Len, 1, 1, true},
    {"IF", Fn::If, 3, 3, true},
    {"IIF", Fn::If, 3, 3, true},
    {"DESCEND", Fn::Descend, 1, 1, true},
    {"RECNO", Fn::RecNo, 0, 0, false},
    {"DELETED", Fn::Deleted, 0, 0, false},
    {"EMPTY", Fn::Empty, 1, 1, true},
    {"DATE", Fn::Date, 0, 0, false},
    {"SPACE", Fn::Space, 1, 1, true},
    {"REPLICATE", Fn::Replicate, 2, 2, true},
    {"AT", Fn::At, 2, 2, true},
    {"YEAR", Fn::Year, 1, 1, true},
    {"MONTH", Fn::Month, 1, 1, true},
    {"DAY", Fn::Day, 1, 1, true},
    {"INT", Fn::Int, 1, 1, true},
    {"ABS", Fn::Abs, 1, 1, true},
    {"ROUND", Fn::Round, 2, 2, true},
    {"CHR", Fn::Chr, 1, 1, true},
    {"ASC", Fn::Asc, 1, 1, true},
    {"MAX", Fn::Max, 2, 2, true},
    {"MIN", Fn::Min, 2, 2, true},
};

QByteArray asciiUpper(QByteArrayView s)
{
    QByteArray r(s.data(), s.size());
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return r;
}

enum class Tok : quint8 {
    End, Ident, Number, String, Logical,
    LParen, RParen, Comma, Arrow,
    Plus, Minus, Star, Slash, Percent, Power,
    Eq, EqEq, Ne, Lt, Le, Gt, Ge, Dollar,
    Not, And, Or,
};

struct Token {
    Tok type = Tok::End;
    int pos = 0;             // 1-based byte position in the text
    QByteArray text;         // as written (strings: without the quotes)
    double num = 0;          // Number; Logical: 1 or 0
};

// Values of a blank record, used to learn the result type and width.
class BlankContext final : public ExprContext {
public:
    explicit BlankContext(const std::vector<FieldInfo>& fields)
    {
        m_values.reserve(fields.size());
        for (const FieldInfo& f : fields) {
            switch (f.type) {
            case 'N': m_values.push_back(Value::number(0)); break;
            case 'D': m_values.push_back(Value::dateJd(0)); break;
            case 'L': m_values.push_back(Value::logical(false)); break;
            case 'M': m_values.push_back(Value::text(QByteArray())); break;
            default: m_values.push_back(Value::text(QByteArray(std::max(0, f.len), ' '))); break;
            }
        }
    }
    Value field(int index) const override
    {
        return index >= 0 && size_t(index) < m_values.size() ? m_values[size_t(index)] : Value();
    }
    quint32 recNo() const override { return 0; }
    bool deleted() const override { return false; }

private:
    std::vector<Value> m_values;
};

class Parser {
public:
    Parser(const QByteArray& text, const std::vector<FieldInfo>& fields)
        : m_src(text), m_fields(fields) {}

    NodePtr parse();
    const QString& error() const { return m_error; }

private:
    struct DepthGuard {
        explicit DepthGuard(Parser& p) : parser(p) { ++parser.m_depth; }
        ~DepthGuard() { --parser.m_depth; }
        Parser& parser;
    };

    bool lex();
    NodePtr parseOr();
    NodePtr parseAnd();
    NodePtr parseNot();
    NodePtr parseCompare();
    NodePtr parseSum();
    NodePtr parseProduct();
    NodePtr parsePower();
    NodePtr parseUnary();
    NodePtr parsePrimary();
    NodePtr parseCall(const Token& name);
    NodePtr parseField(const Token& name);

    NodePtr finish(NodePtr n);
    NodePtr unary(Op op, NodePtr kid);
    NodePtr binary(Op op, NodePtr a, NodePtr b);
    bool tooDeep();

    const Token& cur() const { return m_toks[m_at]; }
    void advance() { if (m_at + 1 < m_toks.size()) ++m_at; }

    NodePtr fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return nullptr;
    }
    NodePtr expected(const char* what);
    NodePtr unexpected(const Token& t);

    const QByteArray& m_src;
    const std::vector<FieldInfo>& m_fields;
    std::vector<Token> m_toks;
    size_t m_at = 0;
    int m_depth = 0;
    QString m_error;
};

QString shown(const QByteArray& text)
{
    QString s = cp1252::toUnicode(text.left(24));
    if (text.size() > 24)
        s += QStringLiteral("...");
    return s;
}

QString tokenText(const Token& t)
{
    switch (t.type) {
    case Tok::String: return QLatin1Char('"') + shown(t.text) + QLatin1Char('"');
    default: return shown(t.text);
    }
}

NodePtr Parser::expected(const char* what)
{
    return fail(QStringLiteral("Expresión no válida: se esperaba %1 en la posición %2")
                    .arg(QString::fromUtf8(what))
                    .arg(cur().pos));
}

NodePtr Parser::unexpected(const Token& t)
{
    if (t.type == Tok::End)
        return expected("un valor");
    const QString what = t.type == Tok::String ? tokenText(t)
                                               : QLatin1Char('"') + tokenText(t) + QLatin1Char('"');
    return fail(QStringLiteral("Expresión no válida: %1 inesperado en la posición %2").arg(what).arg(t.pos));
}

bool Parser::tooDeep()
{
    if (m_depth <= kMaxDepth)
        return false;
    fail(QStringLiteral("Expresión demasiado compleja (anidamiento excesivo) en la posición %1").arg(cur().pos));
    return true;
}

bool Parser::lex()
{
    const char* s = m_src.constData();
    const qsizetype n = m_src.size();
    qsizetype i = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    auto isIdentStart = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    auto at = [&](qsizetype k) { return k < n ? s[k] : '\0'; };

    while (true) {
        while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
            ++i;
        Token t;
        t.pos = int(std::min<qsizetype>(i + 1, 0x7fffffff));
        if (i >= n) {
            m_toks.push_back(std::move(t));
            return true;
        }
        const char c = s[i];
        const qsizetype start = i;
        auto simple = [&](Tok type, int len) {
            t.type = type;
            t.text = QByteArray(s + i, len);
            i += len;
        };

        if (isIdentStart(c)) {
            while (i < n && (isIdentStart(s[i]) || isDigit(s[i])))
                ++i;
            t.type = Tok::Ident;
            t.text = QByteArray(s + start, i - start);
        } else if (isDigit(c) || (c == '.' && isDigit(at(i + 1)))) {
            while (i < n && isDigit(s[i]))
                ++i;
            if (at(i) == '.' && isDigit(at(i + 1))) {
                ++i;
                while (i < n && isDigit(s[i]))
                    ++i;
            }
            t.type = Tok::Number;
            t.text = QByteArray(s + start, i - start);
            const QByteArray digits = t.text.startsWith('.') ? "0" + t.text : t.text;
            const auto res = std::from_chars(digits.constData(), digits.constData() + digits.size(), t.num);
            if (res.ec != std::errc()) {
                fail(QStringLiteral("Expresión no válida: número %1 fuera de rango en la posición %2")
                         .arg(shown(t.text)).arg(t.pos));
                return false;
            }
        } else if (c == '.') {
            // .T. .F. .Y. .N. .AND. .OR. .NOT.
            qsizetype e = i + 1;
            while (e < n && e - i <= 4 && isIdentStart(s[e]))
                ++e;
            const QByteArray word = asciiUpper(QByteArrayView(s + i + 1, e - i - 1));
            if (at(e) != '.' || word.isEmpty()) {
                fail(QStringLiteral("Expresión no válida: \".\" inesperado en la posición %1").arg(t.pos));
                return false;
            }
            if (word == "T" || word == "Y" || word == "F" || word == "N") {
                t.type = Tok::Logical;
                t.num = (word == "T" || word == "Y") ? 1 : 0;
            } else if (word == "AND") {
                t.type = Tok::And;
            } else if (word == "OR") {
                t.type = Tok::Or;
            } else if (word == "NOT") {
                t.type = Tok::Not;
            } else {
                fail(QStringLiteral("Expresión no válida: operador desconocido \"%1\" en la posición %2")
                         .arg(shown(QByteArray(s + i, e + 1 - i))).arg(t.pos));
                return false;
            }
            t.text = QByteArray(s + i, e + 1 - i);
            i = e + 1;
        } else if (c == '"' || c == '\'' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const char* end = static_cast<const char*>(std::memchr(s + i + 1, close, size_t(n - i - 1)));
            if (!end) {
                fail(QStringLiteral("Expresión no válida: cadena sin cerrar en la posición %1").arg(t.pos));
                return false;
            }
            t.type = Tok::String;
            t.text = QByteArray(s + i + 1, end - (s + i + 1));
            i = (end - s) + 1;
        } else {
            const char d = at(i + 1);
            switch (c) {
            case '(': simple(Tok::LParen, 1); break;
            case ')': simple(Tok::RParen, 1); break;
            case ',': simple(Tok::Comma, 1); break;
            case '+': simple(Tok::Plus, 1); break;
            case '-': d == '>' ? simple(Tok::Arrow, 2) : simple(Tok::Minus, 1); break;
            case '*': d == '*' ? simple(Tok::Power, 2) : simple(Tok::Star, 1); break;
            case '/': simple(Tok::Slash, 1); break;
            case '%': simple(Tok::Percent, 1); break;
            case '^': simple(Tok::Power, 1); break;
            case '=': d == '=' ? simple(Tok::EqEq, 2) : simple(Tok::Eq, 1); break;
            case '!': d == '=' ? simple(Tok::Ne, 2) : simple(Tok::Not, 1); break;
            case '#': simple(Tok::Ne, 1); break;
            case '$': simple(Tok::Dollar, 1); break;
            case '<':
                if (d == '=') simple(Tok::Le, 2);
                else if (d == '>') simple(Tok::Ne, 2);
                else simple(Tok::Lt, 1);
                break;
            case '>': d == '=' ? simple(Tok::Ge, 2) : simple(Tok::Gt, 1); break;
            default: {
                const QString ch = (unsigned char)c < 32 ? QStringLiteral("\\x%1").arg(int((unsigned char)c), 2, 16, QLatin1Char('0'))
                                                         : cp1252::toUnicode(&c, 1);
                fail(QStringLiteral("Expresión no válida: carácter \"%1\" no permitido en la posición %2")
                         .arg(ch).arg(t.pos));
                return false;
            }
            }
        }
        m_toks.push_back(std::move(t));
    }
}

NodePtr Parser::parse()
{
    if (!lex())
        return nullptr;
    if (cur().type == Tok::End)
        return fail(QStringLiteral("Expresión vacía"));
    NodePtr root = parseOr();
    if (!root)
        return nullptr;
    if (cur().type != Tok::End)
        return unexpected(cur());
    return root;
}

// Computes the height, applies the depth guard and folds operations whose
// operands are all constants.
NodePtr Parser::finish(NodePtr n)
{
    int h = 0;
    bool constant = n->op != Op::Field;
    for (const NodePtr& k : n->kids) {
        h = std::max(h, k->height);
        constant = constant && k->op == Op::Const;
    }
    n->height = h + 1;
    if (n->height > kMaxHeight)
        return fail(QStringLiteral("Expresión demasiado compleja en la posición %1").arg(cur().pos));
    if (n->op == Op::Call) {
        for (const FnInfo& f : kFunctions)
            if (f.fn == n->fn) {
                constant = constant && f.pure;
                break;
            }
    }
    if (constant && n->op != Op::Const) {
        static const std::vector<FieldInfo> none;
        const BlankContext blank(none);
        auto folded = std::make_unique<Node>();
        folded->value = evalNode(*n, blank);
        return folded;
    }
    return n;
}

NodePtr Parser::unary(Op op, NodePtr kid)
{
    auto n = std::make_unique<Node>();
    n->op = op;
    n->kids.push_back(std::move(kid));
    return finish(std::move(n));
}

NodePtr Parser::binary(Op op, NodePtr a, NodePtr b)
{
    auto n = std::make_unique<Node>();
    n->op = op;
    n->kids.push_back(std::move(a));
    n->kids.push_back(std::move(b));
    return finish(std::move(n));
}

NodePtr Parser::parseOr()
{
    DepthGuard guard(*this);
    if (tooDeep())
        return nullptr;
    NodePtr first = parseAnd();
    if (!first || cur().type != Tok::Or)
        return first;
    auto n = std::make_unique<Node>();
    n->op = Op::Or;
    n->kids.push_back(std::move(first));
    while (cur().type == Tok::Or) {
        advance();
        NodePtr next = parseAnd();
        if (!next)
            return nullptr;
        n->kids.push_back(std::move(next));
    }
    return finish(std::move(n));
}

NodePtr Parser::parseAnd()
{
    NodePtr first = parseNot();
    if (!first || cur().type != Tok::And)
        return first;
    auto n = std::make_unique<Node>();
    n->op = Op::And;
    n->kids.push_back(std::move(first));
    while (cur().type == Tok::And) {
        advance();
        NodePtr next = parseNot();
        if (!next)
            return nullptr;
        n->kids.push_back(std::move(next));
    }
    return finish(std::move(n));
}

NodePtr Parser::parseNot()
{
    if (cur().type != Tok::Not)
        return parseCompare();
    DepthGuard guard(*this);
    if (tooDeep())
        return nullptr;
    advance();
    NodePtr operand = parseNot();
    return operand ? unary(Op::Not, std::move(operand)) : nullptr;
}

NodePtr Parser::parseCompare()
{
    NodePtr left = parseSum();
    while (left) {
        Op op;
        switch (cur().type) {
        case Tok::Eq: op = Op::Eq; break;
        case Tok::EqEq: op = Op::ExactEq; break;
        case Tok::Ne: op = Op::Ne; break;
        case Tok::Lt: op = Op::Lt; break;
        case Tok::Le: op = Op::Le; break;
        case Tok::Gt: op = Op::Gt; break;
        case Tok::Ge: op = Op::Ge; break;
        case Tok::Dollar: op = Op::Contains; break;
        default: return left;
        }
        advance();
        NodePtr right = parseSum();
        if (!right)
            return nullptr;
        left = binary(op, std::move(left), std::move(right));
    }
    return nullptr;
}

NodePtr Parser::parseSum()
{
    NodePtr first = parseProduct();
    if (!first || (cur().type != Tok::Plus && cur().type != Tok::Minus))
        return first;
    auto n = std::make_unique<Node>();
    n->op = Op::Sum;
    n->kids.push_back(std::move(first));
    while (cur().type == Tok::Plus || cur().type == Tok::Minus) {
        n->signs.push_back(cur().type == Tok::Plus ? '+' : '-');
        advance();
        NodePtr next = parseProduct();
        if (!next)
            return nullptr;
        n->kids.push_back(std::move(next));
    }
    return finish(std::move(n));
}

NodePtr Parser::parseProduct()
{
    NodePtr left = parsePower();
    while (left) {
        Op op;
        switch (cur().type) {
        case Tok::Star: op = Op::Mul; break;
        case Tok::Slash: op = Op::Div; break;
        case Tok::Percent: op = Op::Mod; break;
        default: return left;
        }
        advance();
        NodePtr right = parsePower();
        if (!right)
            return nullptr;
        left = binary(op, std::move(left), std::move(right));
    }
    return nullptr;
}

NodePtr Parser::parsePower()
{
    NodePtr left = parseUnary();
    while (left && cur().type == Tok::Power) {
        advance();
        NodePtr right = parseUnary();
        if (!right)
            return nullptr;
        left = binary(Op::Pow, std::move(left), std::move(right));
    }
    return left;
}

NodePtr Parser::parseUnary()
{
    const Tok t = cur().type;
    if (t != Tok::Minus && t != Tok::Plus && t != Tok::Not)
        return parsePrimary();
    DepthGuard guard(*this);
    if (tooDeep())
        return nullptr;
    advance();
    NodePtr operand = parseUnary();
    if (!operand)
        return nullptr;
    if (t == Tok::Plus)
        return operand;
    return unary(t == Tok::Minus ? Op::Neg : Op::Not, std::move(operand));
}

NodePtr Parser::parsePrimary()
{
    const Token t = cur();
    switch (t.type) {
    case Tok::Number:
    case Tok::String:
    case Tok::Logical: {
        advance();
        auto n = std::make_unique<Node>();
        n->value = t.type == Tok::Number ? Value::number(t.num)
                 : t.type == Tok::String ? Value::text(t.text)
                                         : Value::logical(t.num != 0);
        return n;
    }
    case Tok::LParen: {
        advance();
        NodePtr inner = parseOr();
        if (!inner)
            return nullptr;
        if (cur().type != Tok::RParen)
            return expected("\")\"");
        advance();
        return inner;
    }
    case Tok::Ident:
        advance();
        if (cur().type == Tok::LParen)
            return parseCall(t);
        if (cur().type == Tok::Arrow) {
            const QByteArray alias = asciiUpper(t.text);
            if (alias != "FIELD" && alias != "_FIELD")
                return fail(QStringLiteral("Alias no admitido \"%1\" en la posición %2").arg(shown(alias)).arg(t.pos));
            advance();
            if (cur().type != Tok::Ident)
                return expected("un nombre de campo");
            const Token name = cur();
            advance();
            return parseField(name);
        }
        return parseField(t);
    default:
        return unexpected(t);
    }
}

NodePtr Parser::parseField(const Token& name)
{
    const QByteArray wanted = asciiUpper(name.text);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (asciiUpper(m_fields[i].name) == wanted) {
            auto n = std::make_unique<Node>();
            n->op = Op::Field;
            n->field = int(i);
            return n;
        }
    }
    return fail(QStringLiteral("Campo desconocido \"%1\" en la posición %2").arg(shown(wanted)).arg(name.pos));
}

NodePtr Parser::parseCall(const Token& name)
{
    const FnInfo* f = findFunction(name.text);
    if (!f)
        return fail(QStringLiteral("Función desconocida \"%1\" en la posición %2")
                        .arg(shown(asciiUpper(name.text))).arg(name.pos));
    advance();   // (
    auto n = std::make_unique<Node>();
    n->op = Op::Call;
    n->fn = f->fn;
    if (cur().type == Tok::RParen) {
        advance();
    } else {
        while (true) {
            NodePtr arg = parseOr();
            if (!arg)
                return nullptr;
            n->kids.push_back(std::move(arg));
            if (cur().type == Tok::Comma) {
                advance();
                continue;
            }
            if (cur().type != Tok::RParen)
                return expected("\")\"");
            advance();
            break;
        }
    }
    const int argc = int(n->kids.size());
    if (argc < f->minArgs || argc > f->maxArgs) {
        const QString range = f->minArgs == f->maxArgs ? QString::number(f->minArgs)
                                                       : QStringLiteral("de %1 a %2").arg(f->minArgs).arg(f->maxArgs);
        return fail(QStringLiteral("Número de argumentos incorrecto para %1: se esperaban %2 y hay %3, en la posición %4")
                        .arg(QLatin1String(f->name), range).arg(argc).arg(name.pos));
    }
    return finish(std::move(n));
}

// Lets each concatenation reserve the length it has on a blank record.
void setReserveHints(Node& n, const ExprContext& blank)
{
    for (const NodePtr& k : n.kids)
        setReserveHints(*k, blank);
    if (n.op == Op::Sum) {
        const Value v = evalNode(n, blank);
        if (v.isChar())
            n.reserve = int(std::min<qsizetype>(v.bytes().size(), kMaxTextLen));
    }
}

} // namespace

const FnInfo* findFunction(QByteArrayView name)
{
    const QByteArray upper = asciiUpper(name);
    for (const FnInfo& f : kFunctions)
        if (upper == f.name)
            return &f;
    if (upper.size() < 4)
        return nullptr;
    const FnInfo* match = nullptr;
    for (const FnInfo& f : kFunctions) {
        if (std::strncmp(f.name, upper.constData(), size_t(upper.size())) == 0) {
            if (match && match->fn != f.fn)
                return nullptr;   // ambiguous
            match = &f;
        }
    }
    return match;
}

Expression::~Expression() = default;

std::unique_ptr<Expression> Expression::compile(const QByteArray& text,
                                                const std::vector<FieldInfo>& fields,
                                                QString* error)
{
    Parser parser(text, fields);
    NodePtr root = parser.parse();
    if (!root) {
        if (error)
            *error = parser.error().isEmpty() ? QStringLiteral("Expresión no válida") : parser.error();
        return nullptr;
    }

    const BlankContext blank(fields);
    setReserveHints(*root, blank);
    const Value sample = evalNode(*root, blank);
    root->resultType = sample.type();

    std::unique_ptr<Expression> e(new Expression);
    e->m_text = text;
    switch (sample.type()) {
    case Value::Type::Char: e->m_width = int(std::min<qsizetype>(sample.bytes().size(), 0x7fffffff)); break;
    case Value::Type::Number:
    case Value::Type::Date: e->m_width = 8; break;
    case Value::Type::Logical: e->m_width = 1; break;
    case Value::Type::Nil: e->m_width = 0; break;
    }
    e->m_root = std::move(root);
    if (error)
        error->clear();
    return e;
}

Value Expression::eval(const ExprContext& ctx) const
{
    return evalNode(*m_root, ctx);
}

Value::Type Expression::resultType() const
{
    return m_root->resultType;
}

int Expression::resultWidth() const
{
    return m_width;
}

} // namespace store
