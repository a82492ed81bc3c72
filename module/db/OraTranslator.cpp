#include "OraTranslator.h"

#include "OraConnection.h"

#include <algorithm>
#include <vector>

namespace oradb {

namespace {

enum class T { Word, QIdent, String, Number, Bind, Op, Group, Comma, Semi, Dot };

// One token, or a parenthesised group of tokens (type Group, contents in kids).
struct Node {
    T type;
    QString text;  // Word/Number/Op: as written; QIdent/String: content; Bind: upper-case name
    std::vector<Node> kids;
};
using Seq = std::vector<Node>;

class Failure {
public:
    explicit Failure(QString what) : what(std::move(what)) {}
    QString what;
};

[[noreturn]] void fail(const QString &what) { throw Failure(what); }

Node tok(T type, const QString &text = QString()) { return Node{type, text, {}}; }
Node word(const QString &text) { return tok(T::Word, text); }
Node op(const QString &text) { return tok(T::Op, text); }
Node group(Seq kids = {}) { return Node{T::Group, QString(), std::move(kids)}; }

bool isWord(const Node &n, QLatin1String kw)
{
    return n.type == T::Word && n.text.compare(kw, Qt::CaseInsensitive) == 0;
}
bool isWordAt(const Seq &s, size_t i, QLatin1String kw) { return i < s.size() && isWord(s[i], kw); }
bool isOp(const Node &n, QLatin1String o) { return n.type == T::Op && n.text == o; }
bool isOuterMark(const Node &n)
{
    return n.type == T::Group && n.kids.size() == 1 && isOp(n.kids[0], QLatin1String("+"));
}

bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#');
}

// Words that never start an operand (so an identifier after an operand is an
// alias or a clause keyword, and an expression ends there).
bool isKeyword(const Node &n)
{
    static const char *const kws[] = {"and", "or", "not", "from", "where", "group", "order", "by", "having",
                                      "union", "except", "intersect", "minus", "then", "else", "end", "when",
                                      "as", "is", "in", "like", "between", "asc", "desc", "select", "into",
                                      "values", "set", "on", "join", "left", "right", "inner", "outer",
                                      "escape", "limit", "distinct", "all", "exists", "case"};
    if (n.type != T::Word)
        return false;
    for (const char *k : kws)
        if (n.text.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// ---------------------------------------------------------------- tokenizer

Seq tokenize(const QString &src)
{
    std::vector<Seq> stack(1);
    const int n = src.size();
    int i = 0;
    auto push = [&](Node node) { stack.back().push_back(std::move(node)); };
    while (i < n) {
        const QChar c = src[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && src[i + 1] == QLatin1Char('-')) {
            while (i < n && src[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && src[i + 1] == QLatin1Char('*')) {
            // comments and optimizer hints /*+ ... */ are dropped
            const int e = src.indexOf(QLatin1String("*/"), i + 2);
            if (e < 0)
                fail(QStringLiteral("an unterminated comment"));
            i = e + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString v;
            ++i;
            for (;;) {
                if (i >= n)
                    fail(c == QLatin1Char('\'') ? QStringLiteral("an unterminated string literal")
                                                : QStringLiteral("an unterminated quoted name"));
                if (src[i] == c) {
                    if (i + 1 < n && src[i + 1] == c) {
                        v += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                v += src[i++];
            }
            push(tok(c == QLatin1Char('\'') ? T::String : T::QIdent, v));
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && src[i + 1].isDigit())) {
            const int b = i;
            while (i < n && src[i].isDigit())
                ++i;
            if (i < n && src[i] == QLatin1Char('.') && !(i + 1 < n && src[i + 1] == QLatin1Char('.'))) {
                ++i;
                while (i < n && src[i].isDigit())
                    ++i;
            }
            if (i < n && (src[i] == QLatin1Char('e') || src[i] == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < n && (src[j] == QLatin1Char('+') || src[j] == QLatin1Char('-')))
                    ++j;
                if (j < n && src[j].isDigit()) {
                    i = j;
                    while (i < n && src[i].isDigit())
                        ++i;
                }
            }
            push(tok(T::Number, src.mid(b, i - b)));
        } else if (isIdentStart(c)) {
            const int b = i;
            while (i < n && isIdentChar(src[i]))
                ++i;
            push(word(src.mid(b, i - b)));
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentChar(src[i + 1])) {
            const int b = ++i;
            while (i < n && isIdentChar(src[i]))
                ++i;
            push(tok(T::Bind, src.mid(b, i - b).toUpper()));
        } else if (c == QLatin1Char('(')) {
            stack.emplace_back();
            ++i;
        } else if (c == QLatin1Char(')')) {
            if (stack.size() < 2)
                fail(QStringLiteral("an unbalanced ')'"));
            Seq g = std::move(stack.back());
            stack.pop_back();
            push(group(std::move(g)));
            ++i;
        } else if (c == QLatin1Char(',')) {
            push(tok(T::Comma, QStringLiteral(",")));
            ++i;
        } else if (c == QLatin1Char(';')) {
            push(tok(T::Semi, QStringLiteral(";")));
            ++i;
        } else if (c == QLatin1Char('.')) {
            push(tok(T::Dot, QStringLiteral(".")));
            ++i;
        } else {
            static const char *const two[] = {"||", "<=", ">=", "<>", "!=", "^=", "=>"};
            bool done = false;
            for (const char *t : two) {
                if (QStringView(src).mid(i, 2) == QLatin1String(t)) {
                    QString o = QLatin1String(t);
                    if (o == QLatin1String("!=") || o == QLatin1String("^="))
                        o = QStringLiteral("<>");
                    push(op(o));
                    i += 2;
                    done = true;
                    break;
                }
            }
            if (done)
                continue;
            if (QStringLiteral("+-*/=<>%&|~").contains(c)) {
                push(op(QString(c)));
                ++i;
            } else {
                fail(QStringLiteral("the character '%1'").arg(c));
            }
        }
    }
    if (stack.size() != 1)
        fail(QStringLiteral("an unbalanced '('"));
    return std::move(stack.front());
}

// ---------------------------------------------------------------- operands

// Index of the "end" that closes the "case" at i (same level).
size_t matchingEnd(const Seq &s, size_t i)
{
    int depth = 0;
    for (size_t k = i; k < s.size(); ++k) {
        if (isWord(s[k], QLatin1String("case")))
            ++depth;
        else if (isWord(s[k], QLatin1String("end")) && --depth == 0)
            return k;
    }
    fail(QStringLiteral("a CASE without END"));
}

// End (exclusive) of the primary starting at i: a literal, a bind, a group,
// a (dotted) name or function call, or CASE ... END. Returns i when there is
// none.
size_t primaryEnd(const Seq &s, size_t i)
{
    if (i >= s.size())
        return i;
    const Node &n = s[i];
    switch (n.type) {
    case T::Number:
    case T::String:
    case T::Bind:
    case T::QIdent:
    case T::Group:
        return i + 1;
    case T::Op:
        if (n.text == QLatin1String("-") || n.text == QLatin1String("+")) {
            const size_t e = primaryEnd(s, i + 1);
            return e == i + 1 ? i : e;
        }
        return i;
    case T::Word: {
        if (isWord(n, QLatin1String("case")))
            return matchingEnd(s, i) + 1;
        if (isKeyword(n) && !isWord(n, QLatin1String("null")))
            return i;
        size_t k = i + 1;
        while (k + 1 < s.size() && s[k].type == T::Dot && (s[k + 1].type == T::Word || s[k + 1].type == T::QIdent))
            k += 2;
        if (k < s.size() && s[k].type == T::Group && !isOuterMark(s[k]))
            ++k;
        return k;
    }
    default:
        return i;
    }
}

// End (exclusive) of a multiplicative term starting at i.
size_t termEnd(const Seq &s, size_t i)
{
    size_t e = primaryEnd(s, i);
    if (e == i)
        return i;
    while (e < s.size() && (isOp(s[e], QLatin1String("*")) || isOp(s[e], QLatin1String("/")))) {
        const size_t f = primaryEnd(s, e + 1);
        if (f == e + 1)
            fail(QStringLiteral("an operand after '%1'").arg(s[e].text));
        e = f;
    }
    return e;
}

// Start of the primary that ends just before position i.
size_t primaryStart(const Seq &s, size_t i)
{
    if (i == 0)
        fail(QStringLiteral("an operand before '||'"));
    size_t k = i - 1;
    const Node &n = s[k];
    if (n.type == T::Group) {
        if (k > 0 && (s[k - 1].type == T::Word || s[k - 1].type == T::QIdent) && !isKeyword(s[k - 1]))
            --k;
        else
            return k;
    } else if (isWord(n, QLatin1String("end"))) {
        int depth = 0;
        for (size_t j = k + 1; j-- > 0;) {
            if (isWord(s[j], QLatin1String("end")))
                ++depth;
            else if (isWord(s[j], QLatin1String("case")) && --depth == 0)
                return j;
        }
        fail(QStringLiteral("an END without CASE"));
    } else if (n.type == T::Number || n.type == T::String || n.type == T::Bind) {
        return k;
    } else if (n.type != T::Word && n.type != T::QIdent) {
        fail(QStringLiteral("an operand before '||'"));
    }
    while (k >= 2 && s[k - 1].type == T::Dot && (s[k - 2].type == T::Word || s[k - 2].type == T::QIdent))
        k -= 2;
    return k;
}

Seq slice(const Seq &s, size_t b, size_t e) { return Seq(s.begin() + b, s.begin() + e); }

void append(Seq &dst, const Seq &src) { dst.insert(dst.end(), src.begin(), src.end()); }

// ---------------------------------------------------------------- rewrites

bool isComparison(const Node &n)
{
    static const char *const ops[] = {"=", "<>", "<", ">", "<=", ">="};
    if (n.type != T::Op)
        return false;
    for (const char *o : ops)
        if (n.text == QLatin1String(o))
            return true;
    return false;
}

// Literal '' → NULL, minus → except, seq.nextval → ora_nextval('SEQ'),
// a / b → a * 1.0 / b, (a,b) in ((1,2),(3,4)) → ... in (values (1,2),(3,4)),
// 1 = :X → 1 = cast(?1 as numeric).
void simpleRewrites(Seq &s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        Node &n = s[i];
        if (n.type == T::String && n.text.isEmpty()) {
            n = word(QStringLiteral("NULL"));
        } else if (isWord(n, QLatin1String("minus"))) {
            n.text = QStringLiteral("except");
        } else if (isOp(n, QLatin1String("/"))) {
            s.insert(s.begin() + i, {op(QStringLiteral("*")), tok(T::Number, QStringLiteral("1.0"))});
            i += 2;
        } else if ((isWord(n, QLatin1String("nextval")) || isWord(n, QLatin1String("currval"))) && i >= 2
                   && s[i - 1].type == T::Dot && s[i - 2].type == T::Word) {
            size_t b = i - 2;
            const QString seqName = s[b].text.toUpper();
            if (b >= 2 && s[b - 1].type == T::Dot && s[b - 2].type == T::Word)
                b -= 2;  // schema prefix
            const QString fn = isWord(n, QLatin1String("nextval")) ? QStringLiteral("ora_nextval")
                                                                    : QStringLiteral("ora_currval");
            Seq call{word(fn), group({tok(T::String, seqName)})};
            s.erase(s.begin() + b, s.begin() + i + 1);
            s.insert(s.begin() + b, call.begin(), call.end());
            i = b + 1;
        } else if (n.type == T::Bind && ((i >= 2 && isComparison(s[i - 1]) && s[i - 2].type == T::Number)
                                         || (i + 2 < s.size() && isComparison(s[i + 1]) && s[i + 2].type == T::Number))) {
            // a text bind compared with a number: Oracle converts the text to a number
            Node bind = n;
            s[i] = word(QStringLiteral("cast"));
            s.insert(s.begin() + i + 1, group({bind, word(QStringLiteral("as")), word(QStringLiteral("numeric"))}));
            ++i;
        } else if (isWord(n, QLatin1String("in")) && i + 1 < s.size() && s[i + 1].type == T::Group) {
            Seq &g = s[i + 1].kids;
            if (g.empty() || g[0].type != T::Group || (!g[0].kids.empty() && isWord(g[0].kids[0], QLatin1String("select"))))
                continue;
            bool rows = true;
            for (size_t k = 0; k < g.size(); ++k)
                if ((k % 2 == 0 && g[k].type != T::Group) || (k % 2 == 1 && g[k].type != T::Comma))
                    rows = false;
            if (rows)
                g.insert(g.begin(), word(QStringLiteral("values")));
        }
    }
}

bool isDateCall(const Seq &s, size_t i)
{
    static const char *const fns[] = {"trunc", "to_date", "add_months", "last_day", "round"};
    if (i + 1 >= s.size() || s[i + 1].type != T::Group || (i > 0 && s[i - 1].type == T::Dot))
        return false;
    for (const char *f : fns)
        if (isWord(s[i], QLatin1String(f)))
            return true;
    return false;
}

// sysdate → ora_sysdate(); sysdate ± days → ora_date_add(ora_sysdate(), (0 ± days)).
// The same for trunc(...), to_date(...), ... ± days: ora_date_add adds days to
// a date and plain numbers to a number.
void sysdateRewrite(Seq &s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        Seq call;
        size_t j;
        // after '-', '*' or '/' the date is an operand of that operator: its
        // own ± tail does not belong to it
        const bool ownsTail = !(i > 0 && (isOp(s[i - 1], QLatin1String("-")) || isOp(s[i - 1], QLatin1String("*"))
                                          || isOp(s[i - 1], QLatin1String("/"))));
        if (isWord(s[i], QLatin1String("sysdate")) && !(i > 0 && s[i - 1].type == T::Dot)
            && !(i + 1 < s.size() && s[i + 1].type == T::Group)) {
            call = {word(QStringLiteral("ora_sysdate")), group()};
            j = i + 1;
        } else if (ownsTail && isDateCall(s, i) && i + 2 < s.size()
                   && (isOp(s[i + 2], QLatin1String("+")) || isOp(s[i + 2], QLatin1String("-")))) {
            call = {s[i], s[i + 1]};
            j = i + 2;
        } else {
            continue;
        }
        Seq delta{tok(T::Number, QStringLiteral("0"))};
        while (ownsTail && j < s.size() && (isOp(s[j], QLatin1String("+")) || isOp(s[j], QLatin1String("-")))) {
            const size_t e = termEnd(s, j + 1);
            if (e == j + 1)
                break;
            append(delta, slice(s, j, e));
            j = e;
        }
        Seq repl;
        if (delta.size() == 1) {
            if (!isWord(s[i], QLatin1String("sysdate")))
                continue;
            repl = call;
        } else {
            Seq args = call;
            args.push_back(tok(T::Comma, QStringLiteral(",")));
            args.push_back(group(delta));
            repl = {word(QStringLiteral("ora_date_add")), group(args)};
        }
        s.erase(s.begin() + i, s.begin() + j);
        s.insert(s.begin() + i, repl.begin(), repl.end());
        i += repl.size() - 1;
    }
}

// a || b || c → ora_concat(a, b, c): NULL operands are skipped as in Oracle.
void concatRewrite(Seq &s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (!isOp(s[i], QLatin1String("||")))
            continue;
        const size_t start = primaryStart(s, i);
        Seq args = slice(s, start, i);
        size_t j = i;
        while (j < s.size() && isOp(s[j], QLatin1String("||"))) {
            const size_t e = primaryEnd(s, j + 1);
            if (e == j + 1)
                fail(QStringLiteral("an operand after '||'"));
            args.push_back(tok(T::Comma, QStringLiteral(",")));
            append(args, slice(s, j + 1, e));
            j = e;
        }
        Seq repl{word(QStringLiteral("ora_concat")), group(args)};
        s.erase(s.begin() + start, s.begin() + j);
        s.insert(s.begin() + start, repl.begin(), repl.end());
        i = start + 1;
    }
}

size_t findWord(const Seq &s, size_t from, size_t to, QLatin1String kw)
{
    for (size_t k = from; k < to; ++k)
        if (isWord(s[k], kw))
            return k;
    return to;
}

// Splits a WHERE condition into its AND-ed parts; false when it has a
// top-level OR (then the parts are not conjuncts).
bool splitConjuncts(const Seq &w, std::vector<Seq> &parts)
{
    parts.assign(1, Seq());
    bool between = false;
    int caseDepth = 0;
    for (const Node &n : w) {
        if (isWord(n, QLatin1String("case")))
            ++caseDepth;
        else if (isWord(n, QLatin1String("end")) && caseDepth > 0)
            --caseDepth;
        if (caseDepth == 0) {
            if (isWord(n, QLatin1String("or")))
                return false;
            if (isWord(n, QLatin1String("between")))
                between = true;
            if (isWord(n, QLatin1String("and"))) {
                if (between) {
                    between = false;
                } else {
                    parts.emplace_back();
                    continue;
                }
            }
        }
        parts.back().push_back(n);
    }
    for (const Seq &p : parts)
        if (p.empty())
            fail(QStringLiteral("an empty condition"));
    return true;
}

bool containsRownum(const Seq &s)
{
    return std::any_of(s.begin(), s.end(), [](const Node &n) { return isWord(n, QLatin1String("rownum")); });
}
bool containsOuterMark(const Seq &s) { return std::any_of(s.begin(), s.end(), isOuterMark); }

// rownum <= N, rownum < N, rownum = 1 (or reversed) → the LIMIT expression.
Seq rownumLimit(const Seq &c)
{
    QString o;
    Seq value;
    if (c.size() >= 3 && isWord(c[0], QLatin1String("rownum")) && c[1].type == T::Op) {
        o = c[1].text;
        value = slice(c, 2, c.size());
    } else if (c.size() >= 3 && isWord(c.back(), QLatin1String("rownum")) && c[c.size() - 2].type == T::Op) {
        o = c[c.size() - 2].text;
        value = slice(c, 0, c.size() - 2);
        if (o == QLatin1String(">="))
            o = QStringLiteral("<=");
        else if (o == QLatin1String(">"))
            o = QStringLiteral("<");
        else if (o != QLatin1String("="))
            o.clear();
    }
    if (value.empty() || containsRownum(value))
        fail(QStringLiteral("the ROWNUM condition"));
    if (o == QLatin1String("<="))
        return {group(value)};
    if (o == QLatin1String("<")) {
        if (value.size() == 1 && value[0].type == T::Number)
            return {tok(T::Number, QString::number(std::max(0LL, value[0].text.toLongLong() - 1)))};
        return {group(value), op(QStringLiteral("-")), tok(T::Number, QStringLiteral("1"))};
    }
    if (o == QLatin1String("=") && value.size() == 1 && value[0].type == T::Number)
        return {tok(T::Number, value[0].text.toDouble() == 1.0 ? QStringLiteral("1") : QStringLiteral("0"))};
    fail(QStringLiteral("the ROWNUM condition"));
}

QString itemAlias(const Seq &item)
{
    if (item.empty())
        fail(QStringLiteral("an empty FROM item"));
    const Node &last = item.back();
    if (last.type == T::Word || last.type == T::QIdent)
        return last.text.toUpper();
    return QString();
}

// Whether the SELECT groups or aggregates its rows (DISTINCT, GROUP BY,
// HAVING, or an aggregate function in the select list).
bool callsAggregate(const Seq &s, size_t from, size_t to)
{
    static const char *const aggs[] = {"count", "sum", "max", "min", "avg", "wm_concat", "group_concat"};
    for (size_t k = from; k < to; ++k) {
        if (s[k].type != T::Group)
            continue;
        if (k > from)
            for (const char *a : aggs)
                if (isWord(s[k - 1], QLatin1String(a)))
                    return true;
        const Seq &g = s[k].kids;
        if (!g.empty() && !isWord(g[0], QLatin1String("select")) && callsAggregate(g, 0, g.size()))
            return true;
    }
    return false;
}

bool isAggregate(const Seq &m, size_t idxFrom, size_t tail, size_t end)
{
    if (isWordAt(m, 1, QLatin1String("distinct")) || (tail < end && !isWord(m[tail], QLatin1String("order"))))
        return true;
    return callsAggregate(m, 1, idxFrom);
}

// One SELECT of a (possibly compound) query: ROWNUM limits, (+) outer
// joins, FROM dual.
Seq rewriteSelect(Seq m, bool inCompound)
{
    const size_t end = m.size();
    size_t idxFrom = findWord(m, 1, end, QLatin1String("from"));
    size_t idxWhere = findWord(m, idxFrom, end, QLatin1String("where"));
    size_t tail = end;  // GROUP BY / HAVING / ORDER BY
    for (size_t k = std::min(idxWhere, idxFrom); k < end; ++k) {
        if ((isWord(m[k], QLatin1String("group")) || isWord(m[k], QLatin1String("order"))) && isWordAt(m, k + 1, QLatin1String("by"))) {
            tail = k;
            break;
        }
        if (isWord(m[k], QLatin1String("having"))) {
            tail = k;
            break;
        }
    }
    if (idxWhere > tail)
        idxWhere = end;
    if (idxFrom > tail)
        idxFrom = end;

    Seq limit;
    std::vector<Seq> kept;
    std::vector<std::pair<QString, Seq>> outerConds;
    bool whereChanged = false;
    if (idxWhere < end) {
        const Seq w = slice(m, idxWhere + 1, tail);
        std::vector<Seq> parts;
        const bool conj = splitConjuncts(w, parts);
        if (!conj) {
            if (containsRownum(w) || containsOuterMark(w))
                fail(QStringLiteral("ROWNUM or (+) inside an OR condition"));
            kept.push_back(w);
        } else {
            for (Seq &p : parts) {
                if (containsRownum(p)) {
                    if (!limit.empty())
                        fail(QStringLiteral("a second ROWNUM condition"));
                    limit = rownumLimit(p);
                    whereChanged = true;
                } else if (containsOuterMark(p)) {
                    QString alias;
                    for (size_t k = 0; k < p.size(); ++k) {
                        if (!isOuterMark(p[k]))
                            continue;
                        if (k < 3 || p[k - 2].type != T::Dot || (p[k - 3].type != T::Word && p[k - 3].type != T::QIdent))
                            fail(QStringLiteral("(+) on a column without its table alias"));
                        const QString a = p[k - 3].text.toUpper();
                        if (!alias.isEmpty() && alias != a)
                            fail(QStringLiteral("(+) on two tables in one condition"));
                        alias = a;
                    }
                    p.erase(std::remove_if(p.begin(), p.end(), isOuterMark), p.end());
                    outerConds.emplace_back(alias, p);
                    whereChanged = true;
                } else {
                    kept.push_back(p);
                }
            }
        }
    }

    Seq fromPart;
    bool fromChanged = false;
    if (idxFrom < end) {
        const size_t fromEnd = std::min(idxWhere, tail);
        Seq f = slice(m, idxFrom + 1, fromEnd);
        std::vector<Seq> items(1);
        for (const Node &n : f) {
            if (n.type == T::Comma)
                items.emplace_back();
            else
                items.back().push_back(n);
        }
        if (!outerConds.empty()) {
            if (findWord(f, 0, f.size(), QLatin1String("join")) < f.size())
                fail(QStringLiteral("(+) together with JOIN"));
            QStringList outerAliases;
            for (const auto &oc : outerConds)
                if (!outerAliases.contains(oc.first))
                    outerAliases << oc.first;
            std::vector<QString> aliases;
            for (const Seq &it : items)
                aliases.push_back(itemAlias(it));
            for (const QString &a : outerAliases)
                if (std::find(aliases.begin(), aliases.end(), a) == aliases.end())
                    fail(QStringLiteral("(+) on the unknown table alias %1").arg(a));
            bool first = true;
            for (size_t k = 0; k < items.size(); ++k) {
                if (outerAliases.contains(aliases[k]))
                    continue;
                if (!first)
                    fromPart.push_back(tok(T::Comma, QStringLiteral(",")));
                append(fromPart, items[k]);
                first = false;
            }
            if (first)
                fail(QStringLiteral("(+) on every table of the FROM list"));
            for (size_t k = 0; k < items.size(); ++k) {
                if (!outerAliases.contains(aliases[k]))
                    continue;
                fromPart.push_back(word(QStringLiteral("left")));
                fromPart.push_back(word(QStringLiteral("join")));
                append(fromPart, items[k]);
                fromPart.push_back(word(QStringLiteral("on")));
                bool firstCond = true;
                for (const auto &oc : outerConds) {
                    if (oc.first != aliases[k])
                        continue;
                    if (!firstCond)
                        fromPart.push_back(word(QStringLiteral("and")));
                    fromPart.push_back(group(oc.second));
                    firstCond = false;
                }
            }
            fromChanged = true;
        } else if (items.size() == 1 && items[0].size() == 1 && isWord(items[0][0], QLatin1String("dual"))
                   && std::none_of(m.begin() + 1, m.begin() + idxFrom, [](const Node &n) { return isOp(n, QLatin1String("*")); })) {
            fromChanged = true;  // SELECT without FROM: one row, as dual gives
        } else {
            fromPart = f;
        }
    }

    if (!whereChanged && !fromChanged && limit.empty())
        return m;

    // ROWNUM limits the rows before they are grouped or counted: the rows
    // go through a limited subquery named as the table was
    if (!limit.empty() && idxFrom < end && isAggregate(m, idxFrom, tail, end)) {
        if (!outerConds.empty() || fromPart.empty() || std::any_of(fromPart.begin(), fromPart.end(), [](const Node &n) {
                return n.type == T::Comma || isWord(n, QLatin1String("join"));
            }))
            fail(QStringLiteral("ROWNUM with grouping over more than one table"));
        const QString alias = itemAlias(fromPart);
        Seq inner{word(QStringLiteral("select")), op(QStringLiteral("*")), word(QStringLiteral("from"))};
        append(inner, fromPart);
        for (size_t k = 0; k < kept.size(); ++k) {
            inner.push_back(word(k ? QStringLiteral("and") : QStringLiteral("where")));
            append(inner, kept[k]);
        }
        inner.push_back(word(QStringLiteral("limit")));
        append(inner, limit);
        Seq out = slice(m, 0, idxFrom + 1);
        out.push_back(group(inner));
        if (!alias.isEmpty())
            out.push_back(word(alias));
        append(out, slice(m, tail, end));
        if (inCompound)
            out = {word(QStringLiteral("select")), op(QStringLiteral("*")), word(QStringLiteral("from")), group(out)};
        return out;
    }

    Seq out = slice(m, 0, std::min(idxFrom, std::min(idxWhere, tail)));
    if (idxFrom < end && !fromPart.empty()) {
        out.push_back(m[idxFrom]);
        append(out, fromPart);
    }
    if (!kept.empty()) {
        out.push_back(word(QStringLiteral("where")));
        for (size_t k = 0; k < kept.size(); ++k) {
            if (k)
                out.push_back(word(QStringLiteral("and")));
            append(out, kept[k]);
        }
    }
    append(out, slice(m, tail, end));
    if (!limit.empty()) {
        out.push_back(word(QStringLiteral("limit")));
        append(out, limit);
        if (inCompound)
            out = {word(QStringLiteral("select")), op(QStringLiteral("*")), word(QStringLiteral("from")), group(out)};
    }
    return out;
}

void selectRewrite(Seq &s)
{
    const size_t start = findWord(s, 0, s.size(), QLatin1String("select"));
    if (start == s.size())
        return;
    // members of a compound query
    std::vector<std::pair<size_t, size_t>> members;
    size_t b = start;
    for (size_t k = start; k <= s.size(); ++k) {
        if (k == s.size() || isWord(s[k], QLatin1String("union")) || isWord(s[k], QLatin1String("except"))
            || isWord(s[k], QLatin1String("intersect"))) {
            members.emplace_back(b, k);
            if (k < s.size())
                b = isWordAt(s, k + 1, QLatin1String("all")) ? k + 2 : k + 1;
        }
    }
    const bool compound = members.size() > 1;
    for (size_t mi = members.size(); mi-- > 0;) {
        const auto [mb, me] = members[mi];
        if (mb >= me || !isWord(s[mb], QLatin1String("select")))
            continue;
        Seq out = rewriteSelect(slice(s, mb, me), compound);
        s.erase(s.begin() + mb, s.begin() + me);
        s.insert(s.begin() + mb, out.begin(), out.end());
    }
}

// ROWNUM left as a column → row_number() over ().
void rownumColumns(Seq &s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (!isWord(s[i], QLatin1String("rownum")) || (i > 0 && s[i - 1].type == T::Dot))
            continue;
        s[i] = word(QStringLiteral("row_number"));
        s.insert(s.begin() + i + 1, {group(), word(QStringLiteral("over")), group()});
        i += 3;
    }
}

void processSeq(Seq &s)
{
    for (Node &n : s)
        if (n.type == T::Group && !isOuterMark(n))
            processSeq(n.kids);
    simpleRewrites(s);
    sysdateRewrite(s);
    concatRewrite(s);
    selectRewrite(s);
    rownumColumns(s);
}

// ---------------------------------------------------------------- output

void writeSql(const Seq &s, QString &out, QStringList &binds)
{
    const Node *prev = nullptr;
    for (const Node &n : s) {
        if (prev) {
            const bool glue = n.type == T::Comma || n.type == T::Dot || prev->type == T::Dot || prev->type == T::Comma
                              || (n.type == T::Group && (prev->type == T::Word || prev->type == T::QIdent));
            if (!glue)
                out += QLatin1Char(' ');
        }
        switch (n.type) {
        case T::String:
            out += QLatin1Char('\'') + QString(n.text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
            break;
        case T::QIdent:
            out += QLatin1Char('"') + QString(n.text).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
            break;
        case T::Bind: {
            int idx = binds.indexOf(n.text);
            if (idx < 0) {
                binds << n.text;
                idx = binds.size() - 1;
            }
            out += QLatin1Char('?') + QString::number(idx + 1);
            break;
        }
        case T::Group:
            out += QLatin1Char('(');
            writeSql(n.kids, out, binds);
            out += QLatin1Char(')');
            break;
        default:
            out += n.text;
        }
        prev = &n;
    }
}

// begin proc(args); end;  →  select proc(json_object(...)) or
// select proc(json_object('args', json_array(...))).
Translation translateBlock(Seq s)
{
    size_t i = 1;
    QString name;
    while (i < s.size() && (s[i].type == T::Word || s[i].type == T::QIdent)) {
        name = s[i].text.toUpper();
        ++i;
        if (i < s.size() && s[i].type == T::Dot)
            ++i;
        else
            break;
    }
    if (name.isEmpty())
        fail(QStringLiteral("a PL/SQL block that does not call a procedure"));
    Seq args;
    if (i < s.size() && s[i].type == T::Group)
        args = s[i++].kids;
    if (!(i + 1 < s.size() + 1 && i < s.size() && s[i].type == T::Semi && isWordAt(s, i + 1, QLatin1String("end"))))
        fail(QStringLiteral("a PL/SQL block that does more than call one procedure"));
    i += 2;
    if (i < s.size() && s[i].type == T::Word && !isKeyword(s[i]))
        ++i;  // end proc_name
    if (i != s.size())
        fail(QStringLiteral("a PL/SQL block that does more than call one procedure"));

    std::vector<Seq> list;
    if (!args.empty()) {
        list.emplace_back();
        for (const Node &n : args) {
            if (n.type == T::Comma)
                list.emplace_back();
            else
                list.back().push_back(n);
        }
    }
    bool named = false, positional = false;
    Seq inner;
    for (Seq &a : list) {
        if (a.empty())
            fail(QStringLiteral("an empty procedure argument"));
        QString argName;
        if (a.size() >= 3 && a[0].type == T::Word && isOp(a[1], QLatin1String("=>"))) {
            argName = a[0].text.toUpper();
            a.erase(a.begin(), a.begin() + 2);
            named = true;
        } else {
            positional = true;
        }
        processSeq(a);
        if (!inner.empty())
            inner.push_back(tok(T::Comma, QStringLiteral(",")));
        if (!argName.isEmpty()) {
            inner.push_back(tok(T::String, argName));
            inner.push_back(tok(T::Comma, QStringLiteral(",")));
        }
        inner.push_back(word(QStringLiteral("to_char")));
        inner.push_back(group(a));
    }
    if (named && positional)
        fail(QStringLiteral("procedure arguments both by position and by name"));
    Seq json;
    if (positional) {
        json = {word(QStringLiteral("json_object")),
                group({tok(T::String, QStringLiteral("args")), tok(T::Comma, QStringLiteral(",")),
                       word(QStringLiteral("json_array")), group(inner)})};
    } else {
        json = {word(QStringLiteral("json_object")), group(inner)};
    }
    Seq stmt{word(QStringLiteral("select")), word(name), group(json)};
    Translation t;
    t.kind = Translation::Procedure;
    t.procedure = name;
    t.writes = true;
    QString out;
    writeSql(stmt, out, t.binds);
    t.sql = out.toUtf8();
    return t;
}

}  // namespace

Translation translateOracle(const QString &oracleSql)
{
    try {
        Seq s = tokenize(oracleSql);
        while (!s.empty() && s.back().type == T::Semi)
            s.pop_back();
        if (s.empty())
            fail(QStringLiteral("an empty statement"));
        Translation t;
        const bool commit = isWord(s[0], QLatin1String("commit"));
        const bool rollback = isWord(s[0], QLatin1String("rollback"));
        if ((commit || rollback) && (s.size() == 1 || (s.size() == 2 && isWord(s[1], QLatin1String("work"))))) {
            t.kind = commit ? Translation::Commit : Translation::Rollback;
            return t;
        }
        if (isWord(s[0], QLatin1String("begin")))
            return translateBlock(std::move(s));
        for (const Node &n : s)
            if (n.type == T::Semi)
                fail(QStringLiteral("more than one statement"));
        if (isWord(s[0], QLatin1String("delete")) && s.size() > 1 && !isWord(s[1], QLatin1String("from")))
            s.insert(s.begin() + 1, word(QStringLiteral("from")));
        // select ... for update [of ...] [nowait | wait n]: the rows are
        // locked by taking the database's write lock for the transaction
        bool forUpdate = false;
        if (isWord(s[0], QLatin1String("select"))) {
            for (size_t k = 1; k + 1 < s.size(); ++k) {
                if (isWord(s[k], QLatin1String("for")) && isWord(s[k + 1], QLatin1String("update"))) {
                    s.erase(s.begin() + k, s.end());
                    forUpdate = true;
                    break;
                }
            }
        }
        processSeq(s);
        QString out;
        writeSql(s, out, t.binds);
        t.sql = out.toUtf8();
        t.writes = !(isWord(s[0], QLatin1String("select")) || isWord(s[0], QLatin1String("with"))
                     || isWord(s[0], QLatin1String("values")) || isWord(s[0], QLatin1String("explain"))
                     || s[0].type == T::Group)
                   || forUpdate;
        return t;
    } catch (const Failure &f) {
        throw DbError(QStringLiteral("SQL could not be translated: %1 in \"%2\"").arg(f.what, oracleSql.simplified()));
    }
}

}  // namespace oradb
