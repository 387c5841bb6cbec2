#include "platform/device/WqlQuery.h"

#include "platform/device/WbemError.h"

#include <charconv>
#include <cmath>
#include <string>

namespace lumora {

namespace {

enum TokenKind { tkEnd, tkWord, tkNumber, tkString, tkStar, tkComma, tkEquals };

struct Token {
    TokenKind kind = tkEnd;
    QString text;
    CimScalar number;
};

[[noreturn]] void Invalid() { throw EWbemError(wbemErrInvalidQuery); }

bool IsWordStart(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool IsWordChar(QChar c) { return IsWordStart(c) || (c >= u'0' && c <= u'9'); }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

CimScalar ParseNumber(const QString& text)
{
    const std::string s = text.toStdString();
    const char* first = s.data() + (s.front() == '+' ? 1 : 0);
    const char* last = s.data() + s.size();
    const bool whole = s.find_first_of(".eE") == std::string::npos;
    if (whole) {
        std::int64_t i = 0;
        auto [p, ec] = std::from_chars(first, last, i);
        if (ec == std::errc() && p == last)
            return i;
        std::uint64_t u = 0;
        auto [pu, ecu] = std::from_chars(first, last, u);
        if (ecu == std::errc() && pu == last)
            return u;
        Invalid();
    }
    double d = 0;
    auto [p, ec] = std::from_chars(first, last, d);
    if (ec != std::errc() || p != last || !std::isfinite(d))
        Invalid();
    return d;
}

class Lexer {
public:
    explicit Lexer(const QString& text) : text_(text) {}

    Token Next()
    {
        while (pos_ < text_.size() && text_[pos_].isSpace())
            ++pos_;
        Token t;
        if (pos_ >= text_.size())
            return t;
        const QChar c = text_[pos_];
        if (c == u'*') { ++pos_; t.kind = tkStar; return t; }
        if (c == u',') { ++pos_; t.kind = tkComma; return t; }
        if (c == u'=') { ++pos_; t.kind = tkEquals; return t; }
        if (c == u'\'' || c == u'"')
            return String(c);
        if (IsWordStart(c)) {
            const qsizetype start = pos_;
            while (pos_ < text_.size() && IsWordChar(text_[pos_]))
                ++pos_;
            t.kind = tkWord;
            t.text = text_.mid(start, pos_ - start);
            return t;
        }
        if (IsDigit(c) || c == u'-' || c == u'+' || c == u'.')
            return Number();
        Invalid();
    }

private:
    Token String(QChar quote)
    {
        Token t;
        t.kind = tkString;
        ++pos_;
        while (true) {
            if (pos_ >= text_.size())
                Invalid();
            QChar c = text_[pos_++];
            if (c == quote)
                break;
            if (c == u'\\') {
                if (pos_ >= text_.size())
                    Invalid();
                c = text_[pos_++];
            }
            t.text += c;
        }
        t.number = t.text;
        return t;
    }

    Token Number()
    {
        const qsizetype start = pos_;
        if (text_[pos_] == u'-' || text_[pos_] == u'+')
            ++pos_;
        qsizetype digits = 0;
        auto takeDigits = [&] {
            while (pos_ < text_.size() && IsDigit(text_[pos_])) {
                ++pos_;
                ++digits;
            }
        };
        takeDigits();
        if (pos_ < text_.size() && text_[pos_] == u'.') {
            ++pos_;
            takeDigits();
        }
        if (digits == 0)
            Invalid();
        if (pos_ < text_.size() && (text_[pos_] == u'e' || text_[pos_] == u'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == u'-' || text_[pos_] == u'+'))
                ++pos_;
            const qsizetype before = pos_;
            takeDigits();
            if (pos_ == before)
                Invalid();
        }
        // "12abc" is not a number followed by a word.
        if (pos_ < text_.size() && IsWordChar(text_[pos_]))
            Invalid();
        Token t;
        t.kind = tkNumber;
        t.text = text_.mid(start, pos_ - start);
        t.number = ParseNumber(t.text);
        return t;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

bool IsKeyword(const Token& t, const char* word)
{
    return t.kind == tkWord && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsReserved(const Token& t)
{
    for (const char* w : {"SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "TRUE", "FALSE", "NULL", "LIKE", "IS", "ISA"}) {
        if (IsKeyword(t, w))
            return true;
    }
    return false;
}

QString TakeName(Lexer& lexer)
{
    Token t = lexer.Next();
    if (t.kind != tkWord || IsReserved(t))
        Invalid();
    return t.text;
}

CimScalar TakeLiteral(Lexer& lexer)
{
    Token t = lexer.Next();
    if (IsKeyword(t, "TRUE"))
        return true;
    if (IsKeyword(t, "FALSE"))
        return false;
    if (t.kind == tkNumber || t.kind == tkString)
        return t.number;
    Invalid();
}

// Compares two whole numbers held as int64 or uint64.
bool SameWhole(const CimScalar& a, const CimScalar& b)
{
    auto sa = CimValue::ToInt64(a);
    auto sb = CimValue::ToInt64(b);
    if (sa && sb)
        return *sa == *sb;
    auto ua = std::get_if<std::uint64_t>(&a);
    auto ub = std::get_if<std::uint64_t>(&b);
    return ua && ub && *ua == *ub;
}

std::optional<double> AsReal(const CimScalar& s)
{
    if (auto d = std::get_if<double>(&s))
        return *d;
    if (auto i = std::get_if<std::int64_t>(&s))
        return double(*i);
    if (auto u = std::get_if<std::uint64_t>(&s))
        return double(*u);
    return std::nullopt;
}

bool IsWhole(const CimScalar& s)
{
    return std::holds_alternative<std::int64_t>(s) || std::holds_alternative<std::uint64_t>(s);
}

} // namespace

WqlQuery ParseWql(const QString& text)
{
    Lexer lexer(text);
    WqlQuery query;
    if (!IsKeyword(lexer.Next(), "SELECT"))
        Invalid();

    Token t = lexer.Next();
    if (t.kind == tkStar) {
        query.AllProperties = true;
        t = lexer.Next();
    } else {
        while (true) {
            if (t.kind != tkWord || IsReserved(t))
                Invalid();
            query.Properties << t.text;
            t = lexer.Next();
            if (t.kind != tkComma)
                break;
            t = lexer.Next();
        }
    }
    if (!IsKeyword(t, "FROM"))
        Invalid();
    query.ClassName = TakeName(lexer);

    t = lexer.Next();
    if (IsKeyword(t, "WHERE")) {
        while (true) {
            WqlCondition condition;
            condition.Property = TakeName(lexer);
            if (lexer.Next().kind != tkEquals)
                Invalid();
            condition.Literal = TakeLiteral(lexer);
            query.Conditions.push_back(std::move(condition));
            t = lexer.Next();
            if (!IsKeyword(t, "AND"))
                break;
        }
    }
    if (t.kind != tkEnd)
        Invalid();
    return query;
}

bool WqlValueMatches(const CimValue& value, const CimScalar& literal)
{
    if (value.IsNull() || value.IsArray())
        return false;
    const CimScalar& v = value.Scalar();
    if (auto b = std::get_if<bool>(&literal)) {
        auto vb = std::get_if<bool>(&v);
        return vb && *vb == *b;
    }
    if (auto s = std::get_if<QString>(&literal)) {
        auto vs = std::get_if<QString>(&v);
        return vs && vs->compare(*s, Qt::CaseInsensitive) == 0;
    }
    if (value.Type() == wbemCimtypeChar16 || std::holds_alternative<bool>(v))
        return false;
    if (IsWhole(literal) && IsWhole(v))
        return SameWhole(literal, v);
    auto a = AsReal(literal);
    auto b = AsReal(v);
    return a && b && *a == *b;
}

} // namespace lumora
