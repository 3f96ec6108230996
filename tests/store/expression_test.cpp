#include "store/codepage.h"
#include "store/expression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace store;

namespace {

QByteArray cp(const char* utf8) { return cp1252::fromUnicode(QString::fromUtf8(utf8)); }

qint64 jd(int y, int m, int d) { return QDate(y, m, d).toJulianDay(); }

const std::vector<FieldInfo>& logFields()
{
    static const std::vector<FieldInfo> fields = {
        {"CALL", 'C', 12, 0},   {"QSODATE", 'D', 8, 0}, {"TIMEON", 'C', 4, 0},
        {"FREQ", 'N', 10, 3},   {"PRNQSL", 'L', 1, 0},  {"CODENT", 'C', 3, 0},
        {"NOTES", 'M', 10, 0},  {"BAND", 'C', 6, 0},    {"FLD", 'C', 2, 0},
    };
    return fields;
}

enum { CALL, QSODATE, TIMEON, FREQ, PRNQSL, CODENT, NOTES, BAND, FLD };

// A record of the log table above; counts field reads.
class Record : public ExprContext {
public:
    Record()
    {
        values = {Value::text(QByteArray("EA1ABC      ")), Value::dateJd(jd(2024, 1, 31)),
                  Value::text(QByteArray("0930")),           Value::number(14.195),
                  Value::logical(true),                      Value::text(QByteArray("281")),
                  Value::text(QByteArray("nota")),           Value::text(QByteArray("20M   ")),
                  Value::text(QByteArray("* "))};
    }
    Value field(int index) const override
    {
        ++reads;
        return values.at(size_t(index));
    }
    quint32 recNo() const override { return rec; }
    bool deleted() const override { return del; }

    std::vector<Value> values;
    quint32 rec = 7;
    bool del = false;
    mutable int reads = 0;
};

// Restores the process-wide date settings after a test changes them.
struct DateSettingsGuard {
    DateSettings saved = dateSettings();
    ~DateSettingsGuard() { dateSettings() = saved; }
};

std::unique_ptr<Expression> compiled(const QByteArray& text)
{
    QString error;
    auto e = Expression::compile(text, logFields(), &error);
    EXPECT_TRUE(e) << text.constData() << ": " << error.toStdString();
    return e;
}

Value eval(const char* utf8, const Record& rec = Record())
{
    auto e = compiled(cp(utf8));
    return e ? e->eval(rec) : Value();
}

QByteArray text(const char* utf8, const Record& rec = Record())
{
    const Value v = eval(utf8, rec);
    EXPECT_TRUE(v.isChar()) << utf8;
    return v.bytes();
}

double number(const char* utf8)
{
    const Value v = eval(utf8);
    EXPECT_TRUE(v.isNumber()) << utf8;
    return v.toNumber();
}

bool truth(const char* utf8, const Record& rec = Record())
{
    const Value v = eval(utf8, rec);
    EXPECT_TRUE(v.isLogical()) << utf8;
    return v.toBool();
}

QString compileError(const char* utf8)
{
    QString error;
    auto e = Expression::compile(cp(utf8), logFields(), &error);
    EXPECT_FALSE(e) << utf8;
    EXPECT_FALSE(error.isEmpty()) << utf8;
    return error;
}

} // namespace

// ---- the key expressions the tables use ------------------------------------

TEST(Expression, LogTagKeys)
{
    Record r;
    EXPECT_EQ(text("Upper(Call)+DToS(QsoDate)", r), QByteArray("EA1ABC      20240131"));
    EXPECT_EQ(text("CodEnt+Upper(Call)+DToS(QsoDate)+TimeOn", r), QByteArray("281EA1ABC      202401310930"));
    EXPECT_EQ(text("PadR(Band,6)", r), QByteArray("20M   "));
    EXPECT_EQ(text("FIELD->CodEnt", r), QByteArray("281"));
    EXPECT_EQ(text("IF(Fld=\"*\",\"*\",\" \")+CodEnt", r), QByteArray("*281"));
    r.values[FLD] = Value::text(QByteArray("C "));
    EXPECT_EQ(text("IF(Fld=\"*\",\"*\",\" \")+CodEnt", r), QByteArray(" 281"));
    EXPECT_TRUE(truth(".NOT. Deleted() .AND. PrnQsl", r));
    r.del = true;
    EXPECT_FALSE(truth(".NOT. Deleted() .AND. PrnQsl", r));

    auto e = compiled("Upper(Call)+DToS(QsoDate)");
    EXPECT_EQ(e->resultType(), Value::Type::Char);
    EXPECT_EQ(e->resultWidth(), 20);
    EXPECT_EQ(e->text(), QByteArray("Upper(Call)+DToS(QsoDate)"));
}

