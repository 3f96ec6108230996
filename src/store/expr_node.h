#pragma once
// Internal to the expression engine: the compiled tree shared by the parser
// (expr_parser.cpp) and the evaluator (expr_eval.cpp).

#include "expression.h"

#include <QByteArrayView>

#include <memory>
#include <vector>

namespace store {

enum class Op : quint8 {
    Const,      // value
    Field,      // field
    Call,       // fn(kids...)
    Neg,        // -kids[0]
    Not,        // .NOT. kids[0]
    And,        // kids[0] .AND. kids[1] .AND. ... (short-circuit)
    Or,         // kids[0] .OR. kids[1] .OR. ...   (short-circuit)
    Sum,        // kids[0] signs[0] kids[1] signs[1] kids[2] ... with '+' / '-'
    Mul, Div, Mod, Pow,
    Eq, ExactEq, Ne, Lt, Le, Gt, Ge, Contains,
};

enum class Fn : quint8 {
    Upper, Lower, DToS, SToD, CToD, DToC, Str, Val,
    PadR, PadL, PadC, Trim, LTrim, AllTrim, SubStr, Left, Right, Len,
    If, Descend, RecNo, Deleted, Empty, Date,
    Space, Replicate, At, Year, Month, Day, Int, Abs, Round, Chr, Asc, Max, Min,
};

struct FnInfo {
    const char* name;     // upper case
    Fn fn;
    quint8 minArgs;
    quint8 maxArgs;
    bool pure;            // result depends on the arguments only (may be folded)
};

// Looks a function up by name, case-insensitively. A name of four or more
// letters may be shortened as long as it stays unambiguous ("SUBS", "ALLT").
const FnInfo* findFunction(QByteArrayView name);

struct Expression::Node {
    Op op = Op::Const;
    Fn fn = Fn::Upper;
    int field = -1;
    int height = 1;                       // longest path to a leaf, for the depth guard
    Value value;                          // Const
    std::vector<std::unique_ptr<Node>> kids;
    std::vector<char> signs;              // Sum: '+' or '-' before kids[1..]
    int reserve = 0;                      // Sum of texts: room to reserve for the result
    Value::Type resultType = Value::Type::Nil;   // root only: type on a blank record
};

Value evalNode(const Expression::Node& n, const ExprContext& ctx);

// Lengths produced by padding and repetition never exceed this.
constexpr int kMaxTextLen = 65535;

} // namespace store