TEST(Expression, NamesAndKeywordsIgnoreCase)
{
    Record r;
    EXPECT_EQ(text("upper(CALL)+dtos(qsodate)", r), text("UPPER(call)+DTOS(QSODATE)", r));
    EXPECT_EQ(text("field->codent", r), QByteArray("281"));
    EXPECT_EQ(text("_Field->CodEnt", r), QByteArray("281"));
    EXPECT_TRUE(truth(".not. deleted() .and. prnqsl .Or. .f.", r));
    EXPECT_TRUE(truth("iif(.t., .y., .n.)", r));
    // Four-letter abbreviations of function names.
    EXPECT_EQ(text("SUBS(Call,1,3)", r), QByteArray("EA1"));
    EXPECT_EQ(text("ALLT('  x  ')", r), QByteArray("x"));
    EXPECT_EQ(eval("DESC(RecNo())", r), eval("Descend(RecNo())", r));
}

TEST(Expression, ResultTypeAndWidthComeFromABlankRecord)
{
    const struct { const char* text; Value::Type type; int width; } cases[] = {
        {"Call", Value::Type::Char, 12},
        {"Freq", Value::Type::Number, 8},
        {"QsoDate", Value::Type::Date, 8},
        {"PrnQsl", Value::Type::Logical, 1},
        {"Notes", Value::Type::Char, 0},
        {"Trim(Call)", Value::Type::Char, 0},
        {"Str(Freq,10,3)", Value::Type::Char, 10},
        {"DToS(QsoDate)+TimeOn", Value::Type::Char, 12},
        {"Descend(RecNo())", Value::Type::Char, 8},
        {"Descend(Call)", Value::Type::Char, 12},
        {"RecNo()", Value::Type::Number, 8},
        {"Upper(5)", Value::Type::Nil, 0},
    };
    for (const auto& c : cases) {
        auto e = compiled(c.text);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->resultType(), c.type) << c.text;
        EXPECT_EQ(e->resultWidth(), c.width) << c.text;
    }
}

// ---- operators ---------------------------------------------------------------

TEST(Expression, ArithmeticAndPrecedence)
{
    EXPECT_EQ(number("2+3*4"), 14);
    EXPECT_EQ(number("(2+3)*4"), 20);
    EXPECT_EQ(number("10-4-3"), 3);
    EXPECT_EQ(number("2*3^2"), 18);
    EXPECT_EQ(number("-2+5"), 3);
    EXPECT_EQ(number("- -2"), 2);
    EXPECT_EQ(number("+4"), 4);
    EXPECT_EQ(number("10%4"), 2);
    EXPECT_EQ(number("7/2"), 3.5);
    EXPECT_EQ(number(".5+1.25"), 1.75);
    EXPECT_EQ(number("2**3"), 8);
    EXPECT_DOUBLE_EQ(number("Freq*1000"), 14195);
    EXPECT_TRUE(truth(".T. .OR. .F. .AND. .F."));      // .AND. binds tighter
    EXPECT_FALSE(truth("(.T. .OR. .F.) .AND. .F."));
    EXPECT_TRUE(truth(".NOT. 1=2"));                   // .NOT. is looser than "="
    EXPECT_TRUE(truth("!.F."));
    EXPECT_TRUE(truth("1+1=2 .AND. 2*2=4"));
}

TEST(Expression, TextOperators)
{
    EXPECT_EQ(text("'AB  '+'CD'"), QByteArray("AB  CD"));
    EXPECT_EQ(text("'AB  '-'CD'"), QByteArray("ABCD  "));
    EXPECT_EQ(text("'AB'-'CD '"), QByteArray("ABCD "));
    EXPECT_EQ(text("Call-'/P'"), QByteArray("EA1ABC/P      "));
    EXPECT_EQ(text("[it's]+\"a\"+'b'"), QByteArray("it'sab"));
}

TEST(Expression, DateArithmetic)
{
    Record r;
    const Value next = eval("QsoDate+1", r);
    ASSERT_TRUE(next.isDate());
    EXPECT_EQ(next.julianDay(), jd(2024, 2, 1));
    EXPECT_EQ(eval("1+QsoDate", r), next);
    EXPECT_EQ(eval("QsoDate-31", r).julianDay(), jd(2023, 12, 31));
    EXPECT_EQ(number("SToD('20240301')-SToD('20240201')"), 29);
    // An empty date stays empty.
    r.values[QSODATE] = Value::dateJd(0);
    EXPECT_EQ(eval("QsoDate+5", r), Value::dateJd(0));
}

TEST(Expression, TextComparisons)
{
    // "=" compares the right side as a prefix of the left one.
    EXPECT_TRUE(truth("'ABC'='AB'"));
    EXPECT_FALSE(truth("'AB'='ABC'"));
    EXPECT_TRUE(truth("'ABC'=''"));
    EXPECT_TRUE(truth("Call='EA1'"));
    EXPECT_FALSE(truth("'ABC'<>'AB'"));
    EXPECT_TRUE(truth("'AB'!='ABC'"));
    EXPECT_TRUE(truth("'AB'#'AC'"));
    // "==" compares whole texts, trailing blanks included.
    EXPECT_FALSE(truth("'ABC'=='AB'"));
    EXPECT_FALSE(truth("'ABC  '=='ABC'"));
    EXPECT_TRUE(truth("'ABC'=='ABC'"));
    EXPECT_FALSE(truth("Call=='EA1ABC'"));
    EXPECT_TRUE(truth("Trim(Call)=='EA1ABC'"));
    // Ordering follows the Spanish collation.
    EXPECT_TRUE(truth("'ÁRBOL'<'BARCO'"));
    EXPECT_TRUE(truth("'ÑANDU'>'NZ'"));
    EXPECT_TRUE(truth("'ÑANDU'<'OSO'"));
    EXPECT_TRUE(truth("'AB'<'ABC'"));
    EXPECT_FALSE(truth("'ABC'<'AB'"));
    EXPECT_TRUE(truth("'ABC'<='AB'"));    // "<=" accepts what "=" accepts
    EXPECT_TRUE(truth("'AB'>='AB'"));
    EXPECT_FALSE(truth("'AB'>='AC'"));
    // Substring test.
    EXPECT_TRUE(truth("'1AB' $ Call"));
    EXPECT_FALSE(truth("'XY' $ Call"));
    EXPECT_FALSE(truth("'' $ Call"));
}

TEST(Expression, OtherComparisons)
{
    EXPECT_TRUE(truth("QsoDate > SToD('20240130')"));
    EXPECT_TRUE(truth("QsoDate = SToD('20240131')"));
    EXPECT_TRUE(truth("Freq >= 14"));
    EXPECT_TRUE(truth("Freq < 14.2"));
    EXPECT_TRUE(truth("1 == 1.0"));
    EXPECT_TRUE(truth(".T. > .F."));
    EXPECT_TRUE(truth("PrnQsl = .T."));
    // Values of different types never compare, not even as "different".
    for (const char* mixed : {"1='1'", "1!='1'", "1<'1'", "1>='1'", "QsoDate=0", "QsoDate<>0",
                              ".T.=1", "'a'$1", "Upper(5)=Upper(5)", "Upper(5)!='A'"})
        EXPECT_FALSE(truth(mixed)) << mixed;
}

// ---- functions -----------------------------------------------------------------

TEST(Expression, TextFunctions)
{
    const struct { const char* expr; const char* result; } cases[] = {
        {"Upper('ñandú ea1abc')", "ÑANDÚ EA1ABC"},
        {"Lower('ÑANDÚ EA1ABC')", "ñandú ea1abc"},
        {"PadR('ab',4)", "ab  "},
        {"PadR('abcdef',3)", "abc"},
        {"PadR('ab',4,'*')", "ab**"},
        {"PadL('ab',4)", "  ab"},
        {"PadL('ab',4,'0')", "00ab"},
        {"PadL('abcdef',3)", "abc"},
        {"PadC('ab',5,'-')", "-ab--"},
        {"PadR('ab',-3)", ""},
        {"Trim('  a b  ')", "  a b"},
        {"RTrim('a  ')", "a"},
        {"LTrim('  a  ')", "a  "},
        {"AllTrim('  a b  ')", "a b"},
        {"AllTrim('    ')", ""},
        {"SubStr('abcdef',2,3)", "bcd"},
        {"SubStr('abcdef',2)", "bcdef"},
        {"SubStr('abcdef',5,10)", "ef"},
        {"SubStr('abc',4)", ""},
        {"SubStr('abc',2,0)", ""},
        {"SubStr('abc',2,-1)", ""},
        {"SubStr('abc',0,2)", "ab"},
        {"SubStr('abcdef',-2)", "ef"},
        {"Left('abc',2)", "ab"},
        {"Left('abc',9)", "abc"},
        {"Left('abc',-1)", ""},
        {"Right('abc',2)", "bc"},
        {"Right('abc',9)", "abc"},
        {"Right('abc',0)", ""},
        {"Space(3)", "   "},
        {"Replicate('ab',3)", "ababab"},
        {"Chr(65)+Chr(209)", "AÑ"},
        {"IF(Len(Trim(Call))>3,'largo','corto')", "largo"},
        {"IIF(.F.,'a','b')", "b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(c.expr), cp(c.result)) << c.expr;

    EXPECT_EQ(number("Len(Call)"), 12);
    EXPECT_EQ(number("Len('')"), 0);
    EXPECT_EQ(number("At('1A',Call)"), 3);
    EXPECT_EQ(number("At('ZZ',Call)"), 0);
    EXPECT_EQ(number("Asc('A')"), 65);
    EXPECT_EQ(number("Asc('')"), 0);
}

TEST(Expression, StrAndVal)
{
    const struct { const char* expr; const char* result; } cases[] = {
        {"Str(42)", "        42"},
        {"Str(0)", "         0"},
        {"Str(-7,4)", "  -7"},
        {"Str(3.14159,6,2)", "  3.14"},
        {"Str(2.5)", "         3"},         // half away from zero
        {"Str(-2.5,4)", "  -3"},
        {"Str(1.005,5,2)", " 1.01"},
        {"Str(0.125,5,2)", " 0.13"},
        {"Str(-0.001,5,2)", " 0.00"},
        {"Str(12345,3)", "***"},
        {"Str(99.96,4,1)", "****"},
        {"Str(Freq,10,3)", "    14.195"},
        {"Str(1/3,8,5)", " 0.33333"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(c.expr), QByteArray(c.result)) << c.expr;

    EXPECT_EQ(number("Val('  -12.5abc')"), -12.5);
    EXPECT_EQ(number("Val('+7')"), 7);
    EXPECT_EQ(number("Val('14.195')"), 14.195);
    EXPECT_EQ(number("Val('.5')"), 0.5);
    EXPECT_EQ(number("Val('3.')"), 3);
    EXPECT_EQ(number("Val('')"), 0);
    EXPECT_EQ(number("Val('abc')"), 0);
    EXPECT_EQ(number("Val('1e5')"), 1);
    EXPECT_EQ(number("Val('1 2')"), 1);
    EXPECT_EQ(number("Val(Str(123.45,8,2))"), 123.45);
    EXPECT_DOUBLE_EQ(number("Val('1'+Replicate('0',100))"), 1e100);
    EXPECT_EQ(number("Int(-3.7)"), -3);
    EXPECT_EQ(number("Abs(-3.5)"), 3.5);
    EXPECT_EQ(number("Round(2.345,2)"), 2.35);
    EXPECT_EQ(number("Round(1250,-2)"), 1300);
    EXPECT_EQ(number("Max(3,5)+Min(3,5)"), 8);
}

TEST(Expression, DateFunctions)
{
    DateSettingsGuard guard;
    Record r;
    EXPECT_EQ(text("DToS(QsoDate)", r), QByteArray("20240131"));
    EXPECT_EQ(text("DToS(SToD('20240229'))"), QByteArray("20240229"));
    EXPECT_EQ(text("DToS(SToD('20230229'))"), QByteArray("        "));   // no such day
    EXPECT_EQ(text("DToS(SToD('        '))"), QByteArray("        "));
    EXPECT_EQ(text("DToS(SToD('2024'))"), QByteArray("        "));
    EXPECT_EQ(text("DToS(CToD('31-01-24'))"), QByteArray("19240131"));   // epoch 1919
    EXPECT_EQ(text("DToS(CToD('01-01-19'))"), QByteArray("19190101"));
    EXPECT_EQ(text("DToS(CToD('01-01-18'))"), QByteArray("20180101"));
    EXPECT_EQ(text("DToS(CToD('1-2-99'))"), QByteArray("19990201"));
    EXPECT_EQ(text("DToS(CToD('31-02-24'))"), QByteArray("        "));
    EXPECT_EQ(text("DToS(CToD(''))"), QByteArray("        "));
    EXPECT_EQ(text("DToS(CToD('  -  -  '))"), QByteArray("        "));
    EXPECT_EQ(text("DToC(QsoDate)", r), QByteArray("31-01-24"));
    EXPECT_EQ(number("Year(QsoDate)*10000+Month(QsoDate)*100+Day(QsoDate)"), 20240131);
    EXPECT_EQ(number("Year(CToD(''))"), 0);
    EXPECT_TRUE(truth("QsoDate < Date()", r));
    EXPECT_EQ(eval("Date()").julianDay(), QDate::currentDate().toJulianDay());

    dateSettings().format = QStringLiteral("dd-mm-yyyy");
    EXPECT_EQ(text("DToS(CToD('05-06-1850'))"), QByteArray("18500605"));
    EXPECT_EQ(text("DToS(CToD('05-06-20'))"), QByteArray("19200605"));
    EXPECT_EQ(text("DToS(CToD('05-06-2020'))"), QByteArray("20200605"));
    EXPECT_EQ(text("DToC(QsoDate)", r), QByteArray("31-01-2024"));
}

TEST(Expression, EmptyRecNoDeleted)
{
    Record r;
    for (const char* empty : {"Empty('   ')", "Empty('')", "Empty(0)", "Empty(CToD(''))", "Empty(.F.)",
                              "Empty(Upper(5))"})
        EXPECT_TRUE(truth(empty, r)) << empty;
    for (const char* full : {"Empty(' x ')", "Empty(0.001)", "Empty(QsoDate)", "Empty(.T.)", "Empty(Notes)"})
        EXPECT_FALSE(truth(full, r)) << full;
    EXPECT_EQ(eval("RecNo()", r), Value::number(7));
    EXPECT_FALSE(truth("Deleted()", r));
    r.del = true;
    EXPECT_TRUE(truth("Deleted()", r));
}

TEST(Expression, IfEvaluatesOnlyTheChosenBranch)
{
    auto e = compiled("IF(PrnQsl, Call, CodEnt+TimeOn+Band)");
    ASSERT_TRUE(e);
    Record r;
    r.reads = 0;
    EXPECT_EQ(e->eval(r).bytes(), QByteArray("EA1ABC      "));
    EXPECT_EQ(r.reads, 2);   // PrnQsl and Call
    r.values[PRNQSL] = Value::logical(false);
    r.reads = 0;
    EXPECT_EQ(e->eval(r).bytes(), QByteArray("2810930" "20M   "));
    EXPECT_EQ(r.reads, 4);
    // A faulty branch that is not taken does no harm.
    EXPECT_EQ(text("IF(.T.,'ok',Upper(5)+1)"), QByteArray("ok"));
    // .AND. and .OR. stop as soon as the result is known.
    r.reads = 0;
    EXPECT_FALSE(truth(".F. .AND. PrnQsl", r));
    EXPECT_TRUE(truth(".T. .OR. PrnQsl", r));
    EXPECT_EQ(r.reads, 0);
}

TEST(Expression, RuntimeTypeErrorsGiveNil)
{
    for (const char* bad : {"Upper(5)", "Lower(QsoDate)", "'a'+1", "1-'a'", "QsoDate+QsoDate", "-'a'",
                            ".NOT. 1", "1 .AND. .T.", "1/0", "5%0", "Val(5)", "DToS('x')", "SToD(1)",
                            "Str('1')", "Str(1,'a')", "PadR(1,3)", "SubStr(Call,'a')", "Len(5)",
                            "IF(1,'a','b')", "Upper(Freq)", "Max(1,'a')", "(-8)^0.5", "Year(1)",
                            "Descend(Upper(5))", "Replicate(1,2)"})
        EXPECT_TRUE(eval(bad).isNil()) << bad;
}

// ---- binary keys -------------------------------------------------------------------

TEST(Expression, NumericKeyBytesSortLikeNumbers)
{
    EXPECT_EQ(numericKeyBytes(0.0).toHex(), QByteArray("8000000000000000"));
    EXPECT_EQ(numericKeyBytes(-0.0), numericKeyBytes(0.0));
    EXPECT_EQ(numericKeyBytes(1.0).toHex(), QByteArray("bff0000000000000"));
    EXPECT_EQ(numericKeyBytes(-1.0).toHex(), QByteArray("400fffffffffffff"));

    std::mt19937 rng(99);
    std::vector<double> values = {0, -0.0, 1, -1, 1e-300, -1e-300, 1e300, -1e300, 0.5, -0.5};
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    for (int i = 0; i < 500; ++i)
        values.push_back(i % 2 ? wide(rng) : std::round(wide(rng)));
    std::sort(values.begin(), values.end());
    for (size_t i = 0; i + 1 < values.size(); ++i) {
        const QByteArray a = numericKeyBytes(values[i]), b = numericKeyBytes(values[i + 1]);
        ASSERT_EQ(a.size(), 8);
        if (values[i] < values[i + 1]) {
            ASSERT_LT(a, b) << values[i] << " " << values[i + 1];
        } else {
            ASSERT_EQ(a, b);
        }
    }
}

TEST(Expression, DescendReversesKeyOrder)
{
    Record r;
    auto e = compiled("Descend(RecNo())");
    ASSERT_TRUE(e);
    QByteArray previous;
    for (quint32 rec : {1u, 2u, 10u, 255u, 256u, 100000u}) {
        r.rec = rec;
        const Value v = e->eval(r);
        ASSERT_TRUE(v.isChar());
        EXPECT_TRUE(v.isBinaryKey());
        ASSERT_EQ(v.bytes().size(), 8);
        QByteArray plain = v.bytes();
        for (char& c : plain)
            c = char(~c);
        EXPECT_EQ(plain, numericKeyBytes(rec));
        if (!previous.isEmpty()) {
            EXPECT_LT(v.bytes(), previous) << rec;   // newer records sort first
        }
        previous = v.bytes();
    }

    const Value d = eval("Descend('AZ')");
    EXPECT_TRUE(d.isBinaryKey());
    EXPECT_EQ(d.bytes(), QByteArray("\xBE\xA5"));
    EXPECT_EQ(text("Descend(Descend('AZ'))"), QByteArray("AZ"));
    EXPECT_EQ(eval("Descend(QsoDate)", r).bytes().size(), 8);
    EXPECT_TRUE(truth("Descend(SToD('20240101')) > Descend(SToD('20240102'))"));
    EXPECT_TRUE(truth("Descend(1) > Descend(2)"));
    EXPECT_TRUE(truth("Descend('A') > Descend('B')"));
    EXPECT_EQ(eval("Descend(.T.)"), Value::logical(false));
    // Concatenating a binary key keeps the whole key binary.
    EXPECT_TRUE(eval("Descend(Call)+Band").isBinaryKey());
    EXPECT_TRUE(eval("Band+Descend(Call)").isBinaryKey());
    EXPECT_FALSE(eval("Band+Call").isBinaryKey());
}

// ---- date settings --------------------------------------------------------------------

TEST(DateText, EpochDecidesTheCentury)
{
    DateSettingsGuard guard;
    EXPECT_EQ(parseDateText("01-01-19"), jd(1919, 1, 1));
    EXPECT_EQ(parseDateText("31-12-99"), jd(1999, 12, 31));
    EXPECT_EQ(parseDateText("01-01-00"), jd(2000, 1, 1));
    EXPECT_EQ(parseDateText("31-12-18"), jd(2018, 12, 31));
    dateSettings().epoch = 1950;
    EXPECT_EQ(parseDateText("01-01-49"), jd(2049, 1, 1));
    EXPECT_EQ(parseDateText("01-01-50"), jd(1950, 1, 1));
    EXPECT_EQ(parseDateText("01-01-2130"), jd(2130, 1, 1));   // four digits are taken as they are
}

TEST(DateText, InvalidTextIsTheEmptyDate)
{
    for (const char* bad : {"", "  -  -  ", "32-01-24", "00-01-24", "29-02-23", "01-13-24", "1-2",
                            "abc", "01-01-9999999999", "--"})
        EXPECT_EQ(parseDateText(bad), 0) << bad;
    EXPECT_EQ(parseDateText("29-02-16"), jd(2016, 2, 29));
    EXPECT_EQ(parseDateText(" 5/ 6/17"), jd(2017, 6, 5));
}

TEST(DateText, FormatAndParseAgree)
{
    DateSettingsGuard guard;
    EXPECT_EQ(formatDate(0), QByteArray("  -  -  "));
    EXPECT_EQ(formatDate(jd(2024, 1, 31)), QByteArray("31-01-24"));
    EXPECT_EQ(formatDate(jd(1919, 7, 4)), QByteArray("04-07-19"));
    for (qint64 day = jd(1919, 1, 1); day < jd(2019, 1, 1); day += 37)
        ASSERT_EQ(parseDateText(formatDate(day)), day) << formatDate(day).constData();

    dateSettings().format = QStringLiteral("dd-mm-yyyy");
    EXPECT_EQ(formatDate(0), QByteArray("  -  -    "));
    EXPECT_EQ(formatDate(jd(2024, 1, 31)), QByteArray("31-01-2024"));
    for (qint64 day = jd(1700, 1, 1); day < jd(2200, 1, 1); day += 101)
        ASSERT_EQ(parseDateText(formatDate(day)), day) << formatDate(day).constData();

    dateSettings().format = QStringLiteral("yyyy/mm/dd");
    EXPECT_EQ(formatDate(jd(2024, 1, 31)), QByteArray("2024/01/31"));
    EXPECT_EQ(parseDateText("2024/01/31"), jd(2024, 1, 31));
}

// ---- errors and hostile input ------------------------------------------------------------

TEST(ExpressionErrors, MessagesNameTheProblemAndPlace)
{
    EXPECT_EQ(compileError("CALLL"), QStringLiteral("Campo desconocido \"CALLL\" en la posición 1"));
    EXPECT_EQ(compileError("Upper(Calll)"), QStringLiteral("Campo desconocido \"CALLL\" en la posición 7"));
    EXPECT_EQ(compileError("Foo(Call)"), QStringLiteral("Función desconocida \"FOO\" en la posición 1"));
    EXPECT_EQ(compileError("Upper(Call+'x'"),
              QStringLiteral("Expresión no válida: se esperaba \")\" en la posición 15"));
    EXPECT_EQ(compileError("(Call+TimeOn"), QStringLiteral("Expresión no válida: se esperaba \")\" en la posición 13"));
    EXPECT_EQ(compileError(""), QStringLiteral("Expresión vacía"));
    EXPECT_EQ(compileError("   "), QStringLiteral("Expresión vacía"));
    EXPECT_TRUE(compileError("SubStr(Call)").contains(QStringLiteral("SUBSTR")));
    EXPECT_TRUE(compileError("RecNo(1)").contains(QStringLiteral("argumentos")));
    EXPECT_TRUE(compileError("IF(.T.,1)").contains(QStringLiteral("argumentos")));
    EXPECT_TRUE(compileError("'abc").contains(QStringLiteral("cadena sin cerrar en la posición 1")));
    EXPECT_TRUE(compileError("Call @ 1").contains(QStringLiteral("\"@\" no permitido en la posición 6")));
    EXPECT_TRUE(compileError("Call Band").contains(QStringLiteral("\"Band\" inesperado en la posición 6")));
    EXPECT_TRUE(compileError("Call +").contains(QStringLiteral("se esperaba un valor en la posición 7")));
    EXPECT_TRUE(compileError("LOG->Call").contains(QStringLiteral("LOG")));
    EXPECT_TRUE(compileError("FIELD->").contains(QStringLiteral("campo")));
    EXPECT_TRUE(compileError("a .XOR. b").contains(QStringLiteral(".XOR.")));
    EXPECT_TRUE(compileError("Upper(,)").contains(QStringLiteral("posición 7")));
    EXPECT_TRUE(compileError("1 + ) ").contains(QStringLiteral("\")\" inesperado")));
    compileError("Call =");
    compileError("()");
    compileError("Upper Call");
    compileError("Upper(Call,)");
    compileError("1..2");
    compileError("[abc");

    // A successful compile clears a previous message.
    QString error = QStringLiteral("viejo");
    EXPECT_TRUE(Expression::compile("Call", logFields(), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(Expression::compile("Call(", logFields()));   // no message wanted
}

TEST(ExpressionErrors, DeepOrHugeInputIsRefusedOrBounded)
{
    auto repeat = [](const char* s, int n) { return QByteArray(s).repeated(n); };
    QString error;
    EXPECT_FALSE(Expression::compile(repeat("(", 100000) + "1" + repeat(")", 100000), logFields(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("compleja")));
    EXPECT_FALSE(Expression::compile(repeat("-", 100000) + "1", logFields(), &error));
    EXPECT_FALSE(Expression::compile(repeat(".NOT. ", 50000) + ".T.", logFields(), &error));
    EXPECT_FALSE(Expression::compile(repeat("Upper(", 50000) + "Call", logFields(), &error));
    EXPECT_FALSE(Expression::compile(repeat("Freq*", 50000) + "1", logFields(), &error));
    EXPECT_FALSE(Expression::compile(repeat("Freq=", 50000) + "1", logFields(), &error));
    // Constant parts are worked out once, at compile time.
    auto folded = Expression::compile(repeat("1*", 50000) + "1", logFields(), &error);
    ASSERT_TRUE(folded) << error.toStdString();
    EXPECT_EQ(folded->eval(Record()), Value::number(1));
    // Moderate nesting is fine.
    auto nested = Expression::compile(repeat("(", 150) + "Call" + repeat(")", 150), logFields(), &error);
    ASSERT_TRUE(nested) << error.toStdString();
    EXPECT_EQ(nested->eval(Record()).bytes(), QByteArray("EA1ABC      "));
    // Long flat chains need no nesting at all.
    auto sum = Expression::compile("Freq" + repeat("+1", 50000), logFields(), &error);
    ASSERT_TRUE(sum) << error.toStdString();
    EXPECT_DOUBLE_EQ(sum->eval(Record()).toNumber(), 50014.195);
    auto all = Expression::compile(repeat("PrnQsl .AND. ", 20000) + ".T.", logFields(), &error);
    ASSERT_TRUE(all) << error.toStdString();
    EXPECT_TRUE(all->eval(Record()).toBool());

    // Lengths are clamped rather than allocated.
    EXPECT_EQ(text("PadR('x',10^9)").size(), 65535);
    EXPECT_EQ(text("PadL('x',10^300)").size(), 65535);
    EXPECT_EQ(text("Space(10^12)").size(), 65535);
    EXPECT_LE(text("Replicate('abc',10^9)").size(), 65535);
    EXPECT_EQ(text("Str(1,10^9)").size(), 65535);
    EXPECT_EQ(text("Str(10^300,20,10^9)"), QByteArray(20, '*'));
    EXPECT_EQ(text("Str(10^400)"), QByteArray(10, '*'));
    EXPECT_EQ(text("SubStr('abc',0-10^300,10^300)"), QByteArray("abc"));
    EXPECT_EQ(text("Space(-1)"), QByteArray());
    EXPECT_EQ(text("Chr(-1)"), QByteArray("\xFF"));
    EXPECT_FALSE(Expression::compile("1" + repeat("0", 400), logFields(), &error));
    EXPECT_EQ(number(("1" + repeat("0", 300).toStdString()).c_str()), 1e300);
}

namespace {

// Pieces that random expressions are made of: valid tokens, near misses and junk.
const char* const kPieces[] = {
    "Call", "QsoDate", "TimeOn", "Freq", "PrnQsl", "CodEnt", "Notes", "Band", "Fld", "FIELD->", "FIELD->Call",
    "Upper(", "Lower(", "DToS(", "SToD(", "CToD(", "DToC(", "Str(", "Val(", "PadR(", "PadL(", "PadC(",
    "Trim(", "LTrim(", "AllTrim(", "SubStr(", "Left(", "Right(", "Len(", "IF(", "IIF(", "Descend(",
    "RecNo()", "Deleted()", "Empty(", "Date()", "Space(", "Replicate(", "At(", "Year(", "Month(", "Day(",
    "Int(", "Abs(", "Round(", "Chr(", "Asc(", "Max(", "Min(", "Subs(", "Foo(",
    "(", ")", ")", ",", ",", "+", "-", "*", "/", "%", "^", "**", "=", "==", "!=", "<>", "#", "<", ">", "<=",
    ">=", "$", "!", ".NOT.", ".AND.", ".OR.", ".T.", ".F.", ".Y.", ".N.", ".X.", ".", "->",
    "0", "1", "2", "8", "-1", "3.5", ".5", "1e9", "65536", "999999999999", "1e308",
    "'A'", "\"ab c\"", "[x]", "''", "'20240131'", "'31-01-24'", "'  '", "'", "\"", "[", "]",
    " ", " ", "  ", "\t", "@", "?", "{", "}", ":=", ";", "&", "\xD1", "\xFF", "\x01",
};

QByteArray randomExpression(std::mt19937& rng)
{
    QByteArray s;
    const int n = 1 + int(rng() % 14);
    for (int i = 0; i < n; ++i) {
        if (rng() % 20 == 0)
            s.append(char(rng() % 256));
        else
            s.append(kPieces[rng() % std::size(kPieces)]);
    }
    return s;
}

// Deletes, duplicates or replaces a few bytes of a valid expression.
QByteArray mutate(QByteArray s, std::mt19937& rng)
{
    const int edits = 1 + int(rng() % 3);
    for (int i = 0; i < edits && !s.isEmpty(); ++i) {
        const qsizetype at = qsizetype(rng() % quint32(s.size()));
        switch (rng() % 3) {
        case 0: s.remove(at, 1); break;
        case 1: s.insert(at, s[at]); break;
        default: s[at] = "()'\",.+-=<>$!TF1 "[rng() % 18]; break;
        }
    }
    return s;
}

Record blankRecord()
{
    Record r;
    r.values = {Value::text(QByteArray(12, ' ')), Value::dateJd(0), Value::text(QByteArray(4, ' ')),
                Value::number(0), Value::logical(false), Value::text(QByteArray(3, ' ')),
                Value::text(QByteArray()), Value::text(QByteArray(6, ' ')), Value::text(QByteArray(2, ' '))};
    r.rec = 0;
    return r;
}

Record randomRecord(std::mt19937& rng)
{
    Record r;
    const char* calls[] = {"EA1ABC      ", "            ", "\xD1" "ANDU       ", "K1A/P       "};
    r.values[CALL] = Value::text(QByteArray(calls[rng() % 4]));
    r.values[QSODATE] = Value::dateJd(rng() % 3 ? jd(2000, 1, 1) + qint64(rng() % 10000) : 0);
    r.values[FREQ] = Value::number(rng() % 3 ? double(int(rng() % 2000000) - 1000000) / 1000 : 0);
    r.values[PRNQSL] = Value::logical(rng() % 2);
    r.values[NOTES] = Value::text(QByteArray(int(rng() % 40), 'n'));
    r.rec = rng() % 100000;
    r.del = rng() % 2;
    return r;
}

} // namespace

TEST(ExpressionErrors, RandomTextNeverCrashes)
{
    std::mt19937 rng(20240131);
    const char* valid[] = {
        "Upper(Call)+DToS(QsoDate)", "IF(Fld=\"*\",\"*\",\" \")+CodEnt+Band", "Descend(RecNo())",
        ".NOT. Deleted() .AND. PrnQsl", "Str(Freq,10,3)+SubStr(Call,2,3)", "QsoDate+1 > CToD('01-01-24')",
        "PadL(AllTrim(Call),12,'*')-Trim(Band)", "Val(TimeOn)/100 >= 9.3 .OR. 'EA' $ Call",
    };
    int compiledCount = 0;
    for (int round = 0; round < 150000; ++round) {
        const QByteArray text = round % 2 ? randomExpression(rng) : mutate(valid[rng() % std::size(valid)], rng);
        QString error;
        auto e = Expression::compile(text, logFields(), &error);
        if (!e) {
            ASSERT_FALSE(error.isEmpty()) << text.toHex().constData();
            continue;
        }
        ++compiledCount;
        ASSERT_TRUE(error.isEmpty());
        // On a blank record the result is what compilation learnt.
        const Value blank = e->eval(blankRecord());
        ASSERT_EQ(blank.type(), e->resultType()) << text.constData();
        if (blank.isChar()) {
            ASSERT_EQ(blank.bytes().size(), e->resultWidth()) << text.constData();
        }
        for (int k = 0; k < 3; ++k) {
            const Value v = e->eval(randomRecord(rng));
            if (v.isChar()) {
                ASSERT_LE(v.bytes().size(), 65535 * 16) << text.constData();
            }
        }
    }
    EXPECT_GT(compiledCount, 5000);   // the generator does reach the evaluator
}
